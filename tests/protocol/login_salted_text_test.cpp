#include "protocol/login_salted_text.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "protocol/login_answer.h"

namespace refloq::protocol {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
  }
  return bytes;
}

// Splits a text into its lines, each still ending in its line feed.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end + 1 - start));
    start = end + 1;
  }
  return lines;
}

const std::string kLongPassword(45, 'p');  // longer than the lock record's 40

struct RoundTripCase {
  std::string password;
  std::size_t plaintext_size;
};

class SaltedTextRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(SaltedTextRoundTrip, DeciphersWhatItEnciphered) {
  const LoginPassword password(GetParam().password);
  const auto plain = Pattern(GetParam().plaintext_size);
  const std::string text = EncryptSaltedText(plain, password);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(DecryptSaltedText(Bytes(text), password), plain);
}

INSTANTIATE_TEST_SUITE_P(
    PasswordsAndSizes, SaltedTextRoundTrip,
    ::testing::Values(RoundTripCase{"", 64}, RoundTripCase{"secret", 1},
                      RoundTripCase{"secret", 64},
                      RoundTripCase{"secret", kLoginAnswerSize},
                      RoundTripCase{kLongPassword, kLoginAnswerSize},
                      RoundTripCase{"p\xC3\xA4ss w\xC3\xB6rd", 48}));

TEST(SaltedText, AnswerTextIsFourFullLinesAndOneOf44) {
  const LoginPassword password("secret");
  const std::string text =
      EncryptSaltedText(Pattern(kLoginAnswerSize), password);
  EXPECT_EQ(text.size(), kLoginAnswerTextSize);
  const auto lines = Lines(text);
  ASSERT_EQ(lines.size(), 5u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(lines[i].size(), 65u) << i;
  EXPECT_EQ(lines[4].size(), 45u);
  for (const auto& line : lines) EXPECT_EQ(line.back(), '\n');
}

TEST(SaltedText, BinaryStartsWithHeaderAndSalt) {
  const LoginPassword password("secret");
  const std::array<std::uint8_t, kSaltSize> salt{1, 2, 3, 4, 5, 6, 7, 8};
  const std::string text =
      EncryptSaltedTextWithSalt(Pattern(20), password, salt);
  std::vector<std::uint8_t> binary(text.size());
  const int n = EVP_DecodeBlock(
      binary.data(), reinterpret_cast<const unsigned char*>(text.data()),
      static_cast<int>(text.find('\n')));
  ASSERT_GE(n, 48);
  EXPECT_EQ(std::string(binary.begin(), binary.begin() + 8), "Salted__");
  EXPECT_TRUE(std::equal(salt.begin(), salt.end(), binary.begin() + 8));
}

TEST(SaltedText, FreshSaltEachTime) {
  const LoginPassword password("secret");
  EXPECT_NE(EncryptSaltedText(Pattern(64), password),
            EncryptSaltedText(Pattern(64), password));
}

TEST(SaltedText, ZeroPaddedChallengeDeciphersLikeTheBareText) {
  const LoginPassword password("secret");
  const std::string text = EncryptSaltedText(Pattern(64), password);
  ASSERT_LE(text.size(), kLoginChallengeSize);
  LoginChallenge padded{};
  std::copy(text.begin(), text.end(), padded.begin());
  EXPECT_EQ(DecryptSaltedText(padded, password), Pattern(64));
  EXPECT_EQ(DecryptSaltedText(padded, password),
            DecryptSaltedText(Bytes(text), password));
}

TEST(SaltedText, WrongPasswordGivesOtherBytesNotAnError) {
  const std::string text =
      EncryptSaltedText(Pattern(64), LoginPassword("secret"));
  const auto plain = DecryptSaltedText(Bytes(text), LoginPassword("Secret"));
  // The padding check of the noise almost always fails (the last block is
  // then held back); either way the bytes are not the plaintext.
  ASSERT_GE(plain.size(), 64u);
  EXPECT_LE(plain.size(), 80u);
  EXPECT_FALSE(
      std::equal(plain.begin(), plain.begin() + 64, Pattern(64).begin()));
}

TEST(SaltedText, MalformedInputYieldsNoBytes) {
  const LoginPassword password("secret");
  const std::vector<std::vector<std::uint8_t>> inputs = {
      {},
      std::vector<std::uint8_t>(kLoginChallengeSize, 0),  // failed read
      Bytes("U2FsdGVkX18="),                              // header only
      Bytes("U2FsdGVkX18BAgMEBQYHCA==\n"),                // no cipher block
      Bytes("\x01\x02 not base64 at all"),
  };
  for (const auto& input : inputs) {
    EXPECT_TRUE(DecryptSaltedText(input, password).empty())
        << std::string(input.begin(), input.end());
  }
}

#ifndef _WIN32
// The command-line tool of the same library, as an outside reference.
class OpensslCommand : public ::testing::TestWithParam<std::string> {
 protected:
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void Write(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // Runs `openssl enc` with the password in a file; true on exit code 0.
  bool Enc(const std::string& mode, const std::string& in,
           const std::string& out) {
    const std::string command =
        "openssl enc -aes-256-cbc -pbkdf2 -iter 10000 -md sha256 -a " + mode +
        " -pass file:" + pass_ + " -in " + in + " -out " + out + " 2>/dev/null";
    return std::system(command.c_str()) == 0;
  }
  void SetUp() override {
    if (std::system("openssl version >/dev/null 2>&1") != 0) {
      GTEST_SKIP() << "openssl command not installed";
    }
    dir_ = ::testing::TempDir();
    pass_ = dir_ + "login_pass.txt";
    Write(pass_, GetParam() + "\n");
  }
  void TearDown() override {
    for (const char* name : {"login_pass.txt", "login_plain.bin",
                             "login_text.txt", "login_out.bin"}) {
      std::remove((dir_ + name).c_str());
    }
  }
  std::string dir_;
  std::string pass_;
};

TEST_P(OpensslCommand, DeciphersOurText) {
  const auto plain = Pattern(kLoginAnswerSize);
  Write(dir_ + "login_text.txt",
        EncryptSaltedText(plain, LoginPassword(GetParam())));
  ASSERT_TRUE(Enc("-d", dir_ + "login_text.txt", dir_ + "login_out.bin"));
  EXPECT_EQ(Bytes(Read(dir_ + "login_out.bin")), plain);
}

TEST_P(OpensslCommand, WeDecipherItsText) {
  const auto plain = Pattern(64);
  Write(dir_ + "login_plain.bin",
        std::string_view(reinterpret_cast<const char*>(plain.data()),
                         plain.size()));
  ASSERT_TRUE(Enc("-e", dir_ + "login_plain.bin", dir_ + "login_text.txt"));
  const std::string text = Read(dir_ + "login_text.txt");
  EXPECT_EQ(Lines(text).size(), 2u);  // 96 binary bytes: 64 + 64 characters
  EXPECT_EQ(DecryptSaltedText(Bytes(text), LoginPassword(GetParam())), plain);
}

INSTANTIATE_TEST_SUITE_P(Passwords, OpensslCommand,
                         ::testing::Values(std::string(), "secret",
                                           kLongPassword,
                                           "p\xC3\xA4ss w\xC3\xB6rd"));
#endif

}  // namespace
}  // namespace refloq::protocol
