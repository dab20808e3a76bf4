#pragma once
// Portable UTF-8 <-> UTF-16, for what must have the same UTF-16 units on
// both targets (the UTF-16LE trace file, INI files, PE string tables).
// Written by hand because the trace file is fixed to the byte and
// std::codecvt is deprecated; the Win32 edges use
// platform/win32/wide_text.h.  Malformed input becomes U+FFFD, never a
// failure.
#include <string>
#include <string_view>

namespace refloq::platform {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// True when every byte of `text` belongs to a well-formed UTF-8 sequence.
bool IsValidUtf8(std::string_view text);

}  // namespace refloq::platform
