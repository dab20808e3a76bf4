#include "firmware/firmware_header.h"

#include <cstring>

#include "firmware/aes_decrypt.h"

namespace refloq::firmware {

std::array<std::uint8_t, kMarkerBlockSize> MarkerBlock() {
  std::array<std::uint8_t, kMarkerBlockSize> marker{};
  std::memcpy(marker.data(), "FW_AES", 6);
  return marker;
}

bool CheckFirmwareHeader(const std::uint8_t* pStored) {
  if (pStored == nullptr) return false;
  std::array<std::uint8_t, kHeaderBlockSize> header{};
  std::memcpy(header.data(), pStored, header.size());
  std::array<std::uint8_t, kHeaderBlockSize> plain{};
  const std::int32_t count = AesDecryptBuffer(
      header.data(), plain.data(), static_cast<std::int32_t>(header.size()));
  if (count != static_cast<std::int32_t>(kMarkerBlockSize)) return false;
  return std::memcmp(plain.data(), MarkerBlock().data(), kMarkerBlockSize) == 0;
}

}  // namespace refloq::firmware
