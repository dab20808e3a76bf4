#pragma once
// The login's one-command routines.  Each opens a connection of its own to
// the address, runs one command, and closes the connection on every path
// (RunCommandOnce).  Data phases carry no trace (the context's trace path
// is empty and the trace switch is off).
#include <cstdint>
#include <string_view>

#include "protocol/device_status.h"
#include "protocol/login_answer.h"
#include "protocol/login_records.h"
#include "protocol/login_secret.h"

namespace refloq::protocol {

// The login mode the scanner reports (LOGIN_FUNCTION 1, 4 bytes
// little-endian); 0 when any phase failed.  Only mode 1 may log in.
inline constexpr std::uint32_t kLoginModePassword = 1;
std::uint32_t ReadLoginMode(std::string_view address);

// LOGIN_FUNCTION 2: the 132-byte challenge into the caller's zeroed buffer.
bool ReadLoginChallenge(std::string_view address, LoginChallenge& challenge);

// LOGIN_FUNCTION 3: the answer text out (dwLength its length), then the
// 32-byte reply into the caller's zeroed buffer.  True when every phase went
// through.
bool SendLoginAnswer(const LoginContext& context, std::string_view address,
                     std::string_view answer_text, StatusReply& reply);

// Makes a new attempt id, then LOCK_FUNCTION 9 with the lock record (the
// attempt id and the password's first 40 bytes); the reply into the
// caller's buffer.  True when every phase went through.
bool SendLockRecord(LoginContext& context, std::string_view address,
                    const LoginPassword& password, StatusReply& reply);

// LOCK_FUNCTION 2 with the context's 40-byte attempt id.
bool SendAttemptId(const LoginContext& context, std::string_view address);

// SendLockRecord, then SendAttemptId (its outcome not examined); true when
// the lock record's reply carries LOGIN_REJECTED, the scanner's
// acknowledgement of a failed login.
bool SetLockFunctionData(LoginContext& context, std::string_view address,
                         const LoginPassword& password);

}  // namespace refloq::protocol
