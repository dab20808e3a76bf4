#include "sim/fault.h"

namespace refloq::sim {

bool Fault::Matches(std::uint8_t bCommand, std::uint16_t wParameter,
                    FaultPhase at) const {
  return count != 0 && phase == at && (!command || *command == bCommand) &&
         (!parameter || *parameter == wParameter);
}

std::optional<FaultPhase> ParseFaultPhase(const std::string& text) {
  if (text == "reply") return FaultPhase::kReply;
  if (text == "data-in") return FaultPhase::kDataToHost;
  if (text == "data-out") return FaultPhase::kDataFromHost;
  return std::nullopt;
}

std::optional<FaultAction> ParseFaultAction(const std::string& text) {
  if (text == "silent") return FaultAction::kSilent;
  if (text == "close") return FaultAction::kClose;
  if (text == "split") return FaultAction::kSplit;
  if (text == "short") return FaultAction::kShort;
  if (text == "stall") return FaultAction::kStall;
  if (text == "error") return FaultAction::kErrorCode;
  return std::nullopt;
}

}  // namespace refloq::sim
