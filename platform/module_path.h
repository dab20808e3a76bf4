#pragma once
// Where the running program lives, and the pieces of a path.
#include <string>
#include <string_view>

namespace refloq::platform {

// The separator this target writes between folders.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The full path of the running program's file (GetModuleFileNameW;
// /proc/self/exe on Linux), UTF-8; empty when it cannot be found.
std::string ModuleFilePath();

// A path split as _wsplitpath_s splits it: `drive` ("C:", Windows only),
// `folder` with its trailing separator, `name`, and `extension` with its dot.
// drive + folder + name + extension gives the path back.
struct PathParts {
  std::string drive;
  std::string folder;
  std::string name;
  std::string extension;
};
PathParts SplitPath(std::string_view path);

// The drive and folder of ModuleFilePath(), ending in a separator.
std::string ModuleFolder();

// Creates one folder (CreateDirectoryW; mkdir on Linux).  True when it was
// created; false when it exists already or cannot be made.
bool CreateFolder(const std::string& path);

}  // namespace refloq::platform
