#pragma once
// The synthetic firmware payload that the build embeds by default: 40 MiB
// of a fixed pseudo-random stream, the same on every build, with a valid
// checksum whose word the loader treats as present.
#include <cstddef>

#include "firmware/firmware_bytes.h"

namespace refloq::firmware {

inline constexpr std::size_t kSyntheticPayloadSize = 40 * 1024 * 1024;

// size must be at least the checksum region (13 MiB).
FirmwareBytes MakeSyntheticPayload(std::size_t size = kSyntheticPayloadSize);

}  // namespace refloq::firmware
