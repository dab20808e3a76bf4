#pragma once
// The two settings files beside the program, read and never written.
//
//   Refloq.ini   [Default]      LoadFW (0), FW_Ver ("0.00"), EnableDowngrade
//   (1) Settings.ini [Development]  LANG_ID (9999), SHOW_ALL_STRING (0)
//
// Each accessor reads its file when called, so a changed file takes effect
// at the next read (LoadFW and FW_Ver are read at every Update Start).  A
// missing file, section or key gives the default; the private-profile
// rules apply (names without regard to case, numbers as Windows reads
// them: "12abc" is 12, "abc" is 0).
#include <cstdint>
#include <string>
#include <string_view>

namespace refloq::app {

inline constexpr std::string_view kRefloqIniName = "Refloq";
inline constexpr std::string_view kSettingsIniName = "Settings";

// "LANG_ID" value that lets the user's UI language decide.
inline constexpr std::uint16_t kLangIdUserDefault = 9999;
// "SHOW_ALL_STRING" value that switches the string test mode on.
inline constexpr std::uint16_t kShowAllStringOn = 9999;

// The path of settings file `name_part` ("Refloq" or "Settings") in the
// folder of the program at `module_path`: drive, folder, name part, ".ini".
std::string GetSettingsPath(std::string_view name_part,
                            const std::string& module_path);
// The same for the running program.
std::string GetSettingsPath(std::string_view name_part);

class Settings {
 public:
  // The settings of the running program.
  Settings();
  // The settings of a program at `module_path` (tests).
  explicit Settings(std::string module_path);

  // Refloq.ini [Default]
  // Source of the firmware container: 0 the program's resource, 1 the
  // package file in "FW".
  std::int32_t LoadFw() const;
  // Version part of the package file name, at most 9 characters.
  std::string FwVersion() const;
  std::int32_t EnableDowngrade() const;

  // Settings.ini [Development] (low 16 bits of the value)
  std::uint16_t LangId() const;
  std::uint16_t ShowAllString() const;

 private:
  std::string refloq_ini_;
  std::string settings_ini_;
};

}  // namespace refloq::app
