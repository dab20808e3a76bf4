// A console gets UTF-16 through WriteConsoleW (its code page does not
// matter then); a redirected standard output gets the UTF-8 bytes.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/console_internal.h"
#include "platform/win32/wide_text.h"

namespace refloq::platform::internal {

void WriteStandardOutput(std::string_view text) {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    const std::wstring wide = win32::ToWide(text);
    DWORD written = 0;
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written,
                  nullptr);
    return;
  }
  // Keep the C runtime's buffered output ahead of ours.
  std::fflush(stdout);
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written,
            nullptr);
}

}  // namespace refloq::platform::internal
