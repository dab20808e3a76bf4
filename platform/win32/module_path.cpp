#include "platform/module_path.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace refloq::platform {

std::string ModuleFilePath() {
  // GetModuleFileNameW fills the buffer and cuts the path when it is too
  // small; grow until the whole path fits.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(),
                                       static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return win32::FromWide({buffer.data(), n});
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

bool CreateFolder(const std::string& path) {
  return CreateDirectoryW(win32::ToWide(path).c_str(), nullptr) != 0;
}

}  // namespace refloq::platform
