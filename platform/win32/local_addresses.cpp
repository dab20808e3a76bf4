#include "platform/local_addresses.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// clang-format on

#include <cstring>

namespace refloq::platform {

std::vector<Ipv4Address> ListUpIpv4Addresses() {
  std::vector<Ipv4Address> addresses;
  // Ask for the size first, then for the list; the list may grow between
  // the two calls, so try a few times.
  ULONG size = 0;
  GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, nullptr, &size);
  std::vector<unsigned char> buffer;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW;
       ++attempt) {
    buffer.assign(size + 1024, 0);
    size = static_cast<ULONG>(buffer.size());
    result = GetAdaptersAddresses(
        AF_UNSPEC, GAA_FLAG_SKIP_ANYCAST, nullptr,
        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (result != NO_ERROR) return addresses;
  for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
       adapter != nullptr; adapter = adapter->Next) {
    if (adapter->OperStatus != IfOperStatusUp) continue;
    for (auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
         unicast = unicast->Next) {
      const SOCKADDR* address = unicast->Address.lpSockaddr;
      if (address == nullptr || address->sa_family != AF_INET) continue;
      sockaddr_in ipv4;
      std::memcpy(&ipv4, address, sizeof ipv4);
      Ipv4Address bytes;
      std::memcpy(bytes.data(), &ipv4.sin_addr, 4);
      addresses.push_back(bytes);
    }
  }
  return addresses;
}

}  // namespace refloq::platform
