#include "platform/version_info.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace refloq::platform {

std::optional<VersionInfo> VersionInfo::Read(const std::string& path) {
  const std::wstring wide = win32::ToWide(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  VersionInfo info;
  info.block_.resize(size);
  if (!GetFileVersionInfoW(wide.c_str(), 0, size, info.block_.data())) {
    return std::nullopt;
  }
  return info;
}

std::optional<VersionTranslation> VersionInfo::FirstTranslation() const {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &value,
                      &length) ||
      value == nullptr || length < 4) {
    return std::nullopt;
  }
  const auto* words = static_cast<const WORD*>(value);
  return VersionTranslation{words[0], words[1]};
}

std::optional<std::string> VersionInfo::QueryString(
    const std::string& sub_block) const {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block_.data(), win32::ToWide(sub_block).c_str(), &value,
                      &length) ||
      value == nullptr) {
    return std::nullopt;
  }
  // The length counts the terminating zero when there is one.
  std::wstring_view text(static_cast<const wchar_t*>(value), length);
  if (const auto end = text.find(L'\0'); end != std::wstring_view::npos) {
    text = text.substr(0, end);
  }
  return win32::FromWide(text);
}

}  // namespace refloq::platform
