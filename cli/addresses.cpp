#include <cstdint>

#include "cli/command.h"
#include "link/device_connection.h"

namespace refloq::cli {

bool CheckAddresses(const std::vector<std::string>& addresses,
                    Reporter& report) {
  for (const auto& address : addresses) {
    std::uint8_t bytes[4];
    if (address == "USB" || link::ParseIpv4Address(address, bytes)) continue;
    report.Error("address", "not a scanner address: \"" + address +
                                "\" (give \"USB\" or a dotted IPv4 address "
                                "such as 192.168.0.20)");
    return false;
  }
  return true;
}

}  // namespace refloq::cli
