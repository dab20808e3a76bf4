#pragma once
// The window's "↓" for the addresses of `refloq-cli update`: the USB
// scanner moves into the Update Table when it is ready or in recovery
// mode; a network scanner moves when its login with the one password is
// accepted.  Each address gets one text: "Ready", the recovery-mode text,
// or why it stays behind.
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/job_display.h"
#include "protocol/login_secret.h"

namespace refloq::cli {

// Returns the Update Table: the indices of the addresses moved, in order.
std::vector<int> MoveDown(Context& context, JobDisplay& display,
                          const std::vector<std::string>& addresses,
                          const protocol::LoginPassword& password);

}  // namespace refloq::cli
