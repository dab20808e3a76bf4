#include "app/refloq_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/console.h"
#include "tests/app/app_fixture.h"

namespace refloq::app {
namespace {

using testing::ProgramFolder;

std::uint16_t UiEnglish() { return 0x0409; }

// Records the start-up steps, and what the main window would show.
class RecordingShell final : public AppShell {
 public:
  void InitFramework() override {
    steps.push_back("init framework");
    library_at_init = IsLanguageLibraryLoaded();
  }
  void RunMainWindow() override {
    steps.push_back("run main window");
    title_shown = LoadUiString(103);
  }
  void DestroyShellManager() override {
    steps.push_back("destroy shell manager");
  }
  void DestroyMainWindow() override {
    steps.push_back("destroy main window");
    library_at_end = IsLanguageLibraryLoaded();
  }

  std::vector<std::string> steps;
  bool library_at_init = true;
  bool library_at_end = true;
  std::string title_shown;
};

struct StartCase {
  const char* what;
  bool with_library;
  const char* output;
  const char* title;
};

TEST(InitInstance, RunsTheWindowWithTheLanguageAndEndsTheApplication) {
  const StartCase cases[] = {
      {"German library", true, "Load Lang OK\n", "FW-Aktualisierung"},
      {"no library", false, "Not lang lib found\n", "FW Update Tool"},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramFolder program;
    program.WriteFile("Settings.ini", "[Development]\nLANG_ID=1031\n");
    if (c.with_library) program.AddLibrary("de_DE.dll", "de_DE.dll");
    RecordingShell shell;
    CRefloqApp app(shell, program.ModulePath(), UiEnglish);

    std::string output;
    platform::SetConsoleCapture(
        [&output](std::string_view text) { output += text; });
    const bool keep_running = app.InitInstance();
    platform::SetConsoleCapture(nullptr);

    EXPECT_FALSE(keep_running);
    EXPECT_EQ(output, c.output);
    EXPECT_EQ(shell.steps,
              (std::vector<std::string>{"init framework", "run main window",
                                        "destroy shell manager",
                                        "destroy main window"}));
    EXPECT_FALSE(shell.library_at_init);
    EXPECT_EQ(shell.title_shown, c.title);
    EXPECT_FALSE(shell.library_at_end);
    EXPECT_FALSE(IsLanguageLibraryLoaded());
  }
}

}  // namespace
}  // namespace refloq::app
