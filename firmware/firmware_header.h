#pragma once
// The 32-byte header block that opens every firmware container: the marker
// block "FW_AES" + ten zero bytes, enciphered on its own with the tool's key
// and IV and PKCS#7 padding.  Deciphering it proves the key.
#include <array>
#include <cstddef>
#include <cstdint>

namespace refloq::firmware {

inline constexpr std::size_t kHeaderBlockSize = 32;
inline constexpr std::size_t kMarkerBlockSize = 16;

// "FW_AES" followed by ten zero bytes.
std::array<std::uint8_t, kMarkerBlockSize> MarkerBlock();

// True when the first 32 bytes at pStored decipher to exactly 16 bytes equal
// to the marker block.  A second block with bad padding still passes (it
// adds no bytes); one with valid short padding makes the count exceed 16
// and fails.  A null pointer gives false.
bool CheckFirmwareHeader(const std::uint8_t* pStored);

}  // namespace refloq::firmware
