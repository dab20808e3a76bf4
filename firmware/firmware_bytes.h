#pragma once
// The byte buffer that holds a deciphered firmware payload.
#include <cstdint>
#include <vector>

namespace refloq::firmware {

using FirmwareBytes = std::vector<std::uint8_t>;

}  // namespace refloq::firmware
