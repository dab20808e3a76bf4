// refloq-cli update [--password-stdin] [--package FILE] ADDRESS...: what
// the window does for "↓" and then "Update Start" on these scanners.
#include <CLI/CLI.hpp>
#include <set>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/image_source.h"
#include "cli/job_display.h"
#include "cli/login_step.h"
#include "cli/move_down.h"
#include "cli/update_jobs.h"
#include "texts/string_ids.h"

namespace refloq::cli {
namespace {

// One Update Table row per scanner: the same address twice would run two
// jobs against one scanner.
bool CheckDistinct(const std::vector<std::string>& addresses,
                   Reporter& report) {
  std::set<std::string> seen;
  for (const std::string& address : addresses) {
    if (!seen.insert(address).second) {
      report.Error("address", "\"" + address + "\" is given twice");
      return false;
    }
  }
  return true;
}

class UpdateCommand : public Command {
 public:
  CLI::App* Define(CLI::App& app) override {
    CLI::App* sub = app.add_subcommand(
        "update",
        "log in to the network scanners, then update every scanner given, "
        "one job each, 1000 ms apart; prints every status text as "
        "ADDRESS<TAB>TEXT (a live table on a terminal)");
    sub->add_flag("--password-stdin", password_stdin_,
                  "read the login password from the first line of standard "
                  "input (without it the empty password is used)");
    sub->add_option("--package", package_,
                    "a firmware container file to use instead of the "
                    "built-in one");
    sub->add_option("ADDRESS", addresses_, "\"USB\" or dotted IPv4 addresses")
        ->required();
    return sub;
  }

  int Run(Context& context) override {
    if (!CheckAddresses(addresses_, context.report) ||
        !CheckDistinct(addresses_, context.report)) {
      return kExitUsage;
    }
    ImageSource source;
    if (!source.Prepare(context, package_)) return kExitUsage;
    protocol::LoginPassword password;
    if (password_stdin_ && !ReadLoginPassword(context, password)) {
      return kExitUsage;
    }

    const bool live = context.io.output_is_terminal && !context.report.json();
    JobDisplay display(context, addresses_, live);
    const std::vector<int> moved =
        MoveDown(context, display, addresses_, password);
    password = protocol::LoginPassword();  // wiped: the logins are done
    if (moved.empty()) {
      context.report.Message(context.ui(texts::kTextNoDeviceSelected));
      return kExitFailed;
    }

    firmware::FirmwareImage image;
    if (!source.Load(context, image)) {
      const std::string text = context.ui(ImageSource::FailureTextId(image));
      for (int index : moved) display.Show(index, text, "update");
      return kExitFailed;
    }
    display.SetUpdateTable(moved);
    RunUpdateJobs(context, display, addresses_, moved, image);

    int succeeded = 0;
    for (int index : moved) {
      if (display.LastReport(index).outcome == update::JobOutcome::kSucceeded) {
        ++succeeded;
      }
    }
    const int total = static_cast<int>(addresses_.size());
    context.report.Message(std::to_string(succeeded) + " of " +
                               std::to_string(total) + " scanners updated",
                           {{"succeeded", succeeded}, {"scanners", total}});
    return succeeded == total ? kExitDone : kExitFailed;
  }

 private:
  bool password_stdin_ = false;
  std::string package_;
  std::vector<std::string> addresses_;
};

}  // namespace

std::unique_ptr<Command> MakeUpdateCommand() {
  return std::make_unique<UpdateCommand>();
}

}  // namespace refloq::cli
