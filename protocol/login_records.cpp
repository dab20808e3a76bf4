#include "protocol/login_records.h"

#include <algorithm>

#include "platform/uuid.h"

namespace refloq::protocol {
void NewAttemptId(LoginContext& context) {
  context.szAttemptId.fill(0);
  const std::string text = platform::FormatUuid(platform::CreateUuid());
  std::copy_n(text.begin(), std::min(text.size(), kAttemptIdSize),
              context.szAttemptId.begin());
}

std::string AttemptIdText(const AttemptId& id) {
  const auto end = std::find(id.begin(), id.end(), std::uint8_t{0});
  return std::string(id.begin(), end);
}

void FillLockRecord(const LoginContext& context, const LoginPassword& password,
                    LockRecord& record) {
  record.fill(0);
  std::copy(context.szAttemptId.begin(), context.szAttemptId.end(),
            record.begin());
  const auto pass = password.bytes();
  std::copy_n(pass.begin(), std::min(pass.size(), kLockRecordPasswordSize),
              record.begin() + kAttemptIdSize);
}

}  // namespace refloq::protocol
