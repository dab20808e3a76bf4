#pragma once
// The local IPv4 addresses of the network adapters that are up
// (GetAdaptersAddresses on Windows, getifaddrs on Linux), in the order the
// system lists the adapters and their addresses.  Loopback is included;
// callers filter what they do not want.
#include <vector>

#include "platform/socket.h"

namespace refloq::platform {

std::vector<Ipv4Address> ListUpIpv4Addresses();

}  // namespace refloq::platform
