#include "platform/ansi_text.h"

#include <windows.h>

#include "platform/utf16.h"

namespace refloq::platform {
namespace {

void Wipe(void* data, std::size_t size) { SecureZeroMemory(data, size); }

}  // namespace

bool ToAnsiCodePage(std::string_view text, std::string& bytes) {
  bytes.clear();
  if (!IsValidUtf8(text)) return false;
  // A process whose ANSI code page is UTF-8 sends the text as it is.
  if (GetACP() == CP_UTF8) {
    bytes.assign(text);
    return true;
  }
  std::u16string wide = Utf8ToUtf16(text);
  const auto* units = reinterpret_cast<const wchar_t*>(wide.data());
  const int length = static_cast<int>(wide.size());
  bool ok = true;
  if (length > 0) {
    BOOL used_default = FALSE;
    const int n =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units, length,
                            nullptr, 0, nullptr, &used_default);
    if (n <= 0 || used_default) {
      ok = false;
    } else {
      bytes.resize(static_cast<std::size_t>(n));
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units, length,
                          bytes.data(), n, nullptr, &used_default);
      ok = !used_default;
    }
  }
  Wipe(wide.data(), wide.size() * sizeof(char16_t));
  if (!ok) {
    Wipe(bytes.data(), bytes.size());
    bytes.clear();
  }
  return ok;
}

}  // namespace refloq::platform
