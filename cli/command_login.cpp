// refloq-cli login ADDRESS...: the window's login of the scanners it moves
// into the Update Table, with one password read from standard input.
#include <CLI/CLI.hpp>

#include "app/window/login_outcome.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/login_step.h"
#include "protocol/login_to_device.h"

namespace refloq::cli {
namespace {

class LoginCommand : public Command {
 public:
  CLI::App* Define(CLI::App& app) override {
    CLI::App* sub = app.add_subcommand(
        "login",
        "log in to each scanner with the password on the first line of "
        "standard input; prints ADDRESS<TAB>TEXT (\"Ready\" when accepted)");
    sub->add_option("ADDRESS", addresses_, "dotted IPv4 addresses")->required();
    return sub;
  }

  int Run(Context& context) override {
    if (!CheckAddresses(addresses_, context.report)) return kExitUsage;
    protocol::LoginPassword password;
    if (!ReadLoginPassword(context, password)) return kExitUsage;
    protocol::LoginContext login;
    bool all_accepted = true;
    for (const std::string& address : addresses_) {
      const protocol::LoginResult result =
          protocol::LoginToDevice(login, address, password);
      const window::LoginOutcome outcome = window::DescribeLogin(result);
      context.report.Row(address, context.ui(outcome.text_id),
                         {{"login", outcome.name}});
      all_accepted = all_accepted && result == protocol::LOGIN_RESULT_OK;
    }
    return all_accepted ? kExitDone : kExitFailed;
  }

 private:
  std::vector<std::string> addresses_;
};

}  // namespace

std::unique_ptr<Command> MakeLoginCommand() {
  return std::make_unique<LoginCommand>();
}

}  // namespace refloq::cli
