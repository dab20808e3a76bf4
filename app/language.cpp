#include "app/language.h"

#include <memory>
#include <mutex>
#include <utility>

#include "app/settings.h"
#include "platform/language_library.h"
#include "platform/module_path.h"
#include "platform/resources.h"
#include "platform/user_language.h"

namespace refloq::app {
namespace {

constexpr char kLanguageFolder[] = "LANG";

// The loaded library.  Readers take their own reference under the lock, so
// a worker still running when the library is released (the window leaves a
// thread that does not end in time) finishes its read on a library that
// stays mapped until that read is done.
struct LoadedLibrary {
  std::mutex mutex;
  std::shared_ptr<const platform::LanguageLibrary> library;
};

LoadedLibrary& Loaded() {
  static LoadedLibrary loaded;
  return loaded;
}

std::shared_ptr<const platform::LanguageLibrary> CurrentLibrary() {
  LoadedLibrary& loaded = Loaded();
  std::lock_guard lock(loaded.mutex);
  return loaded.library;
}

void SetLibrary(std::shared_ptr<const platform::LanguageLibrary> library) {
  LoadedLibrary& loaded = Loaded();
  std::shared_ptr<const platform::LanguageLibrary> previous;
  {
    std::lock_guard lock(loaded.mutex);
    previous = std::exchange(loaded.library, std::move(library));
  }
  // `previous` is released here, outside the lock, unless a reader still
  // holds it.
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
  std::shared_ptr<const platform::LanguageLibrary> library =
      platform::LanguageLibrary::Load(folder + name);
  const bool loaded = library != nullptr;
  SetLibrary(std::move(library));
  return loaded;
}

bool LoadLanguageLibrary() {
  return LoadLanguageLibrary(platform::ModuleFilePath(),
                             &platform::UserDefaultUiLanguage);
}

bool IsLanguageLibraryLoaded() { return CurrentLibrary() != nullptr; }

void ReleaseLanguageLibrary() { SetLibrary(nullptr); }

std::string LoadUiString(std::uint16_t id) {
  // No fallback between the two sources: a library that lacks an id
  // shows an empty text.
  if (const auto library = CurrentLibrary()) {
    return library->FindString(id).value_or(std::string());
  }
  return platform::LoadOwnString(id).value_or(std::string());
}

}  // namespace refloq::app
