// Any bytes as a datagram answering a probe: read every part a search or a
// rediscovery reads.  The MessageID is either a fixed one or, when the
// input is long enough, its first 36 bytes, so the fuzzer can anchor.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "discovery/probe_match.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace refloq::discovery;
  std::string_view id = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";
  std::span<const std::uint8_t> datagram(data, size);
  if (size > 36 && data[0] == '#') {
    id = {reinterpret_cast<const char*>(data + 1), 35};
    datagram = datagram.subspan(36);
  }
  const std::string_view answer = AnswerText(datagram);
  if (const auto match = ParseProbeMatch(answer, id)) {
    (void)IsScannerModel(match->model);
    if (match->endpoint_id) (void)BracedEndpointId(*match->endpoint_id);
  }
  return 0;
}
