#include "firmware/synthetic_payload.h"

#include <span>

#include "firmware/firmware_sum.h"

namespace refloq::firmware {

FirmwareBytes MakeSyntheticPayload(std::size_t size) {
  FirmwareBytes payload(size);
  // xorshift64*: fast, fixed seed, the same bytes on every platform.
  std::uint64_t state = 0x2545F4914F6CDD1DULL;
  for (std::size_t offset = 0; offset < size; offset += 8) {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    const std::uint64_t value = state * 0x2545F4914F6CDD1DULL;
    for (std::size_t i = 0; i < 8 && offset + i < size; ++i) {
      payload[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
  }
  if (size < kSumRegionSize) return payload;
  // Fill the checksum word.  A word whose high half comes out zero would be
  // taken for an unset one, so the top byte of the word before it is nudged
  // until it does not.
  for (std::uint8_t nudge = 0;; ++nudge) {
    payload[kSumWordOffset - 1] = nudge;
    for (std::size_t i = 0; i < 4; ++i) payload[kSumWordOffset + i] = 0;
    CheckFirmwareSum({payload.data(), payload.size()});
    if (payload[kSumWordOffset + 2] != 0 || payload[kSumWordOffset + 3] != 0) {
      break;
    }
  }
  return payload;
}

}  // namespace refloq::firmware
