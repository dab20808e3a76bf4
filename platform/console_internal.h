#pragma once
// The target's own write to standard output (posix/, win32/).
#include <string_view>

namespace refloq::platform::internal {

void WriteStandardOutput(std::string_view text);

}  // namespace refloq::platform::internal
