// The command line itself: help, version, usage errors and their exit
// codes, and usage errors as JSON for scripts.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/exit_code.h"
#include "cli_runner.h"

namespace refloq::cli {
namespace {

using testing::Lines;
using testing::RunCli;

TEST(CliUsage, HelpListsTheExitCodes) {
  const auto result = RunCli({"--help"});
  EXPECT_EQ(result.code, kExitDone);
  EXPECT_NE(result.out.find("Exit codes:"), std::string::npos);
  EXPECT_NE(result.out.find("2  wrong usage or bad input"), std::string::npos);
}

TEST(CliUsage, VersionIsTheProjectVersion) {
  const auto result = RunCli({"--version"});
  EXPECT_EQ(result.code, kExitDone);
  EXPECT_EQ(result.out, "refloq-cli " REFLOQ_VERSION "\n");
}

TEST(CliUsage, WrongUsageExitsWithTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--no-such-option"},
      {"no-such-command"},
  };
  for (const auto& args : cases) {
    const auto result = RunCli(args);
    EXPECT_EQ(result.code, kExitUsage) << ::testing::PrintToString(args);
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_NE(result.err.find("refloq-cli: "), std::string::npos);
  }
}

TEST(CliUsage, UsageErrorIsOneJsonObjectWithJson) {
  const auto result = RunCli({"--json", "no-such-command"});
  EXPECT_EQ(result.code, kExitUsage);
  const auto lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 1u);
  const auto object = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(object.at("error"), "usage");
  EXPECT_TRUE(object.at("message").is_string());
}

}  // namespace
}  // namespace refloq::cli
