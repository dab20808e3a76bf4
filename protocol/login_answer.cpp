#include "protocol/login_answer.h"

#include <algorithm>

namespace refloq::protocol {
namespace {

constexpr std::size_t kNonceOffset = kChallengeValueSize;
constexpr std::size_t kHashOffset = kNonceOffset + kHexTextSize;
constexpr std::size_t kLineFeedOffset = kHashOffset + kHexTextSize;

}  // namespace

ChallengeValue ChallengeValueOf(std::span<const std::uint8_t> deciphered) {
  ChallengeValue value{};
  std::copy_n(deciphered.begin(), std::min(deciphered.size(), value.size()),
              value.begin());
  return value;
}

HexText LoginAnswerHash(const HexText& nonce, const ChallengeValue& challenge,
                        const LoginPassword& password) {
  std::array<std::uint8_t, 3 * kHexTextSize> input{};
  ScopedWipe wipe(input);  // holds the password hash
  auto out = std::copy(nonce.begin(), nonce.end(), input.begin());
  out = std::copy(challenge.begin(), challenge.end(), out);
  HexText password_hash = HexSha256(password.bytes());
  std::copy(password_hash.begin(), password_hash.end(), out);
  WipeBytes(password_hash);
  return HexSha256(input);
}

LoginAnswer BuildLoginAnswer(const ChallengeValue& challenge,
                             const HexText& nonce,
                             const LoginPassword& password) {
  const HexText hash = LoginAnswerHash(nonce, challenge, password);
  LoginAnswer answer{};
  std::copy(challenge.begin(), challenge.end(), answer.begin());
  std::copy(nonce.begin(), nonce.end(), answer.begin() + kNonceOffset);
  std::copy(hash.begin(), hash.end(), answer.begin() + kHashOffset);
  answer[kLineFeedOffset] = '\n';
  return answer;
}

bool CheckLoginAnswer(std::span<const std::uint8_t> deciphered,
                      const ChallengeValue& challenge,
                      const LoginPassword& password) {
  if (deciphered.size() != kLoginAnswerSize ||
      deciphered[kLineFeedOffset] != '\n' ||
      !std::equal(challenge.begin(), challenge.end(), deciphered.begin())) {
    return false;
  }
  HexText nonce{};
  std::copy_n(deciphered.begin() + kNonceOffset, nonce.size(), nonce.begin());
  const HexText expected = LoginAnswerHash(nonce, challenge, password);
  return std::equal(expected.begin(), expected.end(),
                    deciphered.begin() + kHashOffset);
}

}  // namespace refloq::protocol
