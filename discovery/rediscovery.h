#pragma once
// Finding one scanner again after its restart, by the UUID text read before
// the update: the same probes as a network search, but only the ProbeMatch
// whose braced endpoint id is exactly the wanted id counts, and only when
// the scanner at its address then answers the readiness query with
// wFWInfo 0.  Answers yes or no; adds nothing to the tables and shows no
// message (except for a missing probe template).
//
// Runs on update workers, several at once and beside a network search; each
// call has its own sockets, MessageID and probe port.
#include <string_view>

#include "discovery/discovery_window.h"
#include "discovery/probe_exchange.h"

namespace refloq::discovery {

// The address text of a candidate: at most 15 characters.
inline constexpr std::size_t kMaxCandidateAddressLength = 15;

// 1 when the wanted scanner was found and is ready, else 0.
int RediscoverDevice(DiscoveryWindow& window, std::string_view wanted_id);

// One listening cycle of RediscoverDevice: 1 as soon as the wanted scanner
// has answered ready, 0 when the cycle ends without that.
int CollectMatchingDevice(DiscoveryWindow& window, std::string_view message_id,
                          ProbeSocket& socket, std::string_view wanted_id);

}  // namespace refloq::discovery
