#include "cli/image_source.h"

#include <openssl/sha.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "firmware/firmware_loader.h"
#include "texts/string_ids.h"

namespace refloq::cli {

bool ImageSource::Prepare(Context& context, const std::string& package_file) {
  if (package_file.empty()) return true;
  from_file_ = true;
  const std::filesystem::path path =
      std::filesystem::u8path(package_file);  // UTF-8 on both targets
  std::ifstream file(path, std::ios::binary);
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (!file || error || std::filesystem::is_directory(path)) {
    context.report.Error(
        "package", "cannot read the package file \"" + package_file + "\"");
    return false;
  }
  file_bytes_.resize(static_cast<std::size_t>(size));
  file.read(reinterpret_cast<char*>(file_bytes_.data()),
            static_cast<std::streamsize>(file_bytes_.size()));
  if (static_cast<std::size_t>(file.gcount()) != file_bytes_.size()) {
    context.report.Error(
        "package", "cannot read the package file \"" + package_file + "\"");
    return false;
  }
  return true;
}

bool ImageSource::Load(Context& context, firmware::FirmwareImage& image) {
  if (!from_file_) {
    // The window's source: "LoadFW" and "FW_Ver" read anew, the built-in
    // container or the package file beside the program.
    return context.services.load_firmware &&
           context.services.load_firmware(image);
  }
  // The file's bytes stand in for the built-in container.
  firmware::FirmwareSource source;
  source.nLoadFw = firmware::LOAD_FW_EMBEDDED;
  source.embeddedContainer = [this] {
    return std::span<const std::uint8_t>(file_bytes_);
  };
  const bool loaded = firmware::LoadFirmwareImage(source, image);
  // The stored bytes are not needed once the image is deciphered.
  std::vector<std::uint8_t>().swap(file_bytes_);
  return loaded;
}

int ImageSource::FailureTextId(const firmware::FirmwareImage& image) {
  return image.m_bFirmwareMissing ? texts::kTextFwFileMissing
                                  : texts::kTextFirmwareCorrupted;
}

std::string Sha256Hex(const std::uint8_t* bytes, std::size_t length) {
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(bytes, length, digest);
  std::string hex;
  char pair[3];
  for (unsigned char byte : digest) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  return hex;
}

}  // namespace refloq::cli
