#include "platform/language_library.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/pe_string_table.h"

namespace refloq::platform {
namespace {

// Language libraries hold a string table of a few kilobytes; a file this
// large is not one and is not read into memory.
constexpr std::uintmax_t kMaxLibraryBytes = 64 * 1024 * 1024;

class ParsedLibrary final : public LanguageLibrary {
 public:
  explicit ParsedLibrary(PeStringTable table) : table_(std::move(table)) {}
  std::optional<std::string> FindString(std::uint16_t id) const override {
    return table_.Find(id);
  }

 private:
  PeStringTable table_;
};

}  // namespace

std::unique_ptr<LanguageLibrary> LanguageLibrary::Load(
    const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return nullptr;
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::uintmax_t>(size) > kMaxLibraryBytes) {
    return nullptr;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return nullptr;
  std::optional<PeStringTable> table = PeStringTable::Parse(bytes);
  if (!table) return nullptr;
  return std::make_unique<ParsedLibrary>(std::move(*table));
}

}  // namespace refloq::platform
