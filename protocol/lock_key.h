#pragma once
// The 80-byte lock key of RS_LOCK_SCANNER and REFLOQ_UNLOCK_SCANNER: a
// fresh UUID formatted as 36 upper-case characters
// ("%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X"), as UTF-16LE
// (72 bytes), zero-padded to 80.  A job makes one key when it locks and
// sends the same bytes with every unlock.
#include <array>
#include <cstdint>
#include <string_view>

namespace refloq::protocol {

inline constexpr std::uint32_t kLockKeySize = 80;
using LockKey = std::array<std::uint8_t, kLockKeySize>;

// The key of a formatted UUID text (ASCII; only the first 40 characters fit).
LockKey MakeLockKey(std::string_view uuid_text);
// A key from a fresh UUID of the operating system.
LockKey NewLockKey();

}  // namespace refloq::protocol
