#pragma once
// Where the firmware image of `firmware` and `update` comes from: the
// container the program carries (or the package file "LoadFW" names, as
// the window does), or a container file given with --package.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/command.h"
#include "firmware/firmware_image.h"

namespace refloq::cli {

class ImageSource {
 public:
  // Reads the --package file whole, when one is given, so that an
  // unreadable file is a usage error before any scanner is touched.  False
  // with the error reported when it cannot be read.
  bool Prepare(Context& context, const std::string& package_file);

  // LoadFirmwareImage from the prepared file or from the window's source.
  // On failure the image holds no payload and one of its two flags is set.
  bool Load(Context& context, firmware::FirmwareImage& image);

  // The window's failure text for an image that did not load: "FW File is
  // Missing, ..." when it is missing, else "Firmware in ... is corrupted."
  static int FailureTextId(const firmware::FirmwareImage& image);

 private:
  bool from_file_ = false;
  std::vector<std::uint8_t> file_bytes_;
};

// The SHA-256 of bytes as 64 lower-case hexadecimal characters.
std::string Sha256Hex(const std::uint8_t* bytes, std::size_t length);

}  // namespace refloq::cli
