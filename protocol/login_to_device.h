#pragma once
// The password login of a network scanner: readiness, the scanner's
// lock-out rule, one challenge-response exchange, and after a rejection the
// lock record and attempt id.  Only the scanner's verdict counts; nothing
// is stored and no password is compared here.
#include <string_view>

#include "protocol/login_records.h"
#include "protocol/login_result.h"
#include "protocol/login_secret.h"

namespace refloq::protocol {

// Runs the whole login and prints its console texts.  The password stays
// the caller's; every copy made here is wiped before returning.
LoginResult LoginToDevice(LoginContext& context, std::string_view address,
                          const LoginPassword& password);

// One challenge-response exchange: true only when the scanner's reply to
// the answer arrived and is not LOGIN_REJECTED.  False without further
// commands when the login mode is not 1; false when the answer could not be
// made or its exchange failed on the link.
bool TryLogin(LoginContext& context, std::string_view address,
              const LoginPassword& password);

}  // namespace refloq::protocol
