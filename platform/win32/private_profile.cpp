#include "platform/private_profile.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace refloq::platform {

std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view default_value,
                              std::size_t buffer_chars,
                              const std::string& path) {
  if (buffer_chars == 0) return {};
  std::vector<wchar_t> buffer(buffer_chars, L'\0');
  const DWORD n = GetPrivateProfileStringW(
      win32::ToWide(section).c_str(), win32::ToWide(key).c_str(),
      win32::ToWide(default_value).c_str(), buffer.data(),
      static_cast<DWORD>(buffer_chars), win32::ToWide(path).c_str());
  return win32::FromWide({buffer.data(), n});
}

std::uint32_t ReadProfileInt(std::string_view section, std::string_view key,
                             std::int32_t default_value,
                             const std::string& path) {
  return GetPrivateProfileIntW(win32::ToWide(section).c_str(),
                               win32::ToWide(key).c_str(), default_value,
                               win32::ToWide(path).c_str());
}

}  // namespace refloq::platform
