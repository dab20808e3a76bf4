#include "discovery/probe_match.h"

#include <algorithm>

namespace refloq::discovery {
namespace {

constexpr std::size_t kSchemePrefixLength = 7;  // "http://"
constexpr std::size_t kUrnPrefixLength = 9;     // "urn:uuid:"

// The text from `skip` characters after the first `open` at or after `from`
// up to the first `close` after `open`; nullopt when either is missing or
// the skip runs past the close.
std::optional<std::string_view> Element(std::string_view text, std::size_t from,
                                        std::string_view open,
                                        std::string_view close,
                                        std::size_t skip) {
  if (from > text.size()) return std::nullopt;
  const std::size_t open_at = text.find(open, from);
  if (open_at == std::string_view::npos) return std::nullopt;
  const std::size_t inner = open_at + open.size();
  const std::size_t close_at = text.find(close, inner);
  if (close_at == std::string_view::npos) return std::nullopt;
  if (close_at - inner < skip) return std::nullopt;
  return text.substr(inner + skip, close_at - inner - skip);
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string_view AnswerText(std::span<const std::uint8_t> datagram) {
  const auto end = std::find(datagram.begin(), datagram.end(), 0);
  const auto length = static_cast<std::size_t>(end - datagram.begin());
  return {reinterpret_cast<const char*>(datagram.data()), length};
}

std::optional<std::size_t> FindAnchor(std::string_view answer,
                                      std::string_view message_id) {
  if (message_id.empty()) return std::nullopt;
  const std::size_t at = answer.find(message_id);
  if (at == std::string_view::npos || at == 0) return std::nullopt;
  return at;
}

std::optional<std::string_view> ReadModelText(std::string_view answer,
                                              std::size_t anchor) {
  return Element(answer, anchor, "<ModuleName>", "</ModuleName>", 0);
}

std::optional<std::string_view> ReadTransportAddress(std::string_view answer,
                                                     std::size_t anchor) {
  const auto addresses = Element(answer, anchor, "<wsd:XAddrs>",
                                 "/</wsd:XAddrs>", kSchemePrefixLength);
  if (!addresses) return std::nullopt;
  const std::size_t colon = addresses->find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  return addresses->substr(0, colon);
}

std::optional<std::string_view> ReadEndpointId(std::string_view answer,
                                               std::size_t anchor) {
  return Element(answer, anchor, "<wsa:Address>", "</wsa:Address>",
                 kUrnPrefixLength);
}

bool IsScannerModel(std::string_view model) {
  return std::ranges::equal(model, kScannerModel, [](char a, char b) {
    return LowerAscii(a) == LowerAscii(b);
  });
}

std::string BracedEndpointId(std::string_view id) {
  std::string braced;
  braced.reserve(id.size() + 2);
  braced += '{';
  braced += id;
  braced += '}';
  return braced;
}

std::optional<ProbeMatch> ParseProbeMatch(std::string_view answer,
                                          std::string_view message_id) {
  const auto anchor = FindAnchor(answer, message_id);
  if (!anchor) return std::nullopt;
  const auto model = ReadModelText(answer, *anchor);
  if (!model) return std::nullopt;
  return ProbeMatch{*model, ReadTransportAddress(answer, *anchor),
                    ReadEndpointId(answer, *anchor)};
}

}  // namespace refloq::discovery
