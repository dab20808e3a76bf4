#include "firmware/firmware_sum.h"

#include <bit>
#include <cstring>

namespace refloq::firmware {
namespace {

std::uint32_t LoadLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) |
         static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 |
         static_cast<std::uint32_t>(p[3]) << 24;
}

void StoreLe32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::uint32_t SumRegion(std::span<const std::uint8_t> payload) {
  // Words are gathered a page at a time, so the loop below adds plain
  // integers whatever the payload's alignment.
  constexpr std::size_t kWordsPerChunk = 1024;
  std::uint32_t words[kWordsPerChunk];
  std::uint32_t sum = 0;
  for (std::size_t offset = 0; offset < kSumRegionSize;
       offset += sizeof words) {
    const std::uint8_t* chunk = payload.data() + offset;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(words, chunk, sizeof words);
    } else {
      for (std::size_t i = 0; i < kWordsPerChunk; ++i) {
        words[i] = LoadLe32(chunk + 4 * i);
      }
    }
    for (std::size_t i = 0; i < kWordsPerChunk; ++i) sum += words[i];
  }
  return sum;
}

int CheckFirmwareSum(std::span<std::uint8_t> payload) {
  if (payload.data() == nullptr || payload.size() < kSumRegionSize) {
    return FIRMWARE_SUM_ERROR;
  }
  std::uint8_t* word = payload.data() + kSumWordOffset;
  if (word[2] == 0 && word[3] == 0) {
    StoreLe32(word, 0u - SumRegion(payload));
    return SumRegion(payload) == 0 ? FIRMWARE_SUM_FILLED : FIRMWARE_SUM_ERROR;
  }
  return SumRegion(payload) == 0 ? FIRMWARE_SUM_VALID : FIRMWARE_SUM_ERROR;
}

}  // namespace refloq::firmware
