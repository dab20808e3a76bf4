// `login`: one password from standard input for every address, the
// window's text for each result, and the exit code.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/exit_code.h"
#include "cli_fleet.h"
#include "cli_runner.h"

namespace refloq::cli {
namespace {

using testing::CliFleet;
using testing::FleetAddress;
using testing::JsonLines;
using testing::Lines;
using testing::RunCli;

struct LoginCase {
  const char* name;
  void (*set_up)(sim::ScannerState&);
  std::string text;
  const char* result;
};

const LoginCase kCases[] = {
    {"no password on the scanner", [](sim::ScannerState&) {}, "Ready", "ok"},
    {"the scanner's password",
     [](sim::ScannerState& s) { s.login.password = "secret"; }, "Ready", "ok"},
    {"another password",
     [](sim::ScannerState& s) { s.login.password = "other"; },
     "Password is incorrect!", "wrong_password"},
    {"locked out",
     [](sim::ScannerState& s) {
       s.login.password = "secret";
       s.status_ext.bLoginLockout = 1;
       s.status_ext.bLoginAttemptLimit = 5;
       s.status_ext.bLoginFailures = 5;
     },
     "Failed to Login, account locked out. Please try again later.",
     "locked_out"},
    {"busy",
     [](sim::ScannerState& s) {
       s.status.wFWInfo = protocol::SCANNER_STATUS_BUSY;
     },
     "Device is Busy.", "not_ready"},
};
constexpr int kCaseCount = sizeof kCases / sizeof kCases[0];

std::vector<sim::ScannerSetup> CaseScanners() {
  std::vector<sim::ScannerSetup> setups;
  for (int i = 0; i < kCaseCount; ++i) {
    sim::ScannerSetup setup;
    setup.address = FleetAddress(i);
    kCases[i].set_up(setup.state);
    setups.push_back(setup);
  }
  return setups;
}

std::vector<std::string> CaseAddresses() {
  std::vector<std::string> addresses;
  for (int i = 0; i < kCaseCount; ++i) addresses.push_back(FleetAddress(i));
  return addresses;
}

TEST(LoginCommand, OneLinePerAddressWithTheWindowsText) {
  CliFleet fleet(CaseScanners(), 20.0);
  std::vector<std::string> args = {"login"};
  for (const auto& address : CaseAddresses()) args.push_back(address);
  const auto result = RunCli(args, "secret\n");
  EXPECT_EQ(result.code, kExitFailed) << "not every login was accepted";
  const auto lines = Lines(result.out);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kCaseCount)) << result.out;
  for (int i = 0; i < kCaseCount; ++i) {
    EXPECT_EQ(lines[static_cast<std::size_t>(i)],
              FleetAddress(i) + "\t" + kCases[i].text)
        << kCases[i].name;
  }

  args.insert(args.begin(), "--json");
  const auto json = JsonLines(RunCli(args, "secret\n").out);
  ASSERT_EQ(json.size(), static_cast<std::size_t>(kCaseCount));
  for (int i = 0; i < kCaseCount; ++i) {
    const auto& object = json[static_cast<std::size_t>(i)];
    EXPECT_EQ(object.at("address"), FleetAddress(i)) << kCases[i].name;
    EXPECT_EQ(object.at("login"), kCases[i].result) << kCases[i].name;
  }
}

TEST(LoginCommand, ExitsWithZeroWhenEveryLoginWasAccepted) {
  CliFleet fleet(CaseScanners(), 20.0);
  const auto result =
      RunCli({"login", FleetAddress(0), FleetAddress(1)}, "secret\r\n");
  EXPECT_EQ(result.code, kExitDone) << result.out << result.err;
  EXPECT_EQ(result.out,
            FleetAddress(0) + "\tReady\n" + FleetAddress(1) + "\tReady\n");
}

TEST(LoginCommand, ThePasswordComesOnlyFromStandardInput) {
  CliFleet fleet(CaseScanners(), 20.0);
  const std::vector<std::vector<std::string>> command_lines = {
      {"login", "--password", "secret", FleetAddress(1)},
      {"login", FleetAddress(1), "secret"},
      {"login", "--password=secret", FleetAddress(1)},
  };
  for (const auto& args : command_lines) {
    const auto result = RunCli(args, "secret\n");
    EXPECT_EQ(result.code, kExitUsage) << ::testing::PrintToString(args);
    EXPECT_TRUE(result.out.empty()) << result.out;
  }
  // No input at all: a clear message at once, nothing sent.
  const auto no_input = RunCli({"login", FleetAddress(1)}, "");
  EXPECT_EQ(no_input.code, kExitUsage);
  EXPECT_NE(no_input.err.find("no password on standard input"),
            std::string::npos)
      << no_input.err;
  EXPECT_TRUE(fleet.engine(1).Record().empty());
}

}  // namespace
}  // namespace refloq::cli
