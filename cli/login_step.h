#pragma once
// The login password of the commands: one for every address, read once
// from standard input.
#include <string>

#include "cli/command.h"
#include "protocol/login_secret.h"

namespace refloq::cli {

// Reads the password from the first line of standard input into
// `password` (the line read is wiped).  False, with the error reported,
// when there is no input to read: the caller exits with kExitUsage.
bool ReadLoginPassword(Context& context, protocol::LoginPassword& password);
// The same into `bytes`, the caller wiping them (WipeSecret).
bool ReadPasswordLine(Context& context, std::string& bytes);

}  // namespace refloq::cli
