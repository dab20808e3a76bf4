#pragma once
// The WS-Discovery Probe a search multicasts: the stored template (resource
// BINARY 136, discovery/probe_template.xml) with the probe's own MessageID
// written over the UUID text it carries.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace refloq::discovery {

inline constexpr std::size_t kProbeTemplateSize = 548;
inline constexpr std::size_t kMessageIdOffset = 365;
inline constexpr std::size_t kMessageIdLength = 36;
// The template is handled in a buffer of this size; a longer one is refused.
inline constexpr std::size_t kProbeBufferSize = 1000;

// The stored template (BINARY 136); empty when the resource is missing or
// empty.  Tests put another in place with platform::ScopedBinaryResource.
std::span<const std::uint8_t> StoredProbeTemplate();

// The datagram to send: the template with message_id over bytes 365 to 400.
// nullopt when the template is empty, longer than 1000 bytes or too short
// to hold the MessageID, or message_id is not 36 characters.
std::optional<std::vector<std::uint8_t>> FillProbe(
    std::span<const std::uint8_t> probe_template, std::string_view message_id);

}  // namespace refloq::discovery
