#include "platform/uuid.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace refloq::platform {
namespace {

TEST(Uuid, FormatsTheGuidFieldsInUpperCase) {
  Uuid id;
  id.Data1 = 0x0123ABCD;
  id.Data2 = 0x00EF;
  id.Data3 = 0xA0B1;
  const std::uint8_t tail[8] = {0x0C, 0xD2, 0xE3, 0xF4, 0x05, 0x16, 0x27, 0xFF};
  std::copy(tail, tail + 8, id.Data4);
  EXPECT_EQ(FormatUuid(id), "0123ABCD-00EF-A0B1-0CD2-E3F4051627FF");
  EXPECT_EQ(FormatUuid(Uuid{}), "00000000-0000-0000-0000-000000000000");
}

TEST(Uuid, CreatesFreshRandomVersion4Uuids) {
  const std::regex shape(
      "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    const std::string text = FormatUuid(CreateUuid());
    EXPECT_TRUE(std::regex_match(text, shape)) << text;
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 50u);
}

}  // namespace
}  // namespace refloq::platform
