// The ProbeMatch reader: a table of answers, then truncated and garbage
// datagrams that must never lead the reader outside the received bytes.
#include "discovery/probe_match.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace refloq::discovery {
namespace {

constexpr std::string_view kProbeId = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";

struct Fields {
  std::string relates_to = std::string(kProbeId);
  std::string model = "<ModuleName>QLM-8800Z</ModuleName>";
  std::string xaddrs = "<wsd:XAddrs>http://192.168.0.20:80/</wsd:XAddrs>";
  std::string endpoint =
      "<wsa:Address>urn:uuid:1234ABCD-0000-0000-0000-000000000001"
      "</wsa:Address>";
};

// A ProbeMatch as a scanner sends it, with the parts a case varies.
std::string Answer(const Fields& f) {
  return "<soap:Envelope xmlns:soap=\"http://www.w3.org/2003/05/"
         "soap-envelope\" xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/"
         "addressing\" xmlns:wsd=\"http://schemas.xmlsoap.org/ws/2005/04/"
         "discovery\"><soap:Header><wsa:Action>http://schemas.xmlsoap.org/ws/"
         "2005/04/discovery/ProbeMatches</wsa:Action><wsa:MessageID>urn:uuid:"
         "9A8B7C6D-0000-4000-8000-00000000AA01</wsa:MessageID>"
         "<wsa:RelatesTo>urn:uuid:" +
         f.relates_to +
         "</wsa:RelatesTo></soap:Header><soap:Body><wsd:ProbeMatches>"
         "<wsd:ProbeMatch><wsa:EndpointReference>" +
         f.endpoint +
         "</wsa:EndpointReference><wsd:Types>wsdp:Device wscn:ScanDeviceType"
         "</wsd:Types>" +
         f.xaddrs + f.model +
         "<wsd:MetadataVersion>1</wsd:MetadataVersion></wsd:ProbeMatch>"
         "</wsd:ProbeMatches></soap:Body></soap:Envelope>";
}

Fields With(std::string Fields::*field, std::string value) {
  Fields f;
  f.*field = std::move(value);
  return f;
}

struct Case {
  const char* name;
  std::string answer;
  bool answers_probe;  // anchor and model text found
  bool our_model;
  std::optional<std::string> address;
  std::optional<std::string> endpoint;
};

const std::optional<std::string> kNone;
const std::string kEndpoint = "1234ABCD-0000-0000-0000-000000000001";

std::vector<Case> Cases() {
  using F = Fields;
  return {
      {"plain", Answer({}), true, true, "192.168.0.20", kEndpoint},
      {"model in lower case",
       Answer(With(&F::model, "<ModuleName>qlm-8800z</ModuleName>")), true,
       true, "192.168.0.20", kEndpoint},
      {"another model",
       Answer(With(&F::model, "<ModuleName>QLM-8800</ModuleName>")), true,
       false, "192.168.0.20", kEndpoint},
      {"model with a suffix",
       Answer(With(&F::model, "<ModuleName>QLM-8800Z2</ModuleName>")), true,
       false, "192.168.0.20", kEndpoint},
      {"answers another probe",
       Answer(With(&F::relates_to, "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F1")),
       false, false, kNone, kNone},
      {"MessageID at position 0", std::string(kProbeId) + Answer({}), false,
       false, kNone, kNone},
      {"no ModuleName", Answer(With(&F::model, "")), false, false, kNone,
       kNone},
      {"ModuleName not closed",
       Answer(With(&F::model, "<ModuleName>QLM-8800Z")), false, false, kNone,
       kNone},
      {"ModuleName closed before it opens",
       Answer(With(&F::model, "</ModuleName>QLM-8800Z<ModuleName>")), false,
       false, kNone, kNone},
      {"address from another port",
       Answer(
           With(&F::xaddrs, "<wsd:XAddrs>http://10.1.2.3:5357/</wsd:XAddrs>")),
       true, true, "10.1.2.3", kEndpoint},
      {"no XAddrs", Answer(With(&F::xaddrs, "")), true, true, kNone, kEndpoint},
      {"XAddrs without the final slash",
       Answer(
           With(&F::xaddrs, "<wsd:XAddrs>http://192.168.0.20:80</wsd:XAddrs>")),
       true, true, kNone, kEndpoint},
      {"XAddrs without a port",
       Answer(
           With(&F::xaddrs, "<wsd:XAddrs>http://192.168.0.20/</wsd:XAddrs>")),
       true, true, kNone, kEndpoint},
      {"XAddrs shorter than the scheme",
       Answer(With(&F::xaddrs, "<wsd:XAddrs>http/</wsd:XAddrs>")), true, true,
       kNone, kEndpoint},
      {"XAddrs with an empty host",
       Answer(With(&F::xaddrs, "<wsd:XAddrs>http://:80/</wsd:XAddrs>")), true,
       true, "", kEndpoint},
      {"XAddrs only before the anchor",
       "<wsd:XAddrs>http://10.0.0.9:80/</wsd:XAddrs>" +
           Answer(With(&F::xaddrs, "")),
       true, true, kNone, kEndpoint},
      {"no endpoint", Answer(With(&F::endpoint, "")), true, true,
       "192.168.0.20", kNone},
      {"endpoint shorter than its prefix",
       Answer(With(&F::endpoint, "<wsa:Address>urn:</wsa:Address>")), true,
       true, "192.168.0.20", kNone},
      {"endpoint with an empty id",
       Answer(With(&F::endpoint, "<wsa:Address>urn:uuid:</wsa:Address>")), true,
       true, "192.168.0.20", ""},
  };
}

TEST(ProbeMatchTest, ReadsTheTable) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    const auto match = ParseProbeMatch(c.answer, kProbeId);
    ASSERT_EQ(match.has_value(), c.answers_probe);
    if (!match) continue;
    EXPECT_EQ(IsScannerModel(match->model), c.our_model);
    EXPECT_EQ(match->address.has_value(), c.address.has_value());
    if (match->address && c.address) {
      EXPECT_EQ(*match->address, *c.address);
    }
    EXPECT_EQ(match->endpoint_id.has_value(), c.endpoint.has_value());
    if (match->endpoint_id && c.endpoint) {
      EXPECT_EQ(*match->endpoint_id, *c.endpoint);
    }
  }
}

