#include "firmware/synthetic_payload.h"

#include <bit>
#include <cstring>
#include <span>

#include "firmware/firmware_sum.h"

namespace refloq::firmware {

FirmwareBytes MakeSyntheticPayload(std::size_t size) {
  FirmwareBytes payload(size);
  // xorshift64*: fast, fixed seed, the same bytes on every platform (each
  // 64-bit value is laid down little-endian).  A page at a time is made
  // and copied in.
  std::uint64_t state = 0x2545F4914F6CDD1DULL;
  std::uint64_t words[512];
  std::uint8_t page[sizeof words];
  for (std::size_t offset = 0; offset < size; offset += sizeof page) {
    for (std::uint64_t& word : words) {
      state ^= state >> 12;
      state ^= state << 25;
      state ^= state >> 27;
      word = state * 0x2545F4914F6CDD1DULL;
    }
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(page, words, sizeof page);
    } else {
      for (std::size_t i = 0; i < sizeof page; ++i) {
        page[i] = static_cast<std::uint8_t>(words[i / 8] >> (8 * (i % 8)));
      }
    }
    std::memcpy(payload.data() + offset, page,
                size - offset < sizeof page ? size - offset : sizeof page);
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
