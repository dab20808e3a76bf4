#include "platform/utf16.h"

#include <gtest/gtest.h>

namespace refloq::platform {
namespace {

TEST(Utf16, RoundTripsTextOfEveryLength) {
  const std::string texts[] = {"", "USB", "ÄÖü", "USB超時錯誤!!\n",
                               "\xF0\x9F\x93\xA0 fax"};
  for (const std::string& text : texts) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text) << text;
  }
  EXPECT_EQ(Utf8ToUtf16("超"), u"超");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x93\xA0"), u"\xD83D\xDCE0");
}

TEST(Utf16, MalformedInputBecomesReplacementCharacters) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"a\x80z", u"a\xFFFDz"},                  // stray continuation byte
      {"\xE8\xB6", u"\xFFFD\xFFFD"},            // truncated at the end
      {"\xC0\xAF", u"\xFFFD\xFFFD"},            // overlong "/"
      {"\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},  // encoded surrogate
      {"\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"},  // past U+10FFFF
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // lone surrogate
}

}  // namespace
}  // namespace refloq::platform
