#include "app/language.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/app_fixture.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace refloq::app {
namespace {

namespace fs = std::filesystem;
using testing::ProgramFolder;
using testing::SampleLibrary;

constexpr char kEnglishTitle[] = "FW Update Tool";
constexpr char kGermanTitle[] = "FW-Aktualisierung";
constexpr char kChineseTitle[] =
    "\xE9\x9F\x8C\xE9\xAB\x94\xE6\x9B\xB4\xE6\x96\xB0"
    "\xE5\xB7\xA5\xE5\x85\xB7";  // 韌體更新工具

std::uint16_t UiEnglish() { return 0x0409; }
std::uint16_t UiGerman() { return 0x0407; }

class Language : public ::testing::Test {
 protected:
  void TearDown() override { ReleaseLanguageLibrary(); }
  ProgramFolder program_;
};

TEST(LanguageTable, ChoosesTheLibraryByTheFirstMatchingRow) {
  struct Case {
    std::uint16_t id;
    const char* name;
  };
  const Case cases[] = {
      {1031, "de_DE.dll"},
      {1028, "zh_TW.dll"},
      {3082, "es_ES_T.dll"},
      {1029, "cz_CZ.dll"},
      {1041, "jp_JP.dll"},
      {1058, "ua_UA.dll"},
      {1065, "pr_IR.dll"},
      {1060, "sl_SL.dll"},
      {9242, "sr_CS.dll"},
      {2074, "sr_CS.dll"},
      {2457, ".dll"},
      {1033, ""},
      {1034, ""},
      {0, ""},
      {9999, ""},
      {13322, "es_CL.dll"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LanguageLibraryName(c.id), c.name) << c.id;
  }
}

// Each case: the settings, the libraries in LANG (sample -> file name), the
// user's UI language; then whether a library loads and the title text.
struct LoadCase {
  const char* what;
  const char* settings;  // nullptr: no Settings.ini
  std::vector<std::pair<const char*, const char*>> libraries;
  std::uint16_t (*ui_language)();
  bool loaded;
  const char* title;
};

TEST_F(Language, LoadsTheLibraryThatTheSettingsChoose) {
  const LoadCase cases[] = {
      {"no Settings.ini, English UI",
       nullptr,
       {{"de_DE.dll", "en_US.dll"}},
       UiEnglish,
       false,
       kEnglishTitle},
      {"no Settings.ini, German UI",
       nullptr,
       {{"de_DE.dll", "de_DE.dll"}},
       UiGerman,
       true,
       kGermanTitle},
      {"9999 follows the UI",
       "[Development]\nLANG_ID=9999\n",
       {{"de_DE.dll", "de_DE.dll"}},
       UiGerman,
       true,
       kGermanTitle},
      {"1031 with de_DE.dll",
       "[Development]\nLANG_ID=1031\n",
       {{"de_DE.dll", "de_DE.dll"}},
       UiEnglish,
       true,
       kGermanTitle},
      {"1031 without a library",
       "[Development]\nLANG_ID=1031\n",
       {},
       UiEnglish,
       false,
       kEnglishTitle},
      {"1033 never loads en_US.dll",
       "[Development]\nLANG_ID=1033\n",
       {{"de_DE.dll", "en_US.dll"}},
       UiGerman,
       false,
       kEnglishTitle},
      {"2457 tries .dll",
       "[Development]\nLANG_ID=2457\n",
       {{"de_DE.dll", ".dll"}},
       UiEnglish,
       true,
       kGermanTitle},
      {"9242 loads sr_CS",
       "[Development]\nLANG_ID=9242\n",
       {{"zh_TW.dll", "sr_CS.dll"}},
       UiEnglish,
       true,
       kChineseTitle},
      {"2074 loads sr_CS",
       "[Development]\nLANG_ID=2074\n",
       {{"zh_TW.dll", "sr_CS.dll"}},
       UiEnglish,
       true,
       kChineseTitle},
      {"1028 loads zh_TW",
       "[development]\nlang_id = 1028\n",
       {{"zh_TW.dll", "zh_TW.dll"}},
       UiEnglish,
       true,
       kChineseTitle},
      {"1034 is in no row",
       "[Development]\nLANG_ID=1034\n",
       {{"de_DE.dll", "es_ES.dll"}, {"de_DE.dll", "es_ES_T.dll"}},
       UiEnglish,
       false,
       kEnglishTitle},
      {"low 16 bits of 66567 are 1031",
       "[Development]\nLANG_ID=66567\n",
       {{"de_DE.dll", "de_DE.dll"}},
       UiEnglish,
       true,
       kGermanTitle},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramFolder program;
    if (c.settings != nullptr) program.WriteFile("Settings.ini", c.settings);
    for (const auto& [sample, name] : c.libraries) {
      program.AddLibrary(sample, name);
    }
    EXPECT_EQ(LoadLanguageLibrary(program.ModulePath(), c.ui_language),
              c.loaded);
    EXPECT_EQ(IsLanguageLibraryLoaded(), c.loaded);
    EXPECT_EQ(LoadUiString(103), c.title);
    ReleaseLanguageLibrary();
  }
}

TEST(LanguageFolder, AProgramFolderWithNonAsciiName) {
  ProgramFolder program(
      "Pr\xC3\xBC"
      "fung-\xE7\xA8\x8B\xE5\xBC\x8F");
  program.WriteFile("Settings.ini", "[Development]\nLANG_ID=1028\n");
  program.AddLibrary("zh_TW.dll", "zh_TW.dll");
  EXPECT_TRUE(LoadLanguageLibrary(program.ModulePath(), UiEnglish));
  EXPECT_EQ(LoadUiString(103), kChineseTitle);
  ReleaseLanguageLibrary();
}

TEST_F(Language, AFileThatIsNoLibraryLoadsNothing) {
  program_.WriteFile("Settings.ini", "[Development]\nLANG_ID=1031\n");
  fs::create_directories(program_.LangFolder());
  program_.WriteFile("LANG/de_DE.dll", "MZ not really a library");
  EXPECT_FALSE(LoadLanguageLibrary(program_.ModulePath(), UiEnglish));
  EXPECT_EQ(LoadUiString(103), kEnglishTitle);
}

TEST_F(Language, CreatesTheLangFolderEvenWhenNoLibraryIsWanted) {
  ASSERT_FALSE(fs::exists(program_.LangFolder()));
  EXPECT_FALSE(LoadLanguageLibrary(program_.ModulePath(), UiEnglish));
  EXPECT_TRUE(fs::is_directory(program_.LangFolder()));
}

TEST_F(Language, ALibraryLackingAnIdGivesAnEmptyText) {
  program_.WriteFile("Settings.ini", "[Development]\nLANG_ID=1031\n");
  program_.AddLibrary("de_DE.dll", "de_DE.dll");
  ASSERT_TRUE(LoadLanguageLibrary(program_.ModulePath(), UiEnglish));
  EXPECT_EQ(LoadUiString(164), "Ger\xC3\xA4tetabelle:");
  EXPECT_EQ(LoadUiString(131),
            "Warten Sie %d:%02d Min., Ger\xC3\xA4t startet neu.");
  // The program's own table has these; no fallback to it.
  EXPECT_EQ(LoadUiString(165), "");
  EXPECT_EQ(LoadUiString(112), "");
  ReleaseLanguageLibrary();
  EXPECT_EQ(LoadUiString(165), "Update Table:");
}

TEST_F(Language, WorkersReadTheLibrarysTexts) {
  program_.WriteFile("Settings.ini", "[Development]\nLANG_ID=1031\n");
  program_.AddLibrary("de_DE.dll", "de_DE.dll");
  ASSERT_TRUE(LoadLanguageLibrary(program_.ModulePath(), UiEnglish));
  std::vector<std::string> seen(4);
  std::vector<std::thread> workers;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    workers.emplace_back([&seen, i] { seen[i] = LoadUiString(114); });
  }
  for (std::thread& t : workers) t.join();
  for (const std::string& text : seen) EXPECT_EQ(text, "Erfolgreich.");
}

