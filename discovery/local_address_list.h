#pragma once
// The local addresses a search probes from: the IPv4 addresses of the
// adapters that are up, without 127.0.0.1, at most 255, in the system's
// order.
#include <cstddef>
#include <vector>

#include "platform/socket.h"

namespace refloq::discovery {

inline constexpr std::size_t kMaxLocalAddresses = 255;

std::vector<platform::Ipv4Address> ListLocalAddresses();

}  // namespace refloq::discovery
