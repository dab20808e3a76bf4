#include "platform/local_addresses.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>

namespace refloq::platform {

std::vector<Ipv4Address> ListUpIpv4Addresses() {
  std::vector<Ipv4Address> addresses;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return addresses;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    // Up and running is what Windows reports as operational state "up".
    const unsigned up = IFF_UP | IFF_RUNNING;
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
        (entry->ifa_flags & up) != up) {
      continue;
    }
    sockaddr_in address;
    std::memcpy(&address, entry->ifa_addr, sizeof address);
    Ipv4Address bytes;
    std::memcpy(bytes.data(), &address.sin_addr, 4);
    addresses.push_back(bytes);
  }
  freeifaddrs(list);
  return addresses;
}

}  // namespace refloq::platform
