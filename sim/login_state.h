#pragma once
// What a simulated scanner keeps for the login: its password, the login
// mode it reports, the challenge it handed out, and what it received.  The
// lock-out rule and the failure count are the extended status fields
// (ScannerState::status_ext: bLoginAttemptLimit, bLoginFailures,
// bLoginLockout), which the login side keeps current.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/login_answer.h"

namespace refloq::sim {

struct LoginState {
  // The scanner's password; without one every answer is accepted.
  std::optional<std::string> password;
  // What LOGIN_FUNCTION 1 reports; only 1 lets a login proceed.
  std::uint32_t login_mode = 1;
  // The challenge value handed out last; the next answer uses it up.
  std::optional<protocol::ChallengeValue> challenge;
  std::uint32_t accepted_logins = 0;
  std::uint32_t rejected_logins = 0;
  // LOCK_FUNCTION 9 and 2 data, in the order they arrived.
  std::vector<std::vector<std::uint8_t>> lock_records;
  std::vector<std::vector<std::uint8_t>> attempt_ids;
};

}  // namespace refloq::sim
