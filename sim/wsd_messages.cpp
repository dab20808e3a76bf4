#include "sim/wsd_messages.h"

namespace refloq::sim {

std::optional<std::string> ProbeMessageId(std::string_view datagram) {
  constexpr std::string_view kOpen = "<wsa:MessageID>urn:uuid:";
  constexpr std::string_view kClose = "</wsa:MessageID>";
  if (datagram.find("<wsd:Probe>") == std::string_view::npos) {
    return std::nullopt;
  }
  const std::size_t open = datagram.find(kOpen);
  if (open == std::string_view::npos) return std::nullopt;
  const std::size_t start = open + kOpen.size();
  const std::size_t close = datagram.find(kClose, start);
  if (close == std::string_view::npos) return std::nullopt;
  return std::string(datagram.substr(start, close - start));
}

std::string BuildProbeMatch(const ProbeMatchFields& f) {
  return "<soap:Envelope xmlns:soap=\"http://www.w3.org/2003/05/"
         "soap-envelope\" xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/"
         "addressing\" xmlns:wsd=\"http://schemas.xmlsoap.org/ws/2005/04/"
         "discovery\"><soap:Header><wsa:To>http://schemas.xmlsoap.org/ws/"
         "2004/08/addressing/role/anonymous</wsa:To><wsa:Action>"
         "http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches"
         "</wsa:Action><wsa:MessageID>urn:uuid:" +
         f.message_id +
         "</wsa:MessageID><wsa:RelatesTo>urn:uuid:" + f.relates_to +
         "</wsa:RelatesTo><wsd:AppSequence InstanceId=\"1\" "
         "MessageNumber=\"1\"/></soap:Header><soap:Body><wsd:ProbeMatches>"
         "<wsd:ProbeMatch><wsa:EndpointReference><wsa:Address>urn:uuid:" +
         f.endpoint +
         "</wsa:Address></wsa:EndpointReference><wsd:Types>wsdp:Device "
         "wscn:ScanDeviceType</wsd:Types><wsd:XAddrs>http://" +
         f.address + ":80/</wsd:XAddrs><ModuleName>" + f.model +
         "</ModuleName><wsd:MetadataVersion>1</wsd:MetadataVersion>"
         "</wsd:ProbeMatch></wsd:ProbeMatches></soap:Body></soap:Envelope>";
}

std::string_view Unbraced(std::string_view uuid_text) {
  if (uuid_text.size() >= 2 && uuid_text.front() == '{' &&
      uuid_text.back() == '}') {
    return uuid_text.substr(1, uuid_text.size() - 2);
  }
  return uuid_text;
}

}  // namespace refloq::sim