TEST(ProbeMatchTest, AnswerTextEndsAtTheFirstZeroByte) {
  std::string answer = Answer({});
  const std::size_t cut = answer.find(kProbeId) - 3;
  answer[cut] = '\0';
  const std::vector<std::uint8_t> datagram(answer.begin(), answer.end());
  const std::string_view text = AnswerText(datagram);
  EXPECT_EQ(text.size(), cut);
  EXPECT_FALSE(ParseProbeMatch(text, kProbeId));

  const std::vector<std::uint8_t> no_zero = {'a', 'b', 'c'};
  EXPECT_EQ(AnswerText(no_zero), "abc");
  EXPECT_EQ(AnswerText({}), "");
}

TEST(ProbeMatchTest, BracedIdMatchesOnlyItsExactText) {
  const std::string wanted = "{1234ABCD-0000-0000-0000-000000000001}";
  EXPECT_EQ(BracedEndpointId(kEndpoint), wanted);
  EXPECT_NE(BracedEndpointId("1234abcd-0000-0000-0000-000000000001"), wanted);
  EXPECT_NE(std::string(kEndpoint), wanted);
}

// Every view the reader returns lies inside the answer it was given.
void ExpectInside(std::string_view answer, std::string_view part) {
  EXPECT_GE(part.data(), answer.data());
  EXPECT_LE(part.data() + part.size(), answer.data() + answer.size());
}

// Reads one datagram held in a heap block of exactly its size, so that
// AddressSanitizer reports any read past the received bytes.
void ReadExactly(const std::string& bytes) {
  const std::vector<std::uint8_t> datagram(bytes.begin(), bytes.end());
  const std::string_view answer = AnswerText(datagram);
  const auto match = ParseProbeMatch(answer, kProbeId);
  if (!match) return;
  IsScannerModel(match->model);
  ExpectInside(answer, match->model);
  if (match->address) ExpectInside(answer, *match->address);
  if (match->endpoint_id) ExpectInside(answer, *match->endpoint_id);
}

TEST(ProbeMatchTest, TruncatedAnswersStayInsideTheirBytes) {
  const std::string whole = Answer({});
  for (std::size_t length = 0; length <= whole.size(); ++length) {
    ReadExactly(whole.substr(0, length));
    ReadExactly(whole.substr(whole.size() - length));
  }
}

TEST(ProbeMatchTest, GarbageStaysInsideItsBytes) {
  // Fragments of real answers make the garbage reach deep into the reader.
  const std::vector<std::string> pieces = {std::string(kProbeId),
                                           "<ModuleName>",
                                           "</ModuleName>",
                                           "QLM-8800Z",
                                           "<wsd:XAddrs>",
                                           "/</wsd:XAddrs>",
                                           "http://",
                                           ":",
                                           "<wsa:Address>",
                                           "</wsa:Address>",
                                           "urn:uuid:",
                                           "1",
                                           "",
                                           std::string(1, '\0')};
  std::mt19937 random(8);
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  std::uniform_int_distribution<int> count(0, 24);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 4000; ++round) {
    std::string bytes;
    for (int i = count(random); i > 0; --i) {
      bytes += pieces[piece(random)];
      if (byte(random) < 64) bytes += static_cast<char>(byte(random));
    }
    ReadExactly(bytes);
  }
  const std::string whole = Answer({});
  std::uniform_int_distribution<std::size_t> position(0, whole.size() - 1);
  for (int round = 0; round < 4000; ++round) {
    std::string bytes = whole;
    for (int flips = 1 + count(random) % 4; flips > 0; --flips) {
      bytes[position(random)] = static_cast<char>(byte(random));
    }
    ReadExactly(bytes.substr(0, position(random)));
  }
}

}  // namespace
}  // namespace refloq::discovery
