#include "platform/version_info.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>

#include "platform/module_path.h"

namespace refloq::platform {
namespace {

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<VersionInfo> VersionInfo::Read(const std::string& path) {
  if (!SameFile(path, ModuleFilePath())) return std::nullopt;
  std::optional<OwnVersionInfo> own = RegisteredOwnVersionInfo();
  if (!own) return std::nullopt;
  VersionInfo info;
  info.own_ = std::move(*own);
  return info;
}

std::optional<VersionTranslation> VersionInfo::FirstTranslation() const {
  return VersionTranslation{own_.language, own_.code_page};
}

std::optional<std::string> VersionInfo::QueryString(
    const std::string& sub_block) const {
  // Names are matched without regard to case, as VerQueryValueW does.
  char block[16];
  std::snprintf(block, sizeof block, "%04X%04X", own_.language, own_.code_page);
  const std::string prefix = std::string("\\StringFileInfo\\") + block + "\\";
  if (sub_block.size() <= prefix.size() ||
      !EqualNoCase(sub_block.substr(0, prefix.size()), prefix)) {
    return std::nullopt;
  }
  const std::string name = sub_block.substr(prefix.size());
  for (const auto& [key, value] : own_.strings) {
    if (EqualNoCase(key, name)) return value;
  }
  return std::nullopt;
}

}  // namespace refloq::platform
