#include "protocol/login_to_device.h"

#include <optional>
#include <string>

#include "platform/console.h"
#include "protocol/command_routines.h"
#include "protocol/login_answer.h"
#include "protocol/login_commands.h"
#include "protocol/login_hex.h"
#include "protocol/login_salted_text.h"

namespace refloq::protocol {
namespace {

constexpr std::string_view kUsbAddress = "USB";

}  // namespace

bool TryLogin(LoginContext& context, std::string_view address,
              const LoginPassword& password) {
  if (ReadLoginMode(address) != kLoginModePassword) return false;

  // A failed read leaves zeros, which decipher to nothing; the exchange
  // still runs and the scanner judges it.
  LoginChallenge challenge{};
  ReadLoginChallenge(address, challenge);
  const ChallengeValue value =
      ChallengeValueOf(DecryptSaltedText(challenge, password));

  const std::optional<HexText> nonce = MakeNonceText();
  if (!nonce) return false;
  LoginAnswer answer = BuildLoginAnswer(value, *nonce, password);
  ScopedWipe wipe(answer);
  std::string answer_text = EncryptSaltedText(answer, password);
  if (answer_text.empty()) return false;

  StatusReply reply{};
  const bool sent = SendLoginAnswer(context, address, answer_text, reply);
  // A reply that never arrived is no verdict: the login is not accepted.
  return sent && DecodeDeviceStatus(reply.data()).dwLastErr != LOGIN_REJECTED;
}

LoginResult LoginToDevice(LoginContext& context, std::string_view address,
                          const LoginPassword& password) {
  // A status query that fails before any byte arrives leaves zeros, which
  // pass: the login commands then decide.
  StatusReply status{};
  if (!ReadDeviceStatus(address, status)) {
    platform::WriteConsoleText(kGetDeviceStatusFailedText);
  }
  const sKestoDeviceStatus fields = DecodeDeviceStatus(status.data());
  if (fields.wFWInfo != SCANNER_STATUS_READY || fields.dwLastErr != 0) {
    return LOGIN_RESULT_NOT_READY;
  }
  if (address == kUsbAddress) return LOGIN_RESULT_USB;

  StatusExtReply ext{};
  if (!ReadDeviceStatusExt(address, ext)) {
    platform::WriteConsoleText(kGetDeviceStatusExtFailedText);
  }
  const sKestoDeviceStatusExt lockout = DecodeDeviceStatusExt(ext.data());
  if (lockout.bLoginLockout != 0 &&
      lockout.bLoginFailures >= lockout.bLoginAttemptLimit) {
    platform::WriteConsoleText(kLockedOutText);
    return LOGIN_RESULT_LOCKED_OUT;
  }

  if (TryLogin(context, address, password)) return LOGIN_RESULT_OK;

  if (!SetLockFunctionData(context, address, password)) {
    platform::WriteConsoleText(kSetLockFunctionFailedText);
  }
  platform::WriteConsoleText(kPasswordIncorrectText);
  return LOGIN_RESULT_WRONG_PASSWORD;
}

}  // namespace refloq::protocol
