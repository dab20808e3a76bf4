#pragma once
// The string table of a Windows PE image (a .dll or .exe), read as data.
//
// Language libraries are plain files beside the program that anyone able
// to write there controls, so every offset and count in them is checked
// against the bytes actually present; a damaged file gives no image or no
// strings, never a read outside the buffer.  Nothing in the image is ever
// executed.  Written by hand because the layout is fixed to the byte and
// no Debian package reads PE resources.
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

namespace refloq::platform {

class PeStringTable {
 public:
  // Reads every RT_STRING block of `image`.  nullopt when the bytes are not
  // a PE image (as LoadLibraryExW would refuse it); an image without a
  // usable resource directory gives an empty table.  Where a block exists
  // in several languages the neutral one is taken, else the first.
  static std::optional<PeStringTable> Parse(
      std::span<const std::uint8_t> image);

  // String `id` (UTF-8), nullopt when the table lacks it.  An empty
  // string counts as missing, as it does for LoadStringW.
  std::optional<std::string> Find(std::uint16_t id) const;

  std::size_t size() const { return strings_.size(); }

 private:
  std::map<std::uint16_t, std::string> strings_;
};

}  // namespace refloq::platform
