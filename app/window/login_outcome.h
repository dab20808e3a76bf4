#pragma once
// How the window shows a login result in the row of the scanner.
#include "protocol/login_result.h"

namespace refloq::window {

struct LoginOutcome {
  const char* name;  // stable name for scripts: "ok", "wrong_password",
                     // "locked_out", "not_ready", "usb"
  int text_id;       // "Ready" when accepted, else the row's text
};

// A scanner that was not ready, or the USB address, did not judge the
// password: their texts say so rather than "Incorrect password", which
// would invite retyping it into a lock-out.
LoginOutcome DescribeLogin(protocol::LoginResult result);

}  // namespace refloq::window
