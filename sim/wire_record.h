#pragma once
// The record of what a simulated scanner received: every command block,
// every data phase from the host and every USB vendor request, in order.
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/command_block.h"

namespace refloq::sim {

struct WireEntry {
  enum class Kind { kBlock, kData, kVendorRequest };
  Kind kind = Kind::kBlock;
  std::uint64_t session = 0;  // which connection (1, 2, ... per engine)
  std::string transport;      // "tcp" or "usb"
  // kBlock: the 16 bytes.  kData: the bytes (the first kKeptDataBytes of a
  // longer phase).  kVendorRequest: bmRequestType, bRequest, wValue (LE),
  // wIndex (LE).
  std::vector<std::uint8_t> bytes;
  protocol::sKestoCommandBlock block;  // kBlock, and the command of kData
  std::uint32_t length = 0;            // kData: bytes that arrived
  bool complete = true;                // kData: the whole dwLength arrived
  std::string sha256;                  // kData: of all bytes that arrived
};

inline constexpr std::uint32_t kKeptDataBytes = 1u << 20;

// One line for the console: "tcp#3 <- GET_DEVICE_STATUS type 18 length 32".
std::string DescribeWireEntry(const WireEntry& entry);

}  // namespace refloq::sim
