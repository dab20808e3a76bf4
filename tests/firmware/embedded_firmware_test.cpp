// The container built into the program loads through LoadFirmwareImage.
#include <gtest/gtest.h>

#include "firmware/firmware_loader.h"
#include "firmware/firmware_sum.h"
#include "firmware/synthetic_payload.h"
#include "platform/resources.h"

namespace refloq::firmware {
namespace {

std::span<const std::uint8_t> EmbeddedContainer() {
  return platform::FindBinaryResource(platform::kFirmwareContainerResourceId);
}

TEST(EmbeddedFirmware, LoadsTheBuiltInContainer) {
  FirmwareSource source;
  source.embeddedContainer = EmbeddedContainer;
  FirmwareImage image;
  ASSERT_TRUE(LoadFirmwareImage(source, image));
#if REFLOQ_EMBEDDED_FIRMWARE_DEFAULT
  EXPECT_EQ(EmbeddedContainer().size(), 41943088u);
  EXPECT_EQ(image.m_nFirmwareSize, 41943040);
  const FirmwareBytes expected = MakeSyntheticPayload();
  const auto bytes = image.Bytes();
  EXPECT_TRUE(
      std::equal(bytes.begin(), bytes.end(), expected.begin(), expected.end()));
  // The recovery job checks its own copy; the default image's sum is valid.
  FirmwareBytes copy(bytes.begin(), bytes.end());
  EXPECT_EQ(CheckFirmwareSum(copy), FIRMWARE_SUM_VALID);
#endif
}

}  // namespace
}  // namespace refloq::firmware
