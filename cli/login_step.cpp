#include "cli/login_step.h"

#include "cli/password_input.h"

namespace refloq::cli {

LoginOutcome DescribeLogin(protocol::LoginResult result) {
  switch (result) {
    case protocol::LOGIN_RESULT_OK:
      return {"ok", 113};  // "Ready"
    case protocol::LOGIN_RESULT_WRONG_PASSWORD:
      return {"wrong_password", 162};  // "Password is incorrect!"
    case protocol::LOGIN_RESULT_LOCKED_OUT:
      return {"locked_out", 163};  // "Failed to Login, account locked ..."
    case protocol::LOGIN_RESULT_USB:
      return {"usb", 161};  // "Firmware Update Unsuccessful\nIncorrect ..."
    case protocol::LOGIN_RESULT_NOT_READY:
    default:
      return {"not_ready", 161};
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
