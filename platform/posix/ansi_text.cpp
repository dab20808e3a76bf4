#include "platform/ansi_text.h"

#include "platform/utf16.h"

namespace refloq::platform {

bool ToAnsiCodePage(std::string_view text, std::string& bytes) {
  bytes.clear();
  if (!IsValidUtf8(text)) return false;
  bytes.assign(text);
  return true;
}

}  // namespace refloq::platform
