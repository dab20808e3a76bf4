#pragma once
// The application object: start-up up to the modal main window, and the
// orderly end after it.
#include <cstdint>
#include <string>

#include "app/language.h"

namespace refloq::app {

// What start-up needs from the window side.  The Win32 window implements
// it; tests use a recording one.
class AppShell {
 public:
  virtual ~AppShell() = default;
  // Common controls with every standard class (InitCommonControlsEx, 0xFF),
  // the framework's own initialisation and its shell manager.
  virtual void InitFramework() = 0;
  // Builds the main window (CRefloqDlg), makes it the application's main
  // window and runs it modally; returns when it has closed.
  virtual void RunMainWindow() = 0;
  virtual void DestroyShellManager() = 0;
  virtual void DestroyMainWindow() = 0;
};

class CRefloqApp {
 public:
  // The running program, the user's real UI language.
  explicit CRefloqApp(AppShell& shell);
  // A program at `module_path` and a given UI language source (tests).
  CRefloqApp(AppShell& shell, std::string module_path,
             UiLanguageSource ui_language);

  // Starts up, runs the main window and cleans up; returns false so that
  // the application ends when the window has closed.  Writes "Load Lang
  // OK\n" or "Not lang lib found\n" to standard output (console.h).
  bool InitInstance();

 private:
  AppShell& shell_;
  std::string module_path_;
  UiLanguageSource ui_language_;
};

}  // namespace refloq::app
