#include "platform/module_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace refloq::platform {

std::string ModuleFilePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(n));
    }
    buffer.resize(buffer.size() * 2);  // the link may have been cut short
  }
}

bool CreateFolder(const std::string& path) {
  return mkdir(path.c_str(), 0777) == 0;
}

}  // namespace refloq::platform
