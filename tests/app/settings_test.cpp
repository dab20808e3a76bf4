#include "app/settings.h"

#include <gtest/gtest.h>

#include "platform/module_path.h"
#include "tests/app/app_fixture.h"

namespace refloq::app {
namespace {

using testing::ProgramFolder;

TEST(SettingsPath, LiesBesideTheProgram) {
#ifdef _WIN32
  EXPECT_EQ(GetSettingsPath("Refloq", "C:\\Program Files\\Refloq\\Refloq.exe"),
            "C:\\Program Files\\Refloq\\Refloq.ini");
  EXPECT_EQ(GetSettingsPath("Settings", "D:/tools/Refloq.exe"),
            "D:/tools/Settings.ini");
#else
  EXPECT_EQ(GetSettingsPath("Refloq", "/opt/refloq/refloq-cli"),
            "/opt/refloq/Refloq.ini");
#endif
  // No fixed buffer: a long folder is kept whole.
  const std::string folder(400, 'f');
  const std::string sep(1, platform::kPathSeparator);
  EXPECT_EQ(GetSettingsPath("Settings", sep + folder + sep + "Refloq.exe"),
            sep + folder + sep + "Settings.ini");
}

TEST(Settings, DefaultsWithoutFiles) {
  ProgramFolder program;
  const Settings settings(program.ModulePath());
  EXPECT_EQ(settings.LoadFw(), 0);
  EXPECT_EQ(settings.FwVersion(), "0.00");
  EXPECT_EQ(settings.EnableDowngrade(), 1);
  EXPECT_EQ(settings.LangId(), 9999);
  EXPECT_EQ(settings.ShowAllString(), 0);
}

TEST(Settings, ReadsBothFilesWhenAsked) {
  ProgramFolder program;
  const Settings settings(program.ModulePath());
  program.WriteFile("Refloq.ini",
                    "[default]\r\nloadfw=1\r\nFW_Ver=1.2345678901\r\n"
                    "EnableDowngrade=-1\r\n");
  program.WriteFile("Settings.ini",
                    "[Development]\nLANG_ID=0x404\nSHOW_ALL_STRING=75535\n");
  EXPECT_EQ(settings.LoadFw(), 1);
  EXPECT_EQ(settings.FwVersion(), "1.2345678");  // at most 9 characters
  EXPECT_EQ(settings.EnableDowngrade(), -1);
  EXPECT_EQ(settings.LangId(), 0x0404);
  EXPECT_EQ(settings.ShowAllString(), 9999);  // low 16 bits of 75535

  // Read again at each call: an edited file takes effect.
  program.WriteFile("Refloq.ini", "[Default]\nLoadFW=0\nFW_Ver=2.00\n");
  EXPECT_EQ(settings.LoadFw(), 0);
  EXPECT_EQ(settings.FwVersion(), "2.00");
  EXPECT_EQ(settings.EnableDowngrade(), 1);
}

TEST(Settings, KeysInTheOtherFileOrSectionAreNotSeen) {
  ProgramFolder program;
  const Settings settings(program.ModulePath());
  program.WriteFile("Settings.ini", "[Default]\nLoadFW=1\n");
  program.WriteFile("Refloq.ini",
                    "[Development]\nLANG_ID=1031\n"
                    "[Default]\nLANG_ID=1031\n");
  EXPECT_EQ(settings.LoadFw(), 0);
  EXPECT_EQ(settings.LangId(), 9999);
}

}  // namespace
}  // namespace refloq::app
