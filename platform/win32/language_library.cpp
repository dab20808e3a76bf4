#include "platform/language_library.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace refloq::platform {
namespace {

class MappedLibrary final : public LanguageLibrary {
 public:
  explicit MappedLibrary(HMODULE module) : module_(module) {}
  ~MappedLibrary() override { FreeLibrary(module_); }
  MappedLibrary(const MappedLibrary&) = delete;
  MappedLibrary& operator=(const MappedLibrary&) = delete;

  std::optional<std::string> FindString(std::uint16_t id) const override {
    // A zero buffer size makes LoadStringW hand back a pointer into the
    // mapped resource and the string's length.
    const wchar_t* text = nullptr;
    const int length =
        LoadStringW(module_, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return std::nullopt;
    return win32::FromWide({text, static_cast<std::size_t>(length)});
  }

 private:
  HMODULE module_;
};

}  // namespace

std::unique_ptr<LanguageLibrary> LanguageLibrary::Load(
    const std::string& path) {
  // As data only: the file's code (DllMain, imports) never runs.
  HMODULE module =
      LoadLibraryExW(win32::ToWide(path).c_str(), nullptr,
                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return nullptr;
  return std::make_unique<MappedLibrary>(module);
}

}  // namespace refloq::platform
