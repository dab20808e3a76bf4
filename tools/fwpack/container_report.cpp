#include "tools/fwpack/container_report.h"

#include <openssl/sha.h>

#include "firmware/firmware_header.h"
#include "firmware/firmware_image.h"
#include "firmware/firmware_sum.h"

namespace refloq::tools {

SumState DescribeSum(std::span<const std::uint8_t> payload) {
  if (payload.size() < firmware::kSumRegionSize) return SumState::kTooShort;
  const std::uint8_t* word = payload.data() + firmware::kSumWordOffset;
  if (word[2] == 0 && word[3] == 0) return SumState::kUnset;
  return firmware::SumRegion(payload) == 0 ? SumState::kValid
                                           : SumState::kError;
}

ContainerReport DescribeContainer(std::span<const std::uint8_t> container) {
  ContainerReport report;
  report.nContainerSize = container.size();
  report.bHeaderValid = container.size() >= firmware::kHeaderBlockSize &&
                        firmware::CheckFirmwareHeader(container.data());
  std::unique_ptr<firmware::FirmwareBytes> payload;
  std::int32_t size = 0;
  report.bLoads = firmware::DecryptFirmwareImage(container, size, payload);
  if (report.bLoads) {
    const std::span<const std::uint8_t> bytes{payload->data(), payload->size()};
    report.nPayloadSize = bytes.size();
    report.strPayloadSha256 = Sha256Hex(bytes);
    report.eSum = DescribeSum(bytes);
  }
  return report;
}

std::string Sha256Hex(std::span<const std::uint8_t> bytes) {
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(bytes.data(), bytes.size(), digest);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : digest) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 15];
  }
  return hex;
}

std::string FormatReport(const ContainerReport& report) {
  static constexpr const char* kSumText[] = {
      "valid", "unset (high half of the checksum word is zero)", "error",
      "payload shorter than the checksum region"};
  std::string text =
      "length: " + std::to_string(report.nContainerSize) +
      " bytes\nheader: " + (report.bHeaderValid ? "valid" : "invalid") + "\n";
  if (!report.bLoads) {
    return text +
           (report.bHeaderValid ? "body: does not decipher cleanly\n"
                                : "body: not deciphered\n") +
           "loads: no\n";
  }
  return text + "body: deciphers cleanly\npayload: " +
         std::to_string(report.nPayloadSize) +
         " bytes\npayload SHA-256: " + report.strPayloadSha256 +
         "\nchecksum: " + kSumText[static_cast<int>(report.eSum)] +
         "\nloads: yes\n";
}

}  // namespace refloq::tools
