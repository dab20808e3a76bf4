#include "discovery/network_search.h"

#include "discovery/probe_match.h"
#include "protocol/command_routines.h"
#include "texts/string_ids.h"

namespace refloq::discovery {
namespace {

bool HasAddress(const DeviceList& list, std::string_view address) {
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.AddressAt(row) == address) return true;
  }
  return false;
}

}  // namespace

int IsAddressListed(const DiscoveryWindow& window, std::string_view address) {
  return HasAddress(window.device_table, address) ||
                 HasAddress(window.update_table, address)
             ? 1
             : 0;
}

void QueryAndListDevice(std::string_view address, DiscoveryWindow& window) {
  if (IsAddressListed(window, address)) return;
  protocol::StatusReply reply{};
  if (protocol::ReadDeviceStatus(address, reply) &&
      protocol::DecodeDeviceStatus(reply.data()).dwLastErr == 0) {
    window.device_table.AppendRow(address, texts::kTextReady);
    return;
  }
  window.messages.ShowMessage(window.load_ui_string(texts::kTextDeviceNotFound),
                              {});
}

int CollectProbeMatches(DiscoveryWindow& window, std::string_view message_id,
                        ProbeSocket& socket, int& found) {
  const auto handle = [&](std::string_view answer) {
    const auto match = ParseProbeMatch(answer, message_id);
    if (!match || !IsScannerModel(match->model) || !match->address) {
      return false;
    }
    QueryAndListDevice(*match->address, window);
    if (!match->address->empty()) ++found;
    return false;
  };
  return ListenForAnswers(socket, handle) ? 1 : 0;
}

void SearchNetworkDevices(DiscoveryWindow& window) {
  if (!platform::StartSockets()) return;
  const int rows_before = window.device_table.RowCount();
  int found = 0;
  const bool probed = RunProbeCycles(
      window, [&](std::string_view message_id, ProbeSocket& socket) {
        CollectProbeMatches(window, message_id, socket, found);
        return found != 0 ? CycleOutcome::kNextAddress : CycleOutcome::kAgain;
      });
  if (!probed) {
    platform::StopSockets();
    return;
  }
  const bool added = window.device_table.RowCount() > rows_before;
  window.messages.ShowMessage(
      window.load_ui_string(added ? texts::kTextAddSuccess
                                  : texts::kTextDeviceNotFound),
      {});
  platform::StopSockets();
}

}  // namespace refloq::discovery
