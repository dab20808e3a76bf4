#pragma once
// UTF-8 <-> UTF-16 at the Win32 edges of the platform layer.
#include <string>
#include <string_view>

namespace refloq::platform::win32 {

std::wstring ToWide(std::string_view utf8);
std::string FromWide(std::wstring_view utf16);

}  // namespace refloq::platform::win32
