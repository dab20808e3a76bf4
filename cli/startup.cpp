#include "cli/startup.h"

#include "app/language.h"
#include "app/window/window_services.h"

namespace refloq::cli {

// The window's start-up without the window: the language library chosen
// by Settings.ini (or the user's UI language) from "LANG" beside the
// program, and the window's services (Refloq.ini read when the window
// reads it).  The window's "Load Lang OK" line is left out: standard output
// carries results only.  The string test mode belongs to the window.
Startup StartLikeTheWindow() {
  app::LoadLanguageLibrary();
  Startup startup;
  startup.services = window::WindowServicesOfProgram();
  startup.services.show_all_string = nullptr;
  return startup;
}

}  // namespace refloq::cli
