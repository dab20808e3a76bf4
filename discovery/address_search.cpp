#include "discovery/address_search.h"

#include "discovery/network_search.h"
#include "discovery/ui_strings.h"
#include "protocol/command_routines.h"

namespace refloq::discovery {

void SearchByAddress(DiscoveryWindow& window, std::string_view typed_address) {
  if (IsAddressListed(window, typed_address)) return;
  protocol::StatusReply reply{};
  const bool answered = protocol::ReadDeviceStatus(typed_address, reply);
  const auto status = protocol::DecodeDeviceStatus(reply.data());
  if (!answered || status.dwLastErr != 0) {
    window.messages.ShowMessage(window.load_ui_string(kStringDeviceNotFound),
                                {});
  } else if (status.wFWInfo != protocol::SCANNER_STATUS_READY) {
    window.messages.ShowMessage(window.load_ui_string(kStringDeviceBusy), {});
  } else {
    window.device_table.AppendRow(typed_address,
                                  window.load_ui_string(kStringReady));
  }
}

}  // namespace refloq::discovery
