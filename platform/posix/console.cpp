// Standard output takes the UTF-8 bytes as they are.
#include <cstdio>

#include "platform/console_internal.h"

namespace refloq::platform::internal {

void WriteStandardOutput(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace refloq::platform::internal
