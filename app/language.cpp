#include "app/language.h"

#include <memory>

#include "app/settings.h"
#include "platform/language_library.h"
#include "platform/module_path.h"
#include "platform/resources.h"
#include "platform/user_language.h"

namespace refloq::app {
namespace {

constexpr char kLanguageFolder[] = "LANG";

// The loaded library; set once at start-up before any worker exists and
// released after the last one has ended, so readers need no lock.
std::unique_ptr<platform::LanguageLibrary>& Library() {
  static std::unique_ptr<platform::LanguageLibrary> library;
  return library;
}

}  // namespace

std::string LanguageLibraryName(std::uint16_t lang_id) {
  for (const LanguageRow& row : kLanguageTable) {
    if (row.id != lang_id) continue;
    if (row.id == platform::kLangIdEnglishUs) return {};
    return std::string(row.code) + ".dll";
  }
  return {};
}

bool LoadLanguageLibrary(const std::string& module_path,
                         UiLanguageSource ui_language) {
  ReleaseLanguageLibrary();
  std::uint16_t lang_id = Settings(module_path).LangId();
  if (lang_id == kLangIdUserDefault) lang_id = ui_language();

  const platform::PathParts parts = platform::SplitPath(module_path);
  const std::string folder =
      parts.drive + parts.folder + kLanguageFolder + platform::kPathSeparator;
  // An existing folder, or one that cannot be made, is no obstacle.
  platform::CreateFolder(folder);

  const std::string name = LanguageLibraryName(lang_id);
  if (name.empty()) return false;
  Library() = platform::LanguageLibrary::Load(folder + name);
  return Library() != nullptr;
}

bool LoadLanguageLibrary() {
  return LoadLanguageLibrary(platform::ModuleFilePath(),
                             &platform::UserDefaultUiLanguage);
}

bool IsLanguageLibraryLoaded() { return Library() != nullptr; }

void ReleaseLanguageLibrary() { Library().reset(); }

std::string LoadUiString(std::uint16_t id) {
  // No fallback between the two sources: a library that lacks an id
  // shows an empty text.
  if (const auto& library = Library()) {
    return library->FindString(id).value_or(std::string());
  }
  return platform::LoadOwnString(id).value_or(std::string());
}

}  // namespace refloq::app
