#include "discovery/local_address_list.h"

#include "platform/local_addresses.h"

namespace refloq::discovery {

std::vector<platform::Ipv4Address> ListLocalAddresses() {
  std::vector<platform::Ipv4Address> addresses;
  for (const auto& address : platform::ListUpIpv4Addresses()) {
    if (address == platform::kLoopbackAddress) continue;
    if (addresses.size() == kMaxLocalAddresses) break;
    addresses.push_back(address);
  }
  return addresses;
}

}  // namespace refloq::discovery
