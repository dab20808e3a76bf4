#pragma once
// UTF-8 <-> UTF-16 for the Windows edges and the UTF-16LE trace file.
// Written by hand because the trace file is fixed to the byte and both
// targets must produce the same units; std::codecvt is deprecated.
// Malformed input becomes U+FFFD, never a failure.
#include <string>
#include <string_view>

namespace refloq::platform {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace refloq::platform
