#include "platform/pe_string_table.h"

#include <vector>

#include "platform/utf16.h"

namespace refloq::platform {
namespace {

constexpr std::uint32_t kResourceTypeString = 6;
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr std::uint32_t kNameIsStringFlag = 0x80000000u;
// Blocks of 16 strings: ids up to 65535 lie in blocks 1 to 4096.
constexpr std::uint32_t kMaxBlockId = 4096;
// Languages looked at per block: a library has one or a few.
constexpr std::uint32_t kMaxLanguages = 64;

// Little-endian reads that fail instead of running past the buffer.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Has(std::uint64_t offset, std::uint64_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }
  std::optional<std::uint16_t> U16(std::uint64_t offset) const {
    if (!Has(offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
  }
  std::optional<std::uint32_t> U32(std::uint64_t offset) const {
    if (!Has(offset, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(bytes_[offset]) |
           static_cast<std::uint32_t>(bytes_[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes_[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes_[offset + 3]) << 24;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

struct Section {
  std::uint32_t virtual_address;
  std::uint32_t raw_size;
  std::uint32_t raw_offset;
};

struct Image {
  Reader reader;
  std::vector<Section> sections;

  // File offset of `rva`, when `length` bytes from there lie in the file
  // part of one section.
  std::optional<std::uint64_t> Offset(std::uint32_t rva,
                                      std::uint32_t length) const {
    for (const Section& s : sections) {
      if (rva < s.virtual_address) continue;
      const std::uint64_t into = rva - s.virtual_address;
      if (into > s.raw_size || length > s.raw_size - into) continue;
      const std::uint64_t offset = s.raw_offset + into;
      if (reader.Has(offset, length)) return offset;
    }
    return std::nullopt;
  }
};

struct Entry {
  std::uint32_t name;
  std::uint32_t target;
};

// The first `limit` entries of the resource directory at `offset`
// (relative to `base`); none when the directory does not fit in the file.
std::vector<Entry> DirectoryEntries(const Reader& r, std::uint64_t base,
                                    std::uint32_t offset,
                                    std::uint32_t limit = 0x20000) {
  const std::uint64_t at = base + offset;
  const auto named = r.U16(at + 12);
  const auto ids = r.U16(at + 14);
  if (!named || !ids) return {};
  std::uint32_t count = static_cast<std::uint32_t>(*named) + *ids;
  if (!r.Has(at + 16, std::uint64_t{count} * 8)) return {};
  if (count > limit) count = limit;
  std::vector<Entry> entries;
  entries.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t e = at + 16 + std::uint64_t{i} * 8;
    entries.push_back({*r.U32(e), *r.U32(e + 4)});
  }
  return entries;
}

bool IsDirectory(const Entry& e) { return (e.target & kSubdirectoryFlag) != 0; }
std::uint32_t TargetOffset(const Entry& e) {
  return e.target & ~kSubdirectoryFlag;
}
bool HasId(const Entry& e) { return (e.name & kNameIsStringFlag) == 0; }

// Decodes one string block (16 counted UTF-16 strings) into `out`, taking
// the units it decodes from `budget`.
void ReadStringBlock(const Image& image, std::uint64_t base,
                     const Entry& data_entry, std::uint16_t first_id,
                     std::uint64_t& budget,
                     std::map<std::uint16_t, std::string>& out) {
  const Reader& r = image.reader;
  const std::uint64_t at = base + TargetOffset(data_entry);
  const auto rva = r.U32(at);
  const auto size = r.U32(at + 4);
  if (!rva || !size) return;
  const auto offset = image.Offset(*rva, *size);
  if (!offset) return;
  std::uint64_t pos = *offset;
  const std::uint64_t end = *offset + *size;
  for (std::uint16_t i = 0; i < 16; ++i) {
    if (pos + 2 > end) return;
    const std::uint16_t length = *r.U16(pos);
    pos += 2;
    if (pos + std::uint64_t{length} * 2 > end) return;
    if (length == 0) continue;
    if (length > budget) return;
    budget -= length;
    std::u16string text(length, u'\0');
    for (std::uint16_t k = 0; k < length; ++k) {
      text[k] = static_cast<char16_t>(*r.U16(pos + std::uint64_t{k} * 2));
    }
    pos += std::uint64_t{length} * 2;
    out[static_cast<std::uint16_t>(first_id + i)] = Utf16ToUtf8(text);
  }
}

}  // namespace

std::optional<PeStringTable> PeStringTable::Parse(
    std::span<const std::uint8_t> bytes) {
  Image image{Reader(bytes), {}};
  const Reader& r = image.reader;
  if (r.U16(0) != 0x5A4D) return std::nullopt;  // "MZ"
  const auto pe = r.U32(0x3C);
  if (!pe || r.U32(*pe) != 0x00004550u) return std::nullopt;  // "PE\0\0"
  const std::uint64_t coff = std::uint64_t{*pe} + 4;
  const auto section_count = r.U16(coff + 2);
  const auto optional_size = r.U16(coff + 16);
  if (!section_count || !optional_size) return std::nullopt;
  const std::uint64_t optional = coff + 20;
  const auto magic = r.U16(optional);
  std::uint64_t dirs_at = 0;
  if (magic == 0x10B) {
    dirs_at = 96;  // PE32
  } else if (magic == 0x20B) {
    dirs_at = 112;  // PE32+
  } else {
    return std::nullopt;
  }
  const std::uint64_t sections_at = optional + *optional_size;
  if (!r.Has(sections_at, std::uint64_t{*section_count} * 40)) {
    return std::nullopt;
  }
  for (std::uint16_t i = 0; i < *section_count; ++i) {
    const std::uint64_t s = sections_at + std::uint64_t{i} * 40;
    image.sections.push_back({*r.U32(s + 12), *r.U32(s + 16), *r.U32(s + 20)});
  }

  PeStringTable table;
  // Data directory 2 is the resource directory.
  const auto dir_count = r.U32(optional + dirs_at - 4);
  if (!dir_count || *dir_count < 3 || dirs_at + 3 * 8 > *optional_size) {
    return table;
  }
  const auto resource_rva = r.U32(optional + dirs_at + 16);
  const auto resource_size = r.U32(optional + dirs_at + 20);
  if (!resource_rva || !resource_size || *resource_size < 16) return table;
  const auto base = image.Offset(*resource_rva, 16);
  if (!base) return table;

  // Like Windows, look each resource up once: the first string type entry,
  // each block id once.  Entries may point at shared data, so the text
  // decoded is also held to what the file itself could hold.
  const Entry* strings_type = nullptr;
  const std::vector<Entry> types = DirectoryEntries(r, *base, 0);
  for (const Entry& type : types) {
    if (HasId(type) && type.name == kResourceTypeString && IsDirectory(type)) {
      strings_type = &type;
      break;
    }
  }
  if (strings_type == nullptr) return table;
  std::uint64_t budget = bytes.size() / 2;
  std::vector<bool> seen(kMaxBlockId + 1, false);
  for (const Entry& block :
       DirectoryEntries(r, *base, TargetOffset(*strings_type))) {
    // Block n holds ids (n - 1) * 16 to (n - 1) * 16 + 15.
    if (!HasId(block) || !IsDirectory(block) || block.name == 0 ||
        block.name > kMaxBlockId || seen[block.name]) {
      continue;
    }
    seen[block.name] = true;
    const std::vector<Entry> languages =
        DirectoryEntries(r, *base, TargetOffset(block), kMaxLanguages);
    const Entry* chosen = nullptr;
    for (const Entry& language : languages) {
      if (IsDirectory(language)) continue;
      if (chosen == nullptr || language.name == 0) chosen = &language;
      if (language.name == 0) break;
    }
    if (chosen == nullptr) continue;
    ReadStringBlock(image, *base, *chosen,
                    static_cast<std::uint16_t>((block.name - 1) * 16), budget,
                    table.strings_);
  }
  return table;
}

std::optional<std::string> PeStringTable::Find(std::uint16_t id) const {
  auto it = strings_.find(id);
  if (it == strings_.end()) return std::nullopt;
  return it->second;
}

}  // namespace refloq::platform
