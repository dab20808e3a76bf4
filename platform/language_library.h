#pragma once
// A language library: a resource-only PE file ("de_DE.dll") whose string
// table stands in for the program's own texts.
//
// The library is read as data and never executed.  The program runs as
// administrator and the library is any file someone placed in a folder
// beside it; loading it as a module would run its DllMain.  Windows maps it
// with LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE (no code
// runs, no imports are resolved) and reads strings with LoadStringW; Linux
// reads the same file's string table (pe_string_table.h).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace refloq::platform {

class LanguageLibrary {
 public:
  // nullptr when the file is missing or is not a PE image.
  static std::unique_ptr<LanguageLibrary> Load(const std::string& path);

  virtual ~LanguageLibrary() = default;
  // String `id`, UTF-8; nullopt when the library lacks it (or it is empty).
  virtual std::optional<std::string> FindString(std::uint16_t id) const = 0;
};

}  // namespace refloq::platform
