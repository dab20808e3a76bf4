#pragma once
// A file's version resource, as GetFileVersionInfoW returns it, and the
// two queries the program makes of it.
//
// On Linux only the running program has one: the version block its
// linked-in objects registered (resources.h, RegisterOwnVersionInfo).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/resources.h"

namespace refloq::platform {

struct VersionTranslation {
  std::uint16_t language;
  std::uint16_t code_page;
};

class VersionInfo {
 public:
  // GetFileVersionInfoSizeW and GetFileVersionInfoW; nullopt when the file
  // is missing or has no version resource.
  static std::optional<VersionInfo> Read(const std::string& path);

  // VerQueryValueW("\VarFileInfo\Translation"): its first entry.
  std::optional<VersionTranslation> FirstTranslation() const;
  // VerQueryValueW on "\StringFileInfo\<language+code page>\<name>".
  std::optional<std::string> QueryString(const std::string& sub_block) const;

 private:
  std::vector<std::uint8_t> block_;  // Windows: the raw resource
  OwnVersionInfo own_;               // Linux: the registered values
};

}  // namespace refloq::platform
