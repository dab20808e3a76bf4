#pragma once
// Faults on demand: what the scanner does wrong, for which command, in
// which phase, and how many times.
#include <cstdint>
#include <optional>
#include <string>

namespace refloq::sim {

enum class FaultPhase {
  kReply,         // the 32- or 108-byte reply, before or after the data
  kDataToHost,    // the data of a TRANSFER_READ command
  kDataFromHost,  // the data of a TRANSFER_WRITE(_REPLY_AFTER) command
};

enum class FaultAction {
  kSilent,     // send nothing more on this connection; swallow its input
  kClose,      // send `bytes` bytes of the phase, then close the connection
  kSplit,      // send the phase in two pieces, `bytes` first, with a pause
  kShort,      // send only `bytes` bytes of the phase, then go on as normal
  kStall,      // pause `stall_ms` (scaled) before the phase, then go on
  kErrorCode,  // reply with dwLastErr = `error_code` (kReply only)
};

struct Fault {
  std::optional<std::uint8_t> command;     // any command when empty
  std::optional<std::uint16_t> parameter;  // any parameter when empty
  FaultPhase phase = FaultPhase::kReply;
  FaultAction action = FaultAction::kSilent;
  std::uint32_t bytes = 0;
  std::uint32_t stall_ms = 0;
  std::uint32_t error_code = 0;
  int count = -1;  // times it applies; -1 for every time

  bool Matches(std::uint8_t bCommand, std::uint16_t wParameter,
               FaultPhase at) const;
};

// Names used by scenario files and the command line: "reply", "data-in",
// "data-out"; "silent", "close", "split", "short", "stall", "error".
std::optional<FaultPhase> ParseFaultPhase(const std::string& text);
std::optional<FaultAction> ParseFaultAction(const std::string& text);

}  // namespace refloq::sim
