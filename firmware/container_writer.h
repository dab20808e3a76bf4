#pragma once
// Builds firmware containers with the tool's key and IV: the header block
// (the marker block enciphered on its own) followed by the payload
// enciphered on its own, both chains starting from the same IV.  Used by
// fwpack and by the tests, which make their containers at run time.
#include <cstdint>
#include <span>
#include <vector>

namespace refloq::firmware {

// AES-256-CBC with the tool's key and IV over the whole input.  With
// bPad the result carries PKCS#7 padding (one to sixteen bytes); without
// it the input must be a whole number of blocks.  Empty on failure.
std::vector<std::uint8_t> AesEncipher(std::span<const std::uint8_t> plain,
                                      bool bPad = true);

// The 32-byte header block followed by the enciphered payload.  Empty when
// the payload is empty or the container would exceed a signed 32-bit length.
std::vector<std::uint8_t> PackFirmwareContainer(
    std::span<const std::uint8_t> payload);

}  // namespace refloq::firmware
