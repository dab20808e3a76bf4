#pragma once
// Small payloads and containers made at test time with fwpack's code.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "firmware/container_writer.h"

namespace refloq::firmware::testing {

using Bytes = std::vector<std::uint8_t>;

inline const Bytes kEmpty;

// size bytes of a simple pattern that differs per seed.
inline Bytes Payload(std::size_t size, std::uint8_t seed = 1) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + seed + (i >> 8));
  }
  return bytes;
}

inline Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline std::span<const std::uint8_t> View(const Bytes& bytes) {
  return {bytes.data(), bytes.size()};
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A fresh, empty folder under the system's temporary folder, removed when
// the object goes.
class TempFolder {
 public:
  TempFolder() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("refloq_fw_test_" + std::to_string(Seed()) + "_" +
             std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string Utf8() const {
    const std::u8string text = path_.u8string();
    return std::string(text.begin(), text.end());
  }

 private:
  static long long Seed() {
    return static_cast<long long>(std::filesystem::file_time_type::clock::now()
                                      .time_since_epoch()
                                      .count());
  }
  std::filesystem::path path_;
};

}  // namespace refloq::firmware::testing
