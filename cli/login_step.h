#pragma once
// The login of network scanners as the window's "↓" runs it: one password
// for every address, read once from standard input, and the window's text
// for each login result.
#include <string>

#include "cli/command.h"
#include "protocol/login_result.h"
#include "protocol/login_secret.h"

namespace refloq::cli {

// How a login result is shown: its stable JSON name and the window's text
// ("Ready" when accepted, else what the Device Table row shows).
struct LoginOutcome {
  const char* name;
  int text_id;
};
LoginOutcome DescribeLogin(protocol::LoginResult result);

// Reads the password from the first line of standard input into
// `password` (the line read is wiped).  False, with the error reported,
// when there is no input to read: the caller exits with kExitUsage.
bool ReadLoginPassword(Context& context, protocol::LoginPassword& password);

}  // namespace refloq::cli
