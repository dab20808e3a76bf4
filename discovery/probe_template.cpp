#include "discovery/probe_template.h"

#include <algorithm>

#include "platform/resources.h"

namespace refloq::discovery {

std::span<const std::uint8_t> StoredProbeTemplate() {
  return platform::FindBinaryResource(platform::kProbeTemplateResourceId);
}

std::optional<std::vector<std::uint8_t>> FillProbe(
    std::span<const std::uint8_t> probe_template, std::string_view message_id) {
  if (probe_template.size() < kMessageIdOffset + kMessageIdLength ||
      probe_template.size() > kProbeBufferSize ||
      message_id.size() != kMessageIdLength) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> probe(probe_template.begin(), probe_template.end());
  std::copy(message_id.begin(), message_id.end(),
            probe.begin() + kMessageIdOffset);
  return probe;
}

}  // namespace refloq::discovery
