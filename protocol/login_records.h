#pragma once
// The fixed records of the login: its context (the attempt id) and the
// 80-byte lock record.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/login_secret.h"

namespace refloq::protocol {

inline constexpr std::size_t kAttemptIdSize = 40;
inline constexpr std::size_t kLockRecordSize = 80;
inline constexpr std::size_t kLockRecordPasswordSize = 40;

// Reply code of the login and lock-function replies (`dwLastErr`).
inline constexpr std::uint32_t LOGIN_REJECTED = 0x0000800B;

using AttemptId = std::array<std::uint8_t, kAttemptIdSize>;
using LockRecord = std::array<std::uint8_t, kLockRecordSize>;

// One per down-arrow action, shared by the login steps.
struct LoginContext {
  std::string strTracePath;  // trace path of the data phases; empty
  AttemptId szAttemptId{};   // UUID text, zero-padded to 40 bytes
};

// Clears the attempt id and writes a fresh UUID text into it.
void NewAttemptId(LoginContext& context);
// The attempt id as text (up to its first zero byte).
std::string AttemptIdText(const AttemptId& id);

// The attempt id, then the password's first 40 bytes, zero-padded.  The
// record holds the password: wipe it after use.
void FillLockRecord(const LoginContext& context, const LoginPassword& password,
                    LockRecord& record);

}  // namespace refloq::protocol
