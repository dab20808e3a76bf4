#pragma once
// Loads the firmware image for "Update Start": chooses the stored container
// (the program's embedded one or a package file beside the program),
// deciphers it and fills the window's FirmwareImage.
//
// The loader reads no settings and no resources itself: the caller passes
// the "LoadFW" and "FW_Ver" values of Refloq.ini, the program's folder and
// a way to reach the embedded container (resource BINARY 139).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "firmware/firmware_image.h"

namespace refloq::firmware {

inline constexpr int LOAD_FW_EMBEDDED = 0;
inline constexpr int LOAD_FW_PACKAGE_FILE = 1;

inline constexpr char kPackageFolder[] = "FW";
inline constexpr char kPackagePrefix[] = "QLM8_MB_Package_";
inline constexpr char kDefaultFwVer[] = "0.00";

struct FirmwareSource {
  // "LoadFW": 0 the embedded container, 1 the package file; any other
  // value names no container and the load fails as corrupted.
  int nLoadFw = LOAD_FW_EMBEDDED;
  // "FW_Ver" as read from the settings (at most 9 characters).
  std::string strFwVer = kDefaultFwVer;
  // The folder that holds the program (UTF-8).
  std::string strProgramFolder;
  // Returns the embedded container's bytes, which stay valid for the
  // program's life; an empty span when the resource cannot be found or
  // loaded, or is empty.  Called only for "LoadFW" 0.
  std::function<std::span<const std::uint8_t>()> embeddedContainer;
};

// Program folder + "FW" + "QLM8_MB_Package_" + fwVer, no extension.
std::filesystem::path PackageFilePath(const std::string& programFolder,
                                      const std::string& fwVer);

// Releases what image holds, then loads.  On success the image holds the
// payload and true is returned.  On failure the image holds no payload,
// one flag is set and false is returned: m_bFirmwareMissing for a missing
// or empty embedded container or a package file that cannot be opened or
// read; m_bFirmwareCorrupted for a container that fails DecryptFirmwareImage
// and for a "LoadFW" value other than 0 and 1.  The "FW" folder is created
// when the package file is chosen.  At most two copies of the image exist
// at once: the stored bytes and the deciphered payload.
bool LoadFirmwareImage(const FirmwareSource& source, FirmwareImage& image);

}  // namespace refloq::firmware
