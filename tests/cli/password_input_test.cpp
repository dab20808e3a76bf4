// The password comes from the first line of standard input, and a missing
// input fails at once instead of waiting.
#include "cli/password_input.h"

#include <gtest/gtest.h>

#include <sstream>

namespace refloq::cli {
namespace {

struct PasswordCase {
  const char* name;
  std::string input;
  PasswordRead read;
  std::string password;
};

TEST(PasswordInput, FirstLineWithoutItsLineEnd) {
  const std::string long_password(5000, 'p');
  const std::vector<PasswordCase> cases = {
      {"line", "secret\n", PasswordRead::kRead, "secret"},
      {"crlf", "secret\r\n", PasswordRead::kRead, "secret"},
      {"no line feed", "secret", PasswordRead::kRead, "secret"},
      {"later lines ignored", "first\nsecond\n", PasswordRead::kRead, "first"},
      {"empty line is an empty password", "\n", PasswordRead::kRead, ""},
      {"blanks kept", " pass word \n", PasswordRead::kRead, " pass word "},
      {"long", long_password + "\n", PasswordRead::kRead, long_password},
      {"nothing", "", PasswordRead::kNoInput, ""},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.input);
    std::ostringstream out, err;
    CliIo io{in, out, err};
    std::string password = "stale";
    EXPECT_EQ(ReadPassword(io, password), c.read) << c.name;
    EXPECT_EQ(password, c.password) << c.name;
    EXPECT_TRUE(err.str().empty()) << c.name << ": no prompt off a terminal";
  }
}

TEST(PasswordInput, WipeSecretClearsTheBytes) {
  std::string secret(64, 's');
  const char* bytes = secret.data();
  WipeSecret(secret);
  EXPECT_TRUE(secret.empty());
  // The buffer is still the string's own, so reading it is defined.
  for (std::size_t i = 0; i < 64; ++i) EXPECT_EQ(bytes[i], '\0') << i;
}

}  // namespace
}  // namespace refloq::cli
