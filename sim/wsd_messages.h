#pragma once
// The WS-Discovery texts of the simulated scanners: reading the MessageID
// of a Probe, and writing the ProbeMatch a scanner of the model sends back.
#include <optional>
#include <string>
#include <string_view>

namespace refloq::sim {

// The MessageID of a Probe (the text after "urn:uuid:"), or nullopt when
// the datagram is not a Probe with one.
std::optional<std::string> ProbeMessageId(std::string_view datagram);

struct ProbeMatchFields {
  std::string relates_to;  // the Probe's MessageID
  std::string message_id;  // this answer's own
  std::string endpoint;    // UUID text without braces
  std::string address;     // goes into XAddrs "http://ADDRESS:80/"
  std::string model;       // ModuleName
};

std::string BuildProbeMatch(const ProbeMatchFields& fields);

// The UUID text without the braces a scanner reports it in.
std::string_view Unbraced(std::string_view uuid_text);

}  // namespace refloq::sim
