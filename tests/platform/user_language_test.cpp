#include "platform/user_language.h"

#include <gtest/gtest.h>

namespace refloq::platform {
namespace {

TEST(LangIdFromLocaleName, MapsLocalesToWindowsIds) {
  const struct {
    const char* locale;
    std::uint16_t id;
  } cases[] = {
      {"de_DE.UTF-8", 0x0407},
      {"zh_TW.UTF-8", 0x0404},
      {"zh_CN", 0x0804},
      {"sr_RS.UTF-8@latin", 0x241A},
      {"fr", 0x040C},
      {"de_AT.UTF-8", 0x0407},
      {"C", 0x0409},
      {"POSIX", 0x0409},
      {"", 0x0409},
      {"xx_YY", 0x0409},
      {"en_GB.ISO-8859-1", 0x0809},
      {"es_CL", 0x340A},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LangIdFromLocaleName(c.locale), c.id) << c.locale;
  }
}

}  // namespace
}  // namespace refloq::platform
