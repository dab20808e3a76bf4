#include "tools/fwpack/container_report.h"

#include <gtest/gtest.h>

#include "firmware/firmware_sum.h"
#include "firmware/synthetic_payload.h"
#include "tests/firmware/test_containers.h"

namespace refloq::tools {
namespace {

using firmware::testing::Bytes;
using firmware::testing::View;

TEST(DescribeContainer, ReportsHeaderBodyDigestAndChecksum) {
  const firmware::FirmwareBytes synthetic =
      firmware::MakeSyntheticPayload(firmware::kSumRegionSize + 16);
  const Bytes withSum(synthetic.begin(), synthetic.end());
  Bytes unsetSum = withSum;
  unsetSum[firmware::kSumWordOffset + 2] = 0;
  unsetSum[firmware::kSumWordOffset + 3] = 0;
  Bytes wrongSum = withSum;
  wrongSum[0] ^= 1;
  const Bytes small = firmware::testing::Payload(100);
  const Bytes good = firmware::PackFirmwareContainer(small);

  const struct {
    const char* name;
    Bytes container;
    bool header;
    bool loads;
    SumState sum;
  } cases[] = {
      {"valid checksum", firmware::PackFirmwareContainer(withSum), true, true,
       SumState::kValid},
      {"unset checksum", firmware::PackFirmwareContainer(unsetSum), true, true,
       SumState::kUnset},
      {"wrong checksum", firmware::PackFirmwareContainer(wrongSum), true, true,
       SumState::kError},
      {"short payload", good, true, true, SumState::kTooShort},
      {"truncated body", Bytes(good.begin(), good.end() - 1), true, false,
       SumState::kTooShort},
      {"no header", Bytes(good.begin() + 32, good.end()), false, false,
       SumState::kTooShort},
      {"tiny", Bytes(3, 0), false, false, SumState::kTooShort},
  };
  for (const auto& c : cases) {
    const ContainerReport report = DescribeContainer(View(c.container));
    EXPECT_EQ(report.nContainerSize, c.container.size()) << c.name;
    EXPECT_EQ(report.bHeaderValid, c.header) << c.name;
    EXPECT_EQ(report.bLoads, c.loads) << c.name;
    EXPECT_EQ(report.eSum, c.sum) << c.name;
    const std::string text = FormatReport(report);
    EXPECT_NE(text.find(c.loads ? "loads: yes" : "loads: no"),
              std::string::npos)
        << text;
  }
  const ContainerReport report = DescribeContainer(View(good));
  EXPECT_EQ(report.nPayloadSize, 100u);
  EXPECT_EQ(report.strPayloadSha256, Sha256Hex(View(small)));
  // SHA-256 of "abc".
  EXPECT_EQ(Sha256Hex(View(Bytes{'a', 'b', 'c'})),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
}  // namespace refloq::tools
