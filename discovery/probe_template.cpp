#include "discovery/probe_template.h"

#include <algorithm>
#include <atomic>

#include "discovery/probe_template_blob.h"

namespace refloq::discovery {
namespace {

std::atomic<const std::vector<std::uint8_t>*> g_override{nullptr};

}  // namespace

std::span<const std::uint8_t> StoredProbeTemplate() {
  if (const auto* bytes = g_override.load()) return *bytes;
  return ProbeTemplateBlob();
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

ScopedProbeTemplateForTesting::ScopedProbeTemplateForTesting(
    std::vector<std::uint8_t> bytes)
    : bytes_(std::move(bytes)) {
  g_override.store(&bytes_);
}

ScopedProbeTemplateForTesting::~ScopedProbeTemplateForTesting() {
  g_override.store(nullptr);
}

}  // namespace refloq::discovery
