#include "sim/scenario.h"

#include <charconv>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

#include "link/device_connection.h"

namespace refloq::sim {
namespace {

using nlohmann::json;

// Reads an unsigned field of at most `max` into `out`; false with a message
// when it is there but not such a number.
template <typename T>
bool ReadNumber(const json& object, const char* name, T& out,
                std::string& error) {
  const auto found = object.find(name);
  if (found == object.end()) return true;
  if (!found->is_number_unsigned() ||
      found->get<std::uint64_t>() > std::numeric_limits<T>::max()) {
    error = std::string("\"") + name + "\" must be a number from 0 to " +
            std::to_string(std::numeric_limits<T>::max());
    return false;
  }
  out = static_cast<T>(found->get<std::uint64_t>());
  return true;
}

// Reads a text field into `out` when it is there.
bool ReadText(const json& object, const char* name, std::string& out,
              std::string& error) {
  const auto found = object.find(name);
  if (found == object.end()) return true;
  if (!found->is_string()) {
    error = std::string("\"") + name + "\" must be a text";
    return false;
  }
  out = found->get<std::string>();
  return true;
}

bool ReadFault(const json& object, Fault& fault, std::string& error) {
  if (!object.is_object()) {
    error = "a fault must be an object";
    return false;
  }
  std::uint8_t command = 0;
  std::uint16_t parameter = 0;
  if (object.contains("command")) {
    if (!ReadNumber(object, "command", command, error)) return false;
    fault.command = command;
  }
  if (object.contains("parameter")) {
    if (!ReadNumber(object, "parameter", parameter, error)) return false;
    fault.parameter = parameter;
  }
  std::string phase = "reply";
  std::string action;
  if (!ReadText(object, "phase", phase, error) ||
      !ReadText(object, "action", action, error)) {
    return false;
  }
  const auto parsed_phase = ParseFaultPhase(phase);
  const auto parsed_action = ParseFaultAction(action);
  if (!parsed_phase) {
    error = "unknown fault phase \"" + phase + "\"";
    return false;
  }
  if (!parsed_action) {
    error = "unknown fault action \"" + action + "\"";
    return false;
  }
  fault.phase = *parsed_phase;
  fault.action = *parsed_action;
  std::uint32_t count = 0;
  const bool has_count = object.contains("count");
  if (!ReadNumber(object, "bytes", fault.bytes, error) ||
      !ReadNumber(object, "stall_ms", fault.stall_ms, error) ||
      !ReadNumber(object, "error_code", fault.error_code, error) ||
      !ReadNumber(object, "count", count, error)) {
    return false;
  }
  if (has_count)
    fault.count = static_cast<int>(std::min<std::uint32_t>(count, 1u << 30));
  return true;
}

// "login": {"password": "...", "mode": 1, "lockout": 1, "attempt_limit": 5,
//           "failures": 0}, every field optional.
bool ReadLogin(const json& object, ScannerState& state, std::string& error) {
  if (!object.is_object()) {
    error = "\"login\" must be an object";
    return false;
  }
  if (object.contains("password")) {
    if (!object["password"].is_string()) {
      error = "\"password\" must be a text";
      return false;
    }
    state.login.password = object["password"].get<std::string>();
  }
  return ReadNumber(object, "mode", state.login.login_mode, error) &&
         ReadNumber(object, "lockout", state.status_ext.bLoginLockout, error) &&
         ReadNumber(object, "attempt_limit",
                    state.status_ext.bLoginAttemptLimit, error) &&
         ReadNumber(object, "failures", state.status_ext.bLoginFailures, error);
}

// "timeline": the update timeline's options, every field optional.
bool ReadTimeline(const json& object, UpdateTimelineOptions& options,
                  std::string& error) {
  if (!object.is_object()) {
    error = "\"timeline\" must be an object";
    return false;
  }
  return ReadNumber(object, "image_reply_error", options.image_reply_error,
                    error) &&
         ReadNumber(object, "progress_step", options.progress_step, error) &&
         ReadNumber(object, "progress_step_ms", options.progress_step_ms,
                    error) &&
         ReadNumber(object, "stuck_at", options.stuck_at, error) &&
         ReadNumber(object, "fail_at", options.fail_at, error) &&
         ReadNumber(object, "done_ms", options.done_ms, error) &&
         ReadNumber(object, "restart_ms", options.restart_ms, error) &&
         ReadNumber(object, "busy_after_restart_ms",
                    options.busy_after_restart_ms, error) &&
         ReadNumber(object, "wake_after_ms", options.wake_after_ms, error);
}

bool ReadScanner(const json& object, ScannerSetup& setup, std::string& error) {
  if (!object.is_object() || !object.contains("address") ||
      !object["address"].is_string()) {
    error = "every scanner needs an \"address\" text";
    return false;
  }
  setup.address = object["address"].get<std::string>();
  std::uint8_t bytes[4];
  if (!link::ParseIpv4Address(setup.address, bytes)) {
    error = "\"" + setup.address + "\" is not an IPv4 address";
    return false;
  }
  ScannerState& state = setup.state;
  if (!ReadText(object, "uuid", state.uuid_text, error)) return false;
  if (object.contains("version")) {
    const json& version = object["version"];
    if (!version.is_array() || version.size() != 2 ||
        !version[0].is_number_unsigned() || !version[1].is_number_unsigned() ||
        version[0].get<std::uint64_t>() > 0xFFFF ||
        version[1].get<std::uint64_t>() > 0xFFFF) {
      error = "\"version\" must be [major, minor]";
      return false;
    }
    state.firmware_info.version = protocol::MakeVersion(
        version[0].get<std::uint16_t>(), version[1].get<std::uint16_t>());
  }
  if (!ReadNumber(object, "wFWInfo", state.status.wFWInfo, error) ||
      !ReadNumber(object, "dwLastErr", state.status.dwLastErr, error) ||
      !ReadNumber(object, "bSleep", state.status.bSleep, error) ||
      !ReadNumber(object, "bProgress", state.status.bProgress, error) ||
      !ReadNumber(object, "info_record1", state.info_record1_value, error) ||
      !ReadNumber(object, "date_stamp", state.firmware_info.date_stamp,
                  error) ||
      !ReadNumber(object, "downgrade_permission", state.downgrade_permission,
                  error)) {
    return false;
  }
  if (object.contains("login") && !ReadLogin(object["login"], state, error)) {
    return false;
  }
  if (object.contains("timeline")) {
    UpdateTimelineOptions options;
    if (!ReadTimeline(object["timeline"], options, error)) return false;
    setup.timeline = std::move(options);
  }
  if (object.contains("refuse_connections")) {
    if (!object["refuse_connections"].is_boolean()) {
      error = "\"refuse_connections\" must be true or false";
      return false;
    }
    setup.refuse_connections = object["refuse_connections"].get<bool>();
  }
  if (object.contains("faults")) {
    if (!object["faults"].is_array()) {
      error = "\"faults\" must be a list";
      return false;
    }
    for (const json& item : object["faults"]) {
      Fault fault;
      if (!ReadFault(item, fault, error)) return false;
      setup.faults.push_back(fault);
    }
  }
  return true;
}

}  // namespace

std::optional<Scenario> ParseScenario(std::string_view text,
                                      std::string& error) {
  const json root = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (root.is_discarded() || !root.is_object()) {
    error = "the scenario is not a JSON object";
    return std::nullopt;
  }
  Scenario scenario;
  if (!ReadNumber(root, "port", scenario.port, error)) return std::nullopt;
  if (!root.contains("scanners") || !root["scanners"].is_array() ||
      root["scanners"].empty()) {
    error = "\"scanners\" must be a list of at least one scanner";
    return std::nullopt;
  }
  std::uint32_t n = 1;
  for (const json& item : root["scanners"]) {
    ScannerSetup setup;
    setup.state.uuid_text = NumberedUuidText(n++);
    // value() of a field of another type would throw; the checks above and
    // in ReadScanner look at each type first.
    try {
      if (!ReadScanner(item, setup, error)) return std::nullopt;
    } catch (const json::exception& e) {
      error = e.what();
      return std::nullopt;
    }
    scenario.scanners.push_back(std::move(setup));
  }
  return scenario;
}

std::optional<Scenario> LoadScenarioFile(const std::string& path,
                                         std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  std::ostringstream text;
  text << file.rdbuf();
  return ParseScenario(text.str(), error);
}

std::optional<Fault> ParseFaultText(std::string_view text, std::string& error) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = text.find('/', start);
    parts.emplace_back(text.substr(start, slash - start));
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  error = "a fault is COMMAND/PHASE/ACTION[/NUMBER]: " + std::string(text);
  if (parts.size() < 3 || parts.size() > 4) return std::nullopt;
  // Decimal, or hexadecimal after "0x" (error codes read better so).
  const auto number = [](const std::string& part, std::uint32_t& out) {
    const bool hex = part.size() > 2 && part[0] == '0' && part[1] == 'x';
    const char* first = part.data() + (hex ? 2 : 0);
    const char* last = part.data() + part.size();
    const auto result = std::from_chars(first, last, out, hex ? 16 : 10);
    return result.ec == std::errc() && result.ptr == last;
  };
  Fault fault;
  std::uint32_t value = 0;
  if (parts[0] != "any") {
    if (!number(parts[0], value) || value > 255) return std::nullopt;
    fault.command = static_cast<std::uint8_t>(value);
  }
  const auto phase = ParseFaultPhase(parts[1]);
  const auto action = ParseFaultAction(parts[2]);
  if (!phase || !action) return std::nullopt;
  fault.phase = *phase;
  fault.action = *action;
  if (parts.size() == 4) {
    if (!number(parts[3], value)) return std::nullopt;
    if (fault.action == FaultAction::kStall) {
      fault.stall_ms = value;
    } else if (fault.action == FaultAction::kErrorCode) {
      fault.error_code = value;
    } else {
      fault.bytes = value;
    }
  }
  error.clear();
  return fault;
}

}  // namespace refloq::sim
