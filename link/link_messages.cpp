#include "link/link_messages.h"

#include <string>

#include "platform/console.h"

namespace refloq::link {
namespace {

struct MessageText {
  LinkMessageCode code;
  const char* english;
  const char* chinese;
};

constexpr MessageText kMessages[] = {
    {LinkMessageCode::kGetDescriptorError, "Get device descriptor error!!\n",
     "獲取設備描述符的錯誤!!\n"},
    {LinkMessageCode::kUsbTimeout, "USB timeout error!!\n", "USB超時錯誤!!\n"},
    {LinkMessageCode::kOverlappedResultError,
     "Get USB overlapped result error!!\n", "獲取USB重疊結果錯誤!!\n"},
    {LinkMessageCode::kWriteError, "Write to USB error!!\n", "寫入USB錯誤!!\n"},
    {LinkMessageCode::kReadError, "Read from USB error!!\n", "讀取USB錯誤!!\n"},
    {LinkMessageCode::kSizeMismatch,
     "Request and return USB data size not matched!!\n",
     "請求與並返回USB數據大小不匹配!!\n"},
};

}  // namespace

void PrintLinkMessage(const DeviceConnection& connection,
                      LinkMessageCode code) {
  for (const MessageText& message : kMessages) {
    if (message.code != code) continue;
    // Each text ends in a line break and is printed with one more.
    std::string line = connection.wLangId == kTraditionalChineseLangId
                           ? message.chinese
                           : message.english;
    line += '\n';
    platform::WriteConsoleText(line);
    return;
  }
}

}  // namespace refloq::link
