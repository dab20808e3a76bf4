#pragma once
// The link's own USB error texts, English or Traditional Chinese by the
// connection's language id, written to standard output.
#include "link/device_connection.h"

namespace refloq::link {

enum class LinkMessageCode : int {
  kGetDescriptorError = 1,
  kUsbTimeout = 21,
  kOverlappedResultError = 22,
  kWriteError = 23,
  kReadError = 24,
  kSizeMismatch = 25,
};

inline constexpr std::uint32_t kTraditionalChineseLangId = 0x0404;

void PrintLinkMessage(const DeviceConnection& connection, LinkMessageCode code);

}  // namespace refloq::link
