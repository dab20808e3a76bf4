#include "link/link_messages.h"

#include <gtest/gtest.h>

#include "tests/link/link_fixture.h"

namespace refloq::link::testing {
namespace {

struct MessageCase {
  LinkMessageCode code;
  const char* english;
  const char* chinese;
};

class LinkMessage : public LinkTest,
                    public ::testing::WithParamInterface<MessageCase> {};

TEST_P(LinkMessage, PrintsTheTextOfTheLanguageAndOneMoreLineBreak) {
  const MessageCase& c = GetParam();
  for (const std::uint32_t lang : {0x0409u, 0x0804u, 0x0C04u, 0u}) {
    connection_.wLangId = lang;
    PrintLinkMessage(connection_, c.code);
  }
  connection_.wLangId = kTraditionalChineseLangId;
  PrintLinkMessage(connection_, c.code);
  const std::string english = std::string(c.english) + "\n";
  EXPECT_EQ(Console(),
            english + english + english + english + c.chinese + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, LinkMessage,
    ::testing::Values(MessageCase{LinkMessageCode::kGetDescriptorError,
                                  "Get device descriptor error!!\n",
                                  "獲取設備描述符的錯誤!!\n"},
                      MessageCase{LinkMessageCode::kUsbTimeout,
                                  "USB timeout error!!\n", "USB超時錯誤!!\n"},
                      MessageCase{LinkMessageCode::kOverlappedResultError,
                                  "Get USB overlapped result error!!\n",
                                  "獲取USB重疊結果錯誤!!\n"},
                      MessageCase{LinkMessageCode::kWriteError,
                                  "Write to USB error!!\n", "寫入USB錯誤!!\n"},
                      MessageCase{LinkMessageCode::kReadError,
                                  "Read from USB error!!\n", "讀取USB錯誤!!\n"},
                      MessageCase{
                          LinkMessageCode::kSizeMismatch,
                          "Request and return USB data size not matched!!\n",
                          "請求與並返回USB數據大小不匹配!!\n"}));

}  // namespace
}  // namespace refloq::link::testing
