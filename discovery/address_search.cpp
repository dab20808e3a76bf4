#include "discovery/address_search.h"

#include "discovery/network_search.h"
#include "protocol/command_routines.h"
#include "texts/string_ids.h"

namespace refloq::discovery {

void SearchByAddress(DiscoveryWindow& window, std::string_view typed_address) {
  if (IsAddressListed(window, typed_address)) return;
  protocol::StatusReply reply{};
  const bool answered = protocol::ReadDeviceStatus(typed_address, reply);
  const auto status = protocol::DecodeDeviceStatus(reply.data());
  if (!answered || status.dwLastErr != 0) {
    window.messages.ShowMessage(
        window.load_ui_string(texts::kTextDeviceNotFound), {});
  } else if (status.wFWInfo != protocol::SCANNER_STATUS_READY) {
    window.messages.ShowMessage(
        window.load_ui_string(texts::kTextSearchDeviceBusy), {});
  } else {
    window.device_table.AppendRow(typed_address, texts::kTextReady);
  }
}

}  // namespace refloq::discovery
