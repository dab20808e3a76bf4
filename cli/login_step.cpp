#include "cli/login_step.h"

#include "cli/password_input.h"

namespace refloq::cli {

bool ReadPasswordLine(Context& context, std::string& bytes) {
  if (ReadPassword(context.io, bytes) == PasswordRead::kNoInput) {
    WipeSecret(bytes);
    context.report.Error("password", kNoPasswordMessage);
    return false;
  }
  return true;
}

bool ReadLoginPassword(Context& context, protocol::LoginPassword& password) {
  std::string line;
  if (!ReadPasswordLine(context, line)) return false;
  password = protocol::LoginPassword::Take(line);  // wipes `line`
  return true;
}

}  // namespace refloq::cli
