#include "firmware/firmware_loader.h"

#include <fstream>
#include <limits>
#include <new>
#include <system_error>

namespace refloq::firmware {
namespace {

std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

enum class ReadOutcome { kRead, kMissing, kTooLarge };

// Reads the whole package file.  A file that cannot be opened or read in
// full counts as missing; one longer than a container can be is not read.
ReadOutcome ReadPackageFile(const std::filesystem::path& path,
                            FirmwareBytes& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return ReadOutcome::kMissing;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return ReadOutcome::kMissing;
  if (size >
      static_cast<std::uintmax_t>(std::numeric_limits<std::int32_t>::max())) {
    return ReadOutcome::kTooLarge;
  }
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return ReadOutcome::kMissing;
  }
  if (size == 0) return ReadOutcome::kRead;
  file.read(reinterpret_cast<char*>(bytes.data()),
            static_cast<std::streamsize>(size));
  return file.gcount() == static_cast<std::streamsize>(size)
             ? ReadOutcome::kRead
             : ReadOutcome::kMissing;
}

bool Decipher(std::span<const std::uint8_t> stored, FirmwareImage& image) {
  std::unique_ptr<FirmwareBytes> payload;
  std::int32_t size = 0;
  if (!DecryptFirmwareImage(stored, size, payload)) {
    image.m_bFirmwareCorrupted = true;
    return false;
  }
  image.m_pFirmwareData = std::move(payload);
  image.m_nFirmwareSize = size;
  return true;
}

}  // namespace

std::filesystem::path PackageFilePath(const std::string& programFolder,
                                      const std::string& fwVer) {
  return PathFromUtf8(programFolder) / kPackageFolder /
         PathFromUtf8(kPackagePrefix + fwVer);
}

bool LoadFirmwareImage(const FirmwareSource& source, FirmwareImage& image) {
  image.Release();
  switch (source.nLoadFw) {
    case LOAD_FW_EMBEDDED: {
      const std::span<const std::uint8_t> stored =
          source.embeddedContainer ? source.embeddedContainer()
                                   : std::span<const std::uint8_t>{};
      if (stored.empty()) {
        image.m_bFirmwareMissing = true;
        return false;
      }
      return Decipher(stored, image);
    }
    case LOAD_FW_PACKAGE_FILE: {
      std::error_code ignored;
      std::filesystem::create_directory(
          PathFromUtf8(source.strProgramFolder) / kPackageFolder, ignored);
      FirmwareBytes stored;
      switch (ReadPackageFile(
          PackageFilePath(source.strProgramFolder, source.strFwVer), stored)) {
        case ReadOutcome::kMissing:
          image.m_bFirmwareMissing = true;
          return false;
        case ReadOutcome::kTooLarge:
          image.m_bFirmwareCorrupted = true;
          return false;
        case ReadOutcome::kRead:
          break;
      }
      // The file's bytes are released when this scope ends.
      return Decipher({stored.data(), stored.size()}, image);
    }
    default:
      image.m_bFirmwareCorrupted = true;
      return false;
  }
}

}  // namespace refloq::firmware
