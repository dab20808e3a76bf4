#include "discovery/rediscovery.h"

#include <string>

#include "discovery/network_search.h"
#include "discovery/probe_match.h"
#include "link/trace.h"
#include "protocol/command_catalogue.h"
#include "protocol/command_routines.h"

namespace refloq::discovery {
namespace {

// The readiness query (FIRMWARE_TRANSFER 32, type 18, dwLength 0): true when
// it went through and wFWInfo is 0; dwLastErr is not examined.
bool AnswersReady(std::string_view address) {
  protocol::StatusReply reply{};
  const protocol::CommandBuffers buffers{reply.data(), nullptr, nullptr};
  return protocol::RunCommandOnce(
             address,
             protocol::BuildCommandBlock(protocol::kFirmwareReadinessQuery),
             buffers) &&
         protocol::DecodeDeviceStatus(reply.data()).wFWInfo ==
             protocol::SCANNER_STATUS_READY;
}

}  // namespace

int CollectMatchingDevice(DiscoveryWindow& window, std::string_view message_id,
                          ProbeSocket& socket, std::string_view wanted_id) {
  const auto trace = [&](std::string_view line) {
    link::AppendTraceLine(line, window.trace_path, 0);
  };
  const auto handle = [&](std::string_view answer) {
    const auto match = ParseProbeMatch(answer, message_id);
    if (!match || !IsScannerModel(match->model) || !match->endpoint_id) {
      return false;
    }
    const std::string braced = BracedEndpointId(*match->endpoint_id);
    trace("==>Search UUID is");
    trace(braced);
    if (braced != wanted_id) return false;
    if (!match->address ||
        match->address->size() > kMaxCandidateAddressLength) {
      return false;
    }
    trace("==>Search IP is");
    trace(*match->address);
    if (!AnswersReady(*match->address)) return false;
    trace("==>connected IP and get status success ");
    return true;
  };
  bool found = false;
  ListenForAnswers(socket, handle, &found);
  return found ? 1 : 0;
}

int RediscoverDevice(DiscoveryWindow& window, std::string_view wanted_id) {
  if (!platform::StartSockets()) return 0;
  bool ready = false;
  const bool probed = RunProbeCycles(window, [&](std::string_view message_id,
                                                 ProbeSocket& socket) {
    ready = CollectMatchingDevice(window, message_id, socket, wanted_id) == 1;
    return ready ? CycleOutcome::kDone : CycleOutcome::kAgain;
  });
  platform::StopSockets();
  return probed && ready ? 1 : 0;
}

}  // namespace refloq::discovery
