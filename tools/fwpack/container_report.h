#pragma once
// What a firmware container or payload holds, as fwpack reports it.
#include <cstdint>
#include <span>
#include <string>

namespace refloq::tools {

enum class SumState { kValid, kUnset, kError, kTooShort };

struct ContainerReport {
  std::size_t nContainerSize = 0;
  bool bHeaderValid = false;
  // The container passes DecryptFirmwareImage: it would load.
  bool bLoads = false;
  std::size_t nPayloadSize = 0;
  std::string strPayloadSha256;  // lower-case hex; empty when it does not load
  SumState eSum = SumState::kTooShort;
};

// The checksum state of a payload, without filling anything in.
SumState DescribeSum(std::span<const std::uint8_t> payload);

ContainerReport DescribeContainer(std::span<const std::uint8_t> container);

// One "name: value" line per field.
std::string FormatReport(const ContainerReport& report);

std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace refloq::tools
