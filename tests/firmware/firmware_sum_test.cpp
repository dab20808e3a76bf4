#include "firmware/firmware_sum.h"

#include <gtest/gtest.h>

#include "firmware/synthetic_payload.h"
#include "tests/firmware/test_containers.h"

namespace refloq::firmware {
namespace {

using testing::Bytes;

std::uint32_t WordAt(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

void SetWord(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

// A payload a little longer than the region whose words, checksum word
// excluded, sum to 0x12345678; bytes past the region do not count.
Bytes RegionPayload(std::uint32_t checksumWord) {
  Bytes bytes(kSumRegionSize, 0);
  bytes.resize(kSumRegionSize + 64, 0xEE);
  SetWord(bytes, 0, 0x12340000);
  SetWord(bytes, 4096, 0x5678);
  SetWord(bytes, kSumWordOffset, checksumWord);
  return bytes;
}

TEST(CheckFirmwareSum, FillsChecksOrRejectsTheChecksumWord) {
  const std::uint32_t negated = 0u - 0x12345678u;  // 0xEDCBA988
  const struct {
    const char* name;
    std::uint32_t wordBefore;
    int result;
    std::uint32_t wordAfter;
  } cases[] = {
      {"zero word is filled", 0, FIRMWARE_SUM_FILLED, negated},
      // Only the low half set: the word is rewritten, the sum stays wrong.
      {"low half only", 0x00001234, FIRMWARE_SUM_ERROR, negated - 0x1234},
      {"valid sum", negated, FIRMWARE_SUM_VALID, negated},
      {"wrong sum", negated + 1, FIRMWARE_SUM_ERROR, negated + 1},
  };
  for (const auto& c : cases) {
    Bytes payload = RegionPayload(c.wordBefore);
    const Bytes tail(payload.begin() + kSumRegionSize, payload.end());
    EXPECT_EQ(CheckFirmwareSum(payload), c.result) << c.name;
    EXPECT_EQ(WordAt(payload, kSumWordOffset), c.wordAfter) << c.name;
    EXPECT_EQ(Bytes(payload.begin() + kSumRegionSize, payload.end()), tail)
        << c.name;
  }
}

TEST(CheckFirmwareSum, RejectsAPayloadShorterThanTheRegion) {
  // Exactly one byte short: AddressSanitizer reports any read past it.
  Bytes payload(kSumRegionSize - 1, 0);
  EXPECT_EQ(CheckFirmwareSum(payload), FIRMWARE_SUM_ERROR);
  EXPECT_EQ(payload, Bytes(kSumRegionSize - 1, 0));
  EXPECT_EQ(CheckFirmwareSum({}), FIRMWARE_SUM_ERROR);
}

TEST(MakeSyntheticPayload, CarriesAPresentValidChecksum) {
  FirmwareBytes payload = MakeSyntheticPayload(kSumRegionSize + 1000);
  EXPECT_EQ(payload.size(), kSumRegionSize + 1000);
  const FirmwareBytes copy = payload;
  EXPECT_EQ(CheckFirmwareSum(payload), FIRMWARE_SUM_VALID);
  EXPECT_EQ(payload, copy);
  EXPECT_EQ(MakeSyntheticPayload(kSumRegionSize + 1000), copy);
}

}  // namespace
}  // namespace refloq::firmware
