#include "protocol/login_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

namespace refloq::protocol {
namespace {

TEST(AttemptId, FreshUpperCaseUuidTextZeroPadded) {
  LoginContext context;
  context.szAttemptId.fill('x');
  NewAttemptId(context);
  const std::string first = AttemptIdText(context.szAttemptId);
  EXPECT_TRUE(std::regex_match(
      first, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-"
                        "[0-9A-F]{12}")))
      << first;
  EXPECT_TRUE(std::all_of(context.szAttemptId.begin() + 36,
                          context.szAttemptId.end(),
                          [](std::uint8_t b) { return b == 0; }));
  NewAttemptId(context);
  EXPECT_NE(AttemptIdText(context.szAttemptId), first);
}

struct LockRecordCase {
  std::string password;
  std::string expected_tail;  // the 40 bytes after the attempt id
};

class LockRecordTest : public ::testing::TestWithParam<LockRecordCase> {};

TEST_P(LockRecordTest, AttemptIdThenPasswordCutOrPaddedTo40) {
  LoginContext context;
  NewAttemptId(context);
  LockRecord record;
  record.fill(0xAA);
  FillLockRecord(context, LoginPassword(GetParam().password), record);
  EXPECT_TRUE(std::equal(context.szAttemptId.begin(), context.szAttemptId.end(),
                         record.begin()));
  EXPECT_EQ(std::string(record.begin() + 40, record.end()),
            GetParam().expected_tail);
}

INSTANTIATE_TEST_SUITE_P(
    Passwords, LockRecordTest,
    ::testing::Values(
        LockRecordCase{"", std::string(40, '\0')},
        LockRecordCase{"secret", "secret" + std::string(34, '\0')},
        LockRecordCase{std::string(40, 'q'), std::string(40, 'q')},
        LockRecordCase{std::string(40, 'q') + "rest", std::string(40, 'q')}));

TEST(LoginPassword, TakeWipesTheCallersText) {
  std::string typed = "secret";
  const LoginPassword password = LoginPassword::Take(typed);
  EXPECT_TRUE(typed.empty());
  EXPECT_EQ(std::string(typed.data(), 6), std::string(6, '\0'));
  EXPECT_EQ(password.size(), 6u);
}

TEST(LoginPassword, MovedFromHoldsNothing) {
  LoginPassword first("secret");
  LoginPassword second(std::move(first));
  EXPECT_EQ(first.size(), 0u);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(second.size(), 6u);
}

}  // namespace
}  // namespace refloq::protocol
