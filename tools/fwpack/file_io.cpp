#include "tools/fwpack/file_io.h"

#include <filesystem>
#include <fstream>

namespace refloq::tools {
namespace {

std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(
    const std::string& path) {
  std::ifstream file(PathFromUtf8(path), std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  const std::streamoff size = file.tellg();
  if (size < 0) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  file.seekg(0);
  file.read(reinterpret_cast<char*>(bytes.data()), size);
  if (file.gcount() != size) return std::nullopt;
  return bytes;
}

bool WriteWholeFile(const std::string& path,
                    std::span<const std::uint8_t> bytes) {
  std::ofstream file(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

}  // namespace refloq::tools