// The window may leave a worker running when it closes; the library is
// released while that worker still reads texts.
TEST_F(Language, ReleaseWhileWorkersReadIsSafe) {
  program_.WriteFile("Settings.ini", "[Development]\nLANG_ID=1031\n");
  program_.AddLibrary("de_DE.dll", "de_DE.dll");
  ASSERT_TRUE(LoadLanguageLibrary(program_.ModulePath(), UiEnglish));
  std::atomic<bool> released{false};
  std::atomic<int> odd_texts{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 3; ++i) {
    workers.emplace_back([&] {
      while (!released.load()) {
        const std::string text = LoadUiString(114);
        if (text != "Erfolgreich." && text != "Success.") ++odd_texts;
      }
      // After the release, the program's own texts.
      if (LoadUiString(114) != "Success.") ++odd_texts;
    });
  }
  std::this_thread::yield();
  ReleaseLanguageLibrary();
  released = true;
  for (std::thread& t : workers) t.join();
  EXPECT_EQ(odd_texts.load(), 0);
}

// The planted library carries code in DllMain; it must be read as data.
TEST_F(Language, APlantedLibraryIsReadButNeverRun) {
  program_.WriteFile("Settings.ini", "[Development]\nLANG_ID=1036\n");
  program_.AddLibrary("planted.dll", "fr_FR.dll");
  ASSERT_TRUE(LoadLanguageLibrary(program_.ModulePath(), UiEnglish));
  EXPECT_EQ(LoadUiString(103), "Planted");
  ReleaseLanguageLibrary();
  EXPECT_FALSE(fs::exists(program_.LangFolder() / "planted-ran.txt"));
}

#ifdef _WIN32
// The check above means something: loaded as a module, the planted library
// does leave its marker.
TEST_F(Language, PlantedLibraryLeavesItsMarkerWhenRunAsAModule) {
  program_.AddLibrary("planted.dll", "fr_FR.dll");
  HMODULE module =
      LoadLibraryW((program_.LangFolder() / "fr_FR.dll").wstring().c_str());
  ASSERT_NE(module, nullptr);
  FreeLibrary(module);
  EXPECT_TRUE(fs::exists(program_.LangFolder() / "planted-ran.txt"));
}
#endif

TEST(OwnStrings, TheProgramsTableWithoutALibrary) {
  ReleaseLanguageLibrary();
  struct Case {
    std::uint16_t id;
    const char* text;
  };
  const Case cases[] = {
      {101, "&About Refloq..."},
      {103, "FW Update Tool"},
      {108, ""},
      {131, "Wait for %d:%02d min, Device Will Reboot."},
      {133, "Device Not Found.  Please Check."},
      {134, "Device is Busy."},
      {139, "Device is Busy."},
      {144,
       "Multiple devices selected.\nBegin firmware update for all "
       "devices?"},
      {150,
       "1. Connect the Marrowick machine to the computer using a USB "
       "cable.\n2. Slide the machine's Mode Select Switch to USB mode."},
      {165, "Update Table:"},
      {166, ""},
      {100, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(LoadUiString(c.id), c.text) << c.id;
  EXPECT_NE(LoadUiString(142).find("click the 'Search Network Device' button"),
            std::string::npos);
}

}  // namespace
}  // namespace refloq::app
