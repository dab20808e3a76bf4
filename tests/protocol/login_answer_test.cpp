#include "protocol/login_answer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "protocol/login_hex.h"

namespace refloq::protocol {
namespace {

std::string Text(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

HexText HexOf(std::string_view text) {
  HexText hex{};
  std::copy_n(text.begin(), std::min(text.size(), hex.size()), hex.begin());
  return hex;
}

TEST(HexSha256, KnownDigests) {
  EXPECT_EQ(Text(HexSha256({})),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Text(HexSha256(Bytes("abc"))),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(MakeNonceText, FreshLowerCaseHexEachTime) {
  const auto first = MakeNonceText();
  const auto second = MakeNonceText();
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  EXPECT_TRUE(std::all_of(first->begin(), first->end(), [](std::uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
  }));
}

class LoginAnswerTest : public ::testing::Test {
 protected:
  ChallengeValue challenge_ = ChallengeValueOf(Bytes(std::string(64, 'c')));
  HexText nonce_ = HexOf(std::string(64, 'n'));
};

TEST_F(LoginAnswerTest, LaysOutChallengeNonceHashAndLineFeed) {
  const LoginPassword password("secret");
  const LoginAnswer answer = BuildLoginAnswer(challenge_, nonce_, password);
  const std::string text = Text(answer);
  EXPECT_EQ(text.substr(0, 64), std::string(64, 'c'));
  EXPECT_EQ(text.substr(64, 64), std::string(64, 'n'));
  // hash = hex SHA-256 of nonce, challenge and hex SHA-256 of the password
  const std::string input = std::string(64, 'n') + std::string(64, 'c') +
                            Text(HexSha256(Bytes("secret")));
  EXPECT_EQ(text.substr(128, 64), Text(HexSha256(Bytes(input))));
  EXPECT_EQ(text[192], '\n');
}

TEST_F(LoginAnswerTest, EmptyPasswordHashesZeroBytes) {
  const LoginAnswer answer =
      BuildLoginAnswer(challenge_, nonce_, LoginPassword(""));
  const std::string input =
      std::string(64, 'n') + std::string(64, 'c') + Text(HexSha256({}));
  EXPECT_EQ(Text(answer).substr(128, 64), Text(HexSha256(Bytes(input))));
}

TEST_F(LoginAnswerTest, ScannerCheckAcceptsOnlyTheRightAnswer) {
  const LoginPassword password(std::string(50, 'x'));
  const LoginAnswer good = BuildLoginAnswer(challenge_, nonce_, password);
  EXPECT_TRUE(CheckLoginAnswer(good, challenge_, password));

  // The whole password counts, not only its first 40 bytes.
  const LoginPassword other(std::string(40, 'x') + std::string(10, 'y'));
  EXPECT_FALSE(CheckLoginAnswer(good, challenge_, other));

  ChallengeValue other_challenge = challenge_;
  other_challenge[5] = 'd';
  EXPECT_FALSE(CheckLoginAnswer(good, other_challenge, password));

  LoginAnswer no_line_feed = good;
  no_line_feed[192] = 0;
  EXPECT_FALSE(CheckLoginAnswer(no_line_feed, challenge_, password));

  EXPECT_FALSE(
      CheckLoginAnswer(std::span(good).first(192), challenge_, password));
  EXPECT_FALSE(CheckLoginAnswer({}, challenge_, password));
}

TEST(ChallengeValueOf, TakesFirst64BytesZeroFilled) {
  EXPECT_EQ(ChallengeValueOf({}), ChallengeValue{});
  const ChallengeValue short_value = ChallengeValueOf(Bytes("abc"));
  EXPECT_EQ(Text(short_value).substr(0, 4), std::string("abc\0", 4));
  EXPECT_EQ(Text(ChallengeValueOf(Bytes(std::string(70, 'z')))),
            std::string(64, 'z'));
}

}  // namespace
}  // namespace refloq::protocol
