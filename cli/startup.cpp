#include "cli/startup.h"

#include <cstdint>

#include "app/language.h"
#include "app/settings.h"
#include "platform/module_path.h"

namespace refloq::cli {

// The window's start-up without the window: the language library chosen
// by Settings.ini (or the user's UI language) from "LANG" beside the
// program, and the Refloq.ini values of "Update Start".  The window's
// "Load Lang OK" line is left out: standard output carries results only.
Startup StartLikeTheWindow() {
  Startup startup;
  app::LoadLanguageLibrary();
  startup.ui = [](int id) {
    return app::LoadUiString(static_cast<std::uint16_t>(id));
  };
  const app::Settings settings;
  startup.settings.program_folder = platform::ModuleFolder();
  startup.settings.load_fw = settings.LoadFw();
  startup.settings.fw_ver = settings.FwVersion();
  startup.settings.enable_downgrade = settings.EnableDowngrade();
  return startup;
}

}  // namespace refloq::cli
