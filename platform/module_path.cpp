#include "platform/module_path.h"

namespace refloq::platform {
namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

}  // namespace

PathParts SplitPath(std::string_view path) {
  PathParts parts;
#ifdef _WIN32
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = path.substr(0, 2);
    path.remove_prefix(2);
  }
#endif
  std::size_t name_start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsSeparator(path[i])) name_start = i + 1;
  }
  parts.folder = path.substr(0, name_start);
  std::string_view file = path.substr(name_start);
  const std::size_t dot = file.rfind('.');
  if (dot == std::string_view::npos) {
    parts.name = file;
  } else {
    parts.name = file.substr(0, dot);
    parts.extension = file.substr(dot);
  }
  return parts;
}

std::string ModuleFolder() {
  const PathParts parts = SplitPath(ModuleFilePath());
  return parts.drive + parts.folder;
}

}  // namespace refloq::platform
