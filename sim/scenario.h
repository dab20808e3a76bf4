#pragma once
// A scenario: the fleet scanner-sim runs, read from a small JSON file.
//
//   {
//     "port": 5566,
//     "scanners": [
//       { "address": "127.0.0.2",
//         "uuid": "{5CA77E55-0000-4000-8000-000000000001}",
//         "wFWInfo": 0, "dwLastErr": 0, "bSleep": 0, "bProgress": 0,
//         "info_record1": 40, "version": [2, 30], "date_stamp": 402987786,
//         "downgrade_permission": 0, "refuse_connections": false,
//         "faults": [ { "command": 16, "parameter": 240, "phase": "reply",
//                       "action": "close", "bytes": 10, "stall_ms": 0,
//                       "error_code": 0, "count": 1 } ],
//         "timeline": { "progress_step": 10, "progress_step_ms": 1000,
//                       "done_ms": 4000, "restart_ms": 20000,
//                       "busy_after_restart_ms": 0, "wake_after_ms": 30000,
//                       "image_reply_error": 0, "fail_at": 0,
//                       "stuck_at": 0 } } ] }
//
// Every field but "address" may be left out.  A scanner with "timeline"
// goes through an update when it receives an image (sim/update_timeline.h;
// 4294967295 stands for "never" in restart_ms and wake_after_ms).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/fault.h"
#include "sim/scanner_state.h"
#include "sim/update_timeline.h"

namespace refloq::sim {

struct ScannerSetup {
  std::string address;
  ScannerState state;
  std::vector<Fault> faults;
  bool refuse_connections = false;
  // Set: the scanner runs an update timeline from its start.
  std::optional<UpdateTimelineOptions> timeline;
};

struct Scenario {
  std::uint16_t port = 5566;
  std::vector<ScannerSetup> scanners;
};

// The scenario, or nothing with `error` saying what is wrong.
std::optional<Scenario> ParseScenario(std::string_view json,
                                      std::string& error);
std::optional<Scenario> LoadScenarioFile(const std::string& path,
                                         std::string& error);

// "COMMAND/PHASE/ACTION[/NUMBER]", e.g. "16/reply/close/10" or
// "any/data-in/stall/5000": NUMBER is the byte count, or the pause for
// "stall", or the error code for "error".
std::optional<Fault> ParseFaultText(std::string_view text, std::string& error);

}  // namespace refloq::sim
