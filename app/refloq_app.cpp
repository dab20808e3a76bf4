#include "app/refloq_app.h"

#include "platform/console.h"
#include "platform/module_path.h"
#include "platform/user_language.h"

namespace refloq::app {

CRefloqApp::CRefloqApp(AppShell& shell)
    : CRefloqApp(shell, platform::ModuleFilePath(),
                 &platform::UserDefaultUiLanguage) {}

CRefloqApp::CRefloqApp(AppShell& shell, std::string module_path,
                       UiLanguageSource ui_language)
    : shell_(shell),
      module_path_(std::move(module_path)),
      ui_language_(ui_language) {}

bool CRefloqApp::InitInstance() {
  shell_.InitFramework();

  const bool loaded = LoadLanguageLibrary(module_path_, ui_language_);
  platform::WriteConsoleText(loaded ? "Load Lang OK\n"
                                    : "Not lang lib found\n");

  shell_.RunMainWindow();

  shell_.DestroyShellManager();
  if (IsLanguageLibraryLoaded()) ReleaseLanguageLibrary();
  shell_.DestroyMainWindow();
  return false;
}

}  // namespace refloq::app
