#include "app/settings.h"

#include "platform/module_path.h"
#include "platform/private_profile.h"

namespace refloq::app {
namespace {

constexpr char kDefaultSection[] = "Default";
constexpr char kDevelopmentSection[] = "Development";
// FW_Ver is read into a buffer of 10 characters: at most 9 are kept.
constexpr std::size_t kFwVersionBufferChars = 10;

}  // namespace

std::string GetSettingsPath(std::string_view name_part,
                            const std::string& module_path) {
  // Built without a length limit: a path too long for a fixed buffer
  // would otherwise be cut and name some other file.
  const platform::PathParts parts = platform::SplitPath(module_path);
  return parts.drive + parts.folder + std::string(name_part) + ".ini";
}

std::string GetSettingsPath(std::string_view name_part) {
  return GetSettingsPath(name_part, platform::ModuleFilePath());
}

Settings::Settings() : Settings(platform::ModuleFilePath()) {}

Settings::Settings(std::string module_path)
    : refloq_ini_(GetSettingsPath(kRefloqIniName, module_path)),
      settings_ini_(GetSettingsPath(kSettingsIniName, module_path)) {}

std::int32_t Settings::LoadFw() const {
  return static_cast<std::int32_t>(
      platform::ReadProfileInt(kDefaultSection, "LoadFW", 0, refloq_ini_));
}

std::string Settings::FwVersion() const {
  return platform::ReadProfileString(kDefaultSection, "FW_Ver", "0.00",
                                     kFwVersionBufferChars, refloq_ini_);
}

std::int32_t Settings::EnableDowngrade() const {
  return static_cast<std::int32_t>(platform::ReadProfileInt(
      kDefaultSection, "EnableDowngrade", 1, refloq_ini_));
}

std::uint16_t Settings::LangId() const {
  return static_cast<std::uint16_t>(platform::ReadProfileInt(
      kDevelopmentSection, "LANG_ID", kLangIdUserDefault, settings_ini_));
}

std::uint16_t Settings::ShowAllString() const {
  return static_cast<std::uint16_t>(platform::ReadProfileInt(
      kDevelopmentSection, "SHOW_ALL_STRING", 0, settings_ini_));
}

}  // namespace refloq::app
