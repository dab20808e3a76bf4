#include "platform/private_profile.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/utf16.h"

// The reader works on UTF-16 units, as the Windows functions do, so that
// the length limits and the number rules cut the text at the same places.
namespace refloq::platform {
namespace {

// Settings files are hand-edited and small; anything larger is not one.
constexpr std::streamsize kMaxFileBytes = 16 * 1024 * 1024;
// GetPrivateProfileIntW reads the value into a buffer of this many units.
constexpr std::size_t kIntBufferChars = 30;

bool IsBlank(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x1A;
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char16_t Lower(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::optional<std::u16string> ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<char> bytes;
  std::vector<char> chunk(64 * 1024);
  while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) ||
         in.gcount() > 0) {
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + in.gcount());
    if (static_cast<std::streamsize>(bytes.size()) > kMaxFileBytes) {
      return std::nullopt;
    }
  }
  auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
  };
  const bool le = bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE;
  const bool be = bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF;
  if (le || be) {
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const unsigned lo = le ? byte(i) : byte(i + 1);
      const unsigned hi = le ? byte(i + 1) : byte(i);
      text.push_back(static_cast<char16_t>(hi << 8 | lo));
    }
    return text;
  }
  std::string_view utf8(bytes.data(), bytes.size());
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
  return Utf8ToUtf16(utf8);
}

// What a file holds for one key.
struct Lookup {
  bool file_read = false;
  std::optional<std::u16string> value;  // nullopt: no such key, or no "="
};

// Looks `key` up in the first section named `section`.
Lookup FindValue(std::u16string_view section, std::u16string_view key,
                 const std::string& path) {
  Lookup result;
  const std::optional<std::u16string> text = ReadFileText(path);
  if (!text) return result;
  result.file_read = true;
  section = Trim(section);
  key = Trim(key);
  // Keys before the first section header belong to a section without name.
  bool in_section = section.empty();
  std::u16string_view rest = *text;
  while (!rest.empty()) {
    std::size_t end = rest.find_first_of(u"\r\n");
    if (end == std::u16string_view::npos) end = rest.size();
    const std::u16string_view line = Trim(rest.substr(0, end));
    rest.remove_prefix(end == rest.size() ? end : end + 1);
    if (line.empty()) continue;
    if (line.front() == u'[') {
      const std::size_t close = line.rfind(u']');
      if (close != std::u16string_view::npos) {
        // Only the first section with the name is searched.
        if (in_section) return result;
        in_section = EqualNoCase(Trim(line.substr(1, close - 1)), section);
        continue;
      }
    }
    if (!in_section) continue;
    const std::size_t equals = line.find(u'=');
    if (!EqualNoCase(Trim(line.substr(0, equals)), key)) continue;
    if (equals != std::u16string_view::npos) {
      result.value = std::u16string(Trim(line.substr(equals + 1)));
    }
    return result;
  }
  return result;
}

// Copies `value` into a buffer of `buffer_chars` units as Windows does: one
// pair of matching quotes removed when the whole value fits.
std::u16string CopyEntry(std::u16string_view value, std::size_t buffer_chars) {
  bool quoted = false;
  if (!value.empty() && (value.front() == u'\'' || value.front() == u'"') &&
      value.size() > 1 && value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::u16string out(value.substr(0, buffer_chars - 1));
  if (quoted && buffer_chars >= value.size() && !out.empty()) out.pop_back();
  return out;
}

std::u16string GetString(std::string_view section, std::string_view key,
                         std::string_view default_value,
                         std::size_t buffer_chars, const std::string& path) {
  if (buffer_chars == 0) return {};
  const Lookup found = FindValue(Utf8ToUtf16(section), Utf8ToUtf16(key), path);
  if (found.value) return CopyEntry(*found.value, buffer_chars);
  std::u16string fallback = Utf8ToUtf16(default_value);
  while (!fallback.empty() && fallback.back() == u' ') fallback.pop_back();
  // Without a file the default is copied as it stands; from a file that
  // lacks the key it goes through the same quote rule as a value.
  if (!found.file_read) return fallback.substr(0, buffer_chars - 1);
  return CopyEntry(fallback, buffer_chars);
}

// RtlUnicodeStringToInteger with base 0, as GetPrivateProfileIntW uses it.
std::uint32_t ParseWindowsInteger(std::u16string_view s) {
  while (!s.empty() && s.front() <= u' ') s.remove_prefix(1);
  bool minus = false;
  if (!s.empty() && (s.front() == u'+' || s.front() == u'-')) {
    minus = s.front() == u'-';
    s.remove_prefix(1);
  }
  std::uint32_t base = 10;
  if (s.size() >= 2 && s[0] == u'0') {
    if (s[1] == u'b') base = 2;
    if (s[1] == u'o') base = 8;
    if (s[1] == u'x') base = 16;
    if (base != 10) s.remove_prefix(2);
  }
  std::uint32_t total = 0;
  for (const char16_t c : s) {
    std::uint32_t digit = 99;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    if (c >= u'A' && c <= u'Z') digit = c - u'A' + 10u;
    if (c >= u'a' && c <= u'z') digit = c - u'a' + 10u;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return minus ? 0u - total : total;
}

}  // namespace

std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view default_value,
                              std::size_t buffer_chars,
                              const std::string& path) {
  return Utf16ToUtf8(
      GetString(section, key, default_value, buffer_chars, path));
}

std::uint32_t ReadProfileInt(std::string_view section, std::string_view key,
                             std::int32_t default_value,
                             const std::string& path) {
  const std::u16string text =
      GetString(section, key, "", kIntBufferChars, path);
  if (text.empty()) return static_cast<std::uint32_t>(default_value);
  return ParseWindowsInteger(text);
}

}  // namespace refloq::platform
