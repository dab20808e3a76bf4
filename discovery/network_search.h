#pragma once
// "Search Network Device": a WS-Discovery Probe from every local IPv4
// address; every scanner of the model that answers and then answers a
// status query is added to the Device Table.
//
// Per local address, one MessageID and up to 15 cycles of probe and
// listening; after the first match anywhere (`found` is not 0) each further
// address gets a single cycle.  The search ends with "Device Not Found.
// Please Check." when the Device Table gained no row, else with "Add IP
// Address Success.".
#include <string_view>

#include "discovery/discovery_window.h"
#include "discovery/probe_exchange.h"

namespace refloq::discovery {

void SearchNetworkDevices(DiscoveryWindow& window);

// One listening cycle of the probe sent on `socket`: every answer to
// message_id that names the model and carries a transport address goes to
// QueryAndListDevice, and each with a non-empty address adds one to
// `found`.  1 when the cycle ran, 0 when the socket could not listen.
int CollectProbeMatches(DiscoveryWindow& window, std::string_view message_id,
                        ProbeSocket& socket, int& found);

// Lists the scanner at `address` when it is in neither table and answers
// GET_DEVICE_STATUS with dwLastErr 0 (a busy scanner is listed too);
// shows "Device Not Found.  Please Check." when the query fails.
void QueryAndListDevice(std::string_view address, DiscoveryWindow& window);

// 1 when `address` equals column 0 of a row of the Device Table or of the
// Update Table (exactly, case-sensitive); else 0.
int IsAddressListed(const DiscoveryWindow& window, std::string_view address);

}  // namespace refloq::discovery
