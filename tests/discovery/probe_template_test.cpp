// The stored Probe and the MessageID written into it.
#include "discovery/probe_template.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/resources.h"

namespace refloq::discovery {
namespace {

std::string AsText(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

TEST(ProbeTemplateTest, StoredTemplateIsTheProbe) {
  const std::string expected =
      "<soap:Envelope xmlns:soap=\"http://www.w3.org/2003/05/soap-envelope\" "
      "xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
      "xmlns:wsd=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\">"
      "<soap:Header>"
      "<wsa:To>urn:schemas-xmlsoap-org:ws:2005:04:discovery</wsa:To>"
      "<wsa:Action>http://schemas.xmlsoap.org/ws/2005/04/discovery/Probe"
      "</wsa:Action>"
      "<wsa:MessageID>urn:uuid:00000000-0000-0000-0000-000000000000"
      "</wsa:MessageID>"
      "</soap:Header><soap:Body><wsd:Probe><wsd:Types>wsdp:Device "
      "wscn:ScanDeviceType</wsd:Types></wsd:Probe></soap:Body>"
      "</soap:Envelope>\n";
  const std::string stored = AsText(StoredProbeTemplate());
  EXPECT_EQ(stored.size(), kProbeTemplateSize);
  EXPECT_EQ(stored, expected);
  EXPECT_EQ(stored.substr(kMessageIdOffset - 9, 9), "urn:uuid:");
  EXPECT_EQ(stored.substr(kMessageIdOffset + kMessageIdLength, 16),
            "</wsa:MessageID>");
}

TEST(ProbeTemplateTest, FillWritesOnlyTheMessageId) {
  const std::string id = "89ABCDEF-0123-4567-89AB-CDEF01234567";
  const auto stored = StoredProbeTemplate();
  const auto probe = FillProbe(stored, id);
  ASSERT_TRUE(probe);
  ASSERT_EQ(probe->size(), kProbeTemplateSize);
  std::string expected = AsText(stored);
  expected.replace(kMessageIdOffset, kMessageIdLength, id);
  EXPECT_EQ(AsText(*probe), expected);
}

TEST(ProbeTemplateTest, FillRefusesUnusableTemplates) {
  const std::string id = "89ABCDEF-0123-4567-89AB-CDEF01234567";
  const std::vector<std::uint8_t> empty;
  const std::vector<std::uint8_t> too_short(kMessageIdOffset + 35, 'x');
  const std::vector<std::uint8_t> just_enough(kMessageIdOffset + 36, 'x');
  const std::vector<std::uint8_t> too_long(kProbeBufferSize + 1, 'x');
  const std::vector<std::uint8_t> longest(kProbeBufferSize, 'x');
  EXPECT_FALSE(FillProbe(empty, id));
  EXPECT_FALSE(FillProbe(too_short, id));
  EXPECT_TRUE(FillProbe(just_enough, id));
  EXPECT_FALSE(FillProbe(too_long, id));
  EXPECT_TRUE(FillProbe(longest, id));
  EXPECT_FALSE(FillProbe(StoredProbeTemplate(), id.substr(1)));
}

TEST(ProbeTemplateTest, OverrideReplacesTheStoredTemplate) {
  {
    const platform::ScopedBinaryResource missing(
        platform::kProbeTemplateResourceId, {});
    EXPECT_TRUE(StoredProbeTemplate().empty());
  }
  EXPECT_EQ(StoredProbeTemplate().size(), kProbeTemplateSize);
}

}  // namespace
}  // namespace refloq::discovery
