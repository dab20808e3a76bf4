// The header check and DecryptFirmwareImage on small containers.
#include <gtest/gtest.h>

#include <cstring>

#include "firmware/aes_decrypt.h"
#include "firmware/firmware_header.h"
#include "firmware/firmware_image.h"
#include "tests/firmware/test_containers.h"

namespace refloq::firmware {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::Payload;
using testing::View;

Bytes MarkerBytes() {
  const auto marker = MarkerBlock();
  return Bytes(marker.begin(), marker.end());
}

TEST(CheckFirmwareHeader, AcceptsOnlyAMarkerThatDeciphersToSixteenBytes) {
  Bytes otherMarker = MarkerBytes();
  otherMarker[10] = 1;  // a non-zero byte after "FW_AES"
  const struct {
    const char* name;
    Bytes header;
    bool valid;
  } cases[] = {
      {"marker with full padding block", AesEncipher(MarkerBytes()), true},
      // The second block deciphers to zeros: bad padding adds no bytes.
      {"second block with bad padding",
       AesEncipher(Concat(MarkerBytes(), Bytes(16, 0)), false), true},
      // Fifteen more bytes + one padding byte: 31 plaintext bytes.
      {"second block with valid short padding",
       AesEncipher(Concat(MarkerBytes(), Bytes(15, 0))), false},
      {"non-zero byte after FW_AES", AesEncipher(otherMarker), false},
      {"lower-case marker",
       AesEncipher(Concat(Bytes{'f', 'w', '_', 'a', 'e', 's'}, Bytes(10, 0))),
       false},
      {"plain marker, not enciphered", Concat(MarkerBytes(), Bytes(16, 16)),
       false},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.header.size(), kHeaderBlockSize) << c.name;
    EXPECT_EQ(CheckFirmwareHeader(c.header.data()), c.valid) << c.name;
  }
  EXPECT_FALSE(CheckFirmwareHeader(nullptr));
}

TEST(AesDecryptBuffer, CountsWholeBlocksLessValidPadding) {
  const Bytes plain = Payload(40);
  const Bytes padded = AesEncipher(plain);  // 48 bytes
  Bytes out(64);
  const struct {
    const char* name;
    std::int32_t length;
    std::int32_t count;
    bool clean;
  } cases[] = {
      {"whole container body", 48, 40, true},
      {"partial final block", 45, 32, false},
      // Without its last block the second block is taken as the final one.
      {"last block cut off", 32, 16, false},
      {"empty", 0, 0, false},
  };
  for (const auto& c : cases) {
    const DecipherResult result =
        AesDecipher(padded.data(), out.data(), c.length);
    EXPECT_EQ(result.nCount, c.count) << c.name;
    EXPECT_EQ(result.bClean, c.clean) << c.name;
    EXPECT_EQ(AesDecryptBuffer(padded.data(), out.data(), c.length), c.count)
        << c.name;
  }
  EXPECT_EQ(AesDecipher(padded.data(), out.data(), 48).nCount, 40);
  EXPECT_EQ(0, std::memcmp(out.data(), plain.data(), plain.size()));

  Bytes inPlace = padded;
  EXPECT_EQ(AesDecryptBuffer(inPlace.data(), inPlace.data(), 48), 40);
  EXPECT_EQ(0, std::memcmp(inPlace.data(), plain.data(), plain.size()));
}

TEST(DecryptFirmwareImage, DeciphersAWholeContainerToTheExactPayload) {
  for (std::size_t size : {1u, 15u, 16u, 17u, 4096u, 100000u}) {
    const Bytes payload = Payload(size, static_cast<std::uint8_t>(size));
    const Bytes container = PackFirmwareContainer(payload);
    std::unique_ptr<FirmwareBytes> out;
    std::int32_t outSize = -1;
    ASSERT_TRUE(DecryptFirmwareImage(View(container), outSize, out)) << size;
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(outSize, static_cast<std::int32_t>(size));
    EXPECT_EQ(Bytes(out->begin(), out->end()), payload) << size;
  }
}

TEST(DecryptFirmwareImage, RejectsContainersThatWouldNotLoadWhole) {
  const Bytes header = AesEncipher(MarkerBytes());
  const Bytes payload = Payload(4096);
  const Bytes good = PackFirmwareContainer(payload);
  Bytes badPadding = Payload(4096);
  badPadding.back() = 0;  // a final block whose padding byte is zero
  Bytes wrongHeader = good;
  wrongHeader[3] ^= 1;
  const struct {
    const char* name;
    Bytes container;
  } cases[] = {
      {"header only, 32 bytes", header},
      {"shorter than a header", Bytes(good.begin(), good.begin() + 20)},
      {"empty", Bytes{}},
      {"damaged header", wrongHeader},
      {"final block with bad padding",
       Concat(header, AesEncipher(badPadding, false))},
      {"partial final block", Bytes(good.begin(), good.end() - 5)},
      {"final block cut off", Bytes(good.begin(), good.end() - 16)},
      {"body deciphers to nothing", Concat(header, AesEncipher(Bytes{}))},
      {"body of a single partial block",
       Bytes(good.begin(), good.begin() + 40)},
  };
  for (const auto& c : cases) {
    std::unique_ptr<FirmwareBytes> out;
    std::int32_t outSize = -1;
    EXPECT_FALSE(DecryptFirmwareImage(View(c.container), outSize, out))
        << c.name;
    EXPECT_EQ(outSize, 0) << c.name;
    EXPECT_EQ(out, nullptr) << c.name;
  }
}

TEST(DecryptFirmwareImage, RefusesAnOutputBufferThatIsAlreadyHeld) {
  const Bytes container = PackFirmwareContainer(Payload(64));
  auto held = std::make_unique<FirmwareBytes>(3, std::uint8_t{9});
  const FirmwareBytes* before = held.get();
  std::int32_t outSize = 77;
  EXPECT_FALSE(DecryptFirmwareImage(View(container), outSize, held));
  EXPECT_EQ(held.get(), before);
  EXPECT_EQ(*held, FirmwareBytes(3, std::uint8_t{9}));
  EXPECT_EQ(outSize, 0);
}

TEST(PackFirmwareContainer, ChainsHeaderAndBodyFromTheSameIv) {
  // The body is enciphered on its own: its first block equals the first
  // block of a container whose payload starts with the marker block.
  const Bytes container = PackFirmwareContainer(MarkerBytes());
  ASSERT_EQ(container.size(), 64u);
  EXPECT_TRUE(std::equal(container.begin(), container.begin() + 32,
                         container.begin() + 32));
  EXPECT_TRUE(PackFirmwareContainer(Bytes{}).empty());
}

}  // namespace
}  // namespace refloq::firmware
