#pragma once
// The challenge and the answer of the login exchange.
//
// The scanner hands out a challenge: a salted text of up to 132 bytes,
// zero-padded, whose deciphered first 64 bytes are the challenge value.
// The answer is 193 bytes: the challenge value, a nonce text, the answer
// hash and a line feed, where
//   answer hash = hex SHA-256 of (nonce text, challenge value,
//                                 hex SHA-256 of the password).
// Enciphered, the answer is a 305-character salted text.
#include <array>
#include <cstdint>
#include <span>

#include "protocol/login_hex.h"
#include "protocol/login_secret.h"

namespace refloq::protocol {

inline constexpr std::size_t kLoginChallengeSize = 132;
inline constexpr std::size_t kChallengeValueSize = 64;
inline constexpr std::size_t kLoginAnswerSize = 193;
inline constexpr std::size_t kLoginAnswerTextSize = 305;

using LoginChallenge = std::array<std::uint8_t, kLoginChallengeSize>;
using ChallengeValue = std::array<std::uint8_t, kChallengeValueSize>;
using LoginAnswer = std::array<std::uint8_t, kLoginAnswerSize>;

// The first 64 deciphered bytes, zero-filled when fewer came out.
ChallengeValue ChallengeValueOf(std::span<const std::uint8_t> deciphered);

HexText LoginAnswerHash(const HexText& nonce, const ChallengeValue& challenge,
                        const LoginPassword& password);

LoginAnswer BuildLoginAnswer(const ChallengeValue& challenge,
                             const HexText& nonce,
                             const LoginPassword& password);

// The scanner's check of a deciphered answer: 193 bytes ending in a line
// feed, the same challenge value, and the answer hash its password gives.
bool CheckLoginAnswer(std::span<const std::uint8_t> deciphered,
                      const ChallengeValue& challenge,
                      const LoginPassword& password);

}  // namespace refloq::protocol
