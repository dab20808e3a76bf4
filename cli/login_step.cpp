#include "cli/login_step.h"

#include "cli/password_input.h"
#include "texts/string_ids.h"

namespace refloq::cli {

LoginOutcome DescribeLogin(protocol::LoginResult result) {
  switch (result) {
    case protocol::LOGIN_RESULT_OK:
      return {"ok", texts::kTextReady};
    case protocol::LOGIN_RESULT_WRONG_PASSWORD:
      return {"wrong_password", texts::kTextPasswordIncorrect};
    case protocol::LOGIN_RESULT_LOCKED_OUT:
      return {"locked_out", texts::kTextLockedOut};
    case protocol::LOGIN_RESULT_USB:
      return {"usb", texts::kTextLoginRefused};
    case protocol::LOGIN_RESULT_NOT_READY:
    default:
      return {"not_ready", texts::kTextLoginRefused};
  }
}

bool ReadLoginPassword(Context& context, protocol::LoginPassword& password) {
  std::string line;
  if (ReadPassword(context.io, line) == PasswordRead::kNoInput) {
    WipeSecret(line);
    context.report.Error("password", kNoPasswordMessage);
    return false;
  }
  password = protocol::LoginPassword::Take(line);  // wipes `line`
  return true;
}

}  // namespace refloq::cli
