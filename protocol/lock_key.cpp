#include "protocol/lock_key.h"

#include "platform/uuid.h"

namespace refloq::protocol {

LockKey MakeLockKey(std::string_view uuid_text) {
  // UTF-16LE of ASCII text: each character, then a zero byte.
  LockKey key{};
  for (std::size_t i = 0; i < uuid_text.size() && 2 * i + 1 < key.size(); ++i) {
    key[2 * i] = static_cast<std::uint8_t>(uuid_text[i]);
  }
  return key;
}

LockKey NewLockKey() {
  return MakeLockKey(platform::FormatUuid(platform::CreateUuid()));
}

}  // namespace refloq::protocol
