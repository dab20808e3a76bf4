#include "app/version_text.h"

#include <gtest/gtest.h>

#include "app/language.h"
#include "platform/module_path.h"
#include "tests/app/app_fixture.h"

namespace refloq::app {
namespace {

using testing::ProgramFolder;
using testing::SampleLibrary;

std::uint16_t UiEnglish() { return 0x0409; }

TEST(VersionText, TheProgramsOwnFileVersion) {
  EXPECT_EQ(GetFileVersionText(platform::ModuleFilePath()),
            REFLOQ_PROJECT_VERSION);
}

TEST(VersionText, EmptyWithoutAVersionResource) {
  EXPECT_EQ(GetFileVersionText(SampleLibrary("de_DE.dll").string()), "");
  EXPECT_EQ(GetFileVersionText((SampleLibrary("missing.dll")).string()), "");
  EXPECT_EQ(GetFileVersionText(""), "");
}

TEST(WindowTitle, TitleTextAndVersion) {
  ReleaseLanguageLibrary();
  EXPECT_EQ(WindowTitle(), std::string("FW Update Tool [Ver: ") +
                               REFLOQ_PROJECT_VERSION + "]");
  EXPECT_EQ(FormatWindowTitle("FW Update Tool", "3.29.24.531"),
            "FW Update Tool [Ver: 3.29.24.531]");
  EXPECT_EQ(FormatWindowTitle("FW Update Tool", ""), "FW Update Tool [Ver: ]");
}

TEST(WindowTitle, TakesTheTitleFromTheLanguageLibrary) {
  ProgramFolder program;
  program.WriteFile("Settings.ini", "[Development]\nLANG_ID=1031\n");
  program.AddLibrary("de_DE.dll", "de_DE.dll");
  ASSERT_TRUE(LoadLanguageLibrary(program.ModulePath(), UiEnglish));
  EXPECT_EQ(WindowTitle(), std::string("FW-Aktualisierung [Ver: ") +
                               REFLOQ_PROJECT_VERSION + "]");
  ReleaseLanguageLibrary();
}

}  // namespace
}  // namespace refloq::app
