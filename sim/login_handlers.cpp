#include "sim/login_handlers.h"

#include <algorithm>

#include "protocol/byte_order.h"
#include "protocol/login_hex.h"
#include "protocol/login_records.h"
#include "protocol/login_salted_text.h"

namespace refloq::sim {
namespace {

Response ReplyWithError(const ScannerState& state, std::uint32_t error) {
  protocol::sKestoDeviceStatus status = state.status;
  status.dwLastErr = error;
  const protocol::StatusReply reply = protocol::EncodeDeviceStatus(status);
  return {{reply.begin(), reply.end()}, {}};
}

Response LoginMode(const ScannerState& state) {
  std::vector<std::uint8_t> mode(4);
  protocol::StoreLe32(mode.data(), state.login.login_mode);
  return {{}, mode};
}

Response Challenge(ScannerState& state) {
  // Without a password there is nothing to encipher: the challenge is
  // zeros, and every answer passes.
  if (!state.login.password) return {};
  const auto value = protocol::MakeNonceText();  // 64 fresh hex characters
  if (!value) return ReplyWithError(state, kErrUnknownCommand);
  state.login.challenge = protocol::ChallengeValueOf(*value);
  const protocol::LoginPassword password(*state.login.password);
  const std::string text = protocol::EncryptSaltedText(*value, password);
  return {{}, {text.begin(), text.end()}};
}

Response Answer(ScannerState& state, const Request& request) {
  LoginState& login = state.login;
  protocol::sKestoDeviceStatusExt& rule = state.status_ext;
  const std::optional<protocol::ChallengeValue> challenge = login.challenge;
  login.challenge.reset();

  bool accepted = !login.password.has_value();
  if (!accepted && challenge &&
      !(rule.bLoginLockout != 0 &&
        rule.bLoginFailures >= rule.bLoginAttemptLimit)) {
    const protocol::LoginPassword password(*login.password);
    accepted = protocol::CheckLoginAnswer(
        protocol::DecryptSaltedText(request.data, password), *challenge,
        password);
  }
  if (accepted) {
    ++login.accepted_logins;
    rule.bLoginFailures = 0;
    return {};
  }
  ++login.rejected_logins;
  if (rule.bLoginFailures < 0xFF) ++rule.bLoginFailures;
  return ReplyWithError(state, protocol::LOGIN_REJECTED);
}

}  // namespace

Response LoginFunction(ScannerState& state, const Request& request) {
  switch (request.block.wParameter) {
    case 1:
      return LoginMode(state);
    case 2:
      return Challenge(state);
    case 3:
      return Answer(state, request);
    default:
      return ReplyWithError(state, kErrUnknownCommand);
  }
}

Response ReceiveLockRecord(ScannerState& state, const Request& request) {
  LoginState& login = state.login;
  login.lock_records.emplace_back(request.data.begin(), request.data.end());
  if (!login.password) return {};
  // The record's password part against the scanner's, both cut or padded
  // to the record's 40 bytes.
  std::array<std::uint8_t, protocol::kLockRecordPasswordSize> sent{};
  std::array<std::uint8_t, protocol::kLockRecordPasswordSize> own{};
  if (request.data.size() > protocol::kAttemptIdSize) {
    const auto part = request.data.subspan(protocol::kAttemptIdSize);
    std::copy_n(part.begin(), std::min(part.size(), sent.size()), sent.begin());
  }
  std::copy_n(login.password->begin(),
              std::min(login.password->size(), own.size()), own.begin());
  return sent == own ? Response{}
                     : ReplyWithError(state, protocol::LOGIN_REJECTED);
}

Response ReceiveAttemptId(ScannerState& state, const Request& request) {
  state.login.attempt_ids.emplace_back(request.data.begin(),
                                       request.data.end());
  return {};
}

}  // namespace refloq::sim
