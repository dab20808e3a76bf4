#pragma once
// "Search by IP Address": asks one typed address for its status over the
// device link, without any WS-Discovery traffic.  An address already in
// either table gives nothing; a scanner that does not answer, or answers
// with an error, gives "Device Not Found.  Please Check."; a busy one
// "Device is Busy."; a ready one a Device Table row "Ready".
#include <string_view>

#include "discovery/discovery_window.h"

namespace refloq::discovery {

void SearchByAddress(DiscoveryWindow& window, std::string_view typed_address);

}  // namespace refloq::discovery
