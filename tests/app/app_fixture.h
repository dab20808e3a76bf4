#pragma once
// A temporary folder standing for the program's own: its settings files
// and its "LANG" folder with copies of the sample language libraries.
#include <filesystem>
#include <string>
#include <string_view>

namespace refloq::app::testing {

namespace fs = std::filesystem;

// A sample library built beside the test program (de_DE.dll, zh_TW.dll,
// planted.dll).
fs::path SampleLibrary(std::string_view file_name);

class ProgramFolder {
 public:
  // `label` becomes part of the folder's name (UTF-8).
  explicit ProgramFolder(std::string_view label = "refloq-app");
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const fs::path& path() const { return folder_; }
  fs::path LangFolder() const { return folder_ / "LANG"; }
  // The module path of a program in this folder, UTF-8.
  std::string ModulePath() const;

  void WriteFile(std::string_view name, std::string_view bytes) const;
  // Copies sample `sample` into LANG (created if needed) as `name`.
  void AddLibrary(std::string_view sample, std::string_view name) const;

 private:
  fs::path folder_;
};

}  // namespace refloq::app::testing
