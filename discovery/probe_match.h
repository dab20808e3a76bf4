#pragma once
// Reading a ProbeMatch.  A datagram is untrusted: every search here stays
// within the received bytes, whatever they hold.  All positions are searched
// from the anchor, the first occurrence of the probe's MessageID text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace refloq::discovery {

// The only model a search accepts (compared ignoring ASCII case).
inline constexpr std::string_view kScannerModel = "QLM-8800Z";

// The answer text: the datagram up to its first zero byte, never beyond the
// bytes received.
std::string_view AnswerText(std::span<const std::uint8_t> datagram);

// Position of the first occurrence of message_id; nullopt when it is
// absent, at position 0 (nothing could precede it in a real answer) or
// message_id is empty.
std::optional<std::size_t> FindAnchor(std::string_view answer,
                                      std::string_view message_id);

// The text between the first "<ModuleName>" after the anchor and the first
// "</ModuleName>" after that.
std::optional<std::string_view> ReadModelText(std::string_view answer,
                                              std::size_t anchor);

// The scanner's address from the first "<wsd:XAddrs>" after the anchor:
// skip the 7 characters of the scheme prefix, then run up to the first ':'.
// nullopt unless "/</wsd:XAddrs>" follows and the ':' comes before it.
std::optional<std::string_view> ReadTransportAddress(std::string_view answer,
                                                     std::size_t anchor);

// The endpoint id: after the 9 characters of "urn:uuid:" that follow the
// first "<wsa:Address>" after the anchor, up to "</wsa:Address>".
std::optional<std::string_view> ReadEndpointId(std::string_view answer,
                                               std::size_t anchor);

// True when model is "QLM-8800Z" ignoring ASCII case.
bool IsScannerModel(std::string_view model);

// "{" + id + "}", the form in which a device reports its UUID text.
std::string BracedEndpointId(std::string_view id);

// What one datagram says to the probe that sent message_id; the views point
// into the answer text.
struct ProbeMatch {
  std::string_view model;
  std::optional<std::string_view> address;
  std::optional<std::string_view> endpoint_id;
};

// nullopt when the datagram does not answer this probe (no anchor) or names
// no model.  Whether the model is ours is left to the caller.
std::optional<ProbeMatch> ParseProbeMatch(std::string_view answer,
                                          std::string_view message_id);

}  // namespace refloq::discovery
