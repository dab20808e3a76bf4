#include "tests/app/app_fixture.h"

#include <atomic>
#include <fstream>
#include <random>

#include "platform/module_path.h"

namespace refloq::app::testing {

fs::path SampleLibrary(std::string_view file_name) {
  return fs::u8path(platform::ModuleFolder()) / file_name;
}

ProgramFolder::ProgramFolder(std::string_view label) {
  static std::atomic<int> counter{0};
  const unsigned salt = std::random_device{}();
  folder_ = fs::temp_directory_path() /
            fs::u8path(std::string(label) + "-" + std::to_string(salt) + "-" +
                       std::to_string(counter++));
  fs::create_directories(folder_);
}

ProgramFolder::~ProgramFolder() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

std::string ProgramFolder::ModulePath() const {
  const std::u8string path = (folder_ / "Refloq.exe").u8string();
  return {path.begin(), path.end()};
}

void ProgramFolder::WriteFile(std::string_view name,
                              std::string_view bytes) const {
  std::ofstream(folder_ / name, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ProgramFolder::AddLibrary(std::string_view sample,
                               std::string_view name) const {
  fs::create_directories(LangFolder());
  fs::copy_file(SampleLibrary(sample), LangFolder() / name,
                fs::copy_options::overwrite_existing);
}

}  // namespace refloq::app::testing
