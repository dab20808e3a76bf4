#pragma once
// A small firmware container on disk, for --package.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "firmware/container_writer.h"
#include "sim/digest.h"

namespace refloq::cli::testing {

// A firmware container of a small payload, written to a file of its own.
class PackageFile {
 public:
  PackageFile() : payload_(4096 + 7) {
    for (std::size_t i = 0; i < payload_.size(); ++i) {
      payload_[i] = static_cast<std::uint8_t>(i * 31 + 5);
    }
    path_ = std::filesystem::temp_directory_path() /
            ("refloq-cli-package-" + std::to_string(std::random_device{}()));
    const std::vector<std::uint8_t> container =
        firmware::PackFirmwareContainer(payload_);
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(container.data()),
               static_cast<std::streamsize>(container.size()));
  }
  ~PackageFile() { std::filesystem::remove(path_); }
  PackageFile(const PackageFile&) = delete;
  PackageFile& operator=(const PackageFile&) = delete;

  std::string path() const { return path_.string(); }
  std::string sha256() const { return sim::Sha256Hex(payload_); }

 private:
  std::vector<std::uint8_t> payload_;
  std::filesystem::path path_;
};

}  // namespace refloq::cli::testing
