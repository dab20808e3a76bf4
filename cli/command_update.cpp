// refloq-cli update [--password-stdin] [--package FILE] ADDRESS...: what
// the window does for "↓" and then "Update Start" on these scanners.
#include <CLI/CLI.hpp>
#include <set>

#include "app/window/control_ids.h"
#include "cli/command.h"
#include "cli/command_window.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/image_source.h"
#include "cli/login_step.h"
#include "cli/window_view.h"

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
    // Without --password-stdin the dialog's answer is the empty password.
    std::string password;
    if (password_stdin_ && !ReadPasswordLine(context, password)) {
      return kExitUsage;
    }

    const bool live = context.io.output_is_terminal && !context.report.json();
    WindowView view(context, WindowView::Mode::kUpdate, addresses_, live);
    view.SetPassword(std::move(password));
    window::WindowServices services = context.services;
    services.load_firmware = [&source,
                              &context](firmware::FirmwareImage& image) {
      return source.Load(context, image);
    };
    CommandWindow window(view, std::move(services));
    window.Select(addresses_);
    view.StartPrinting();
    window->OnMoveDown();  // "↓"
    window->WaitForCommand();
    view.ForgetPassword();  // the logins are done
    window->OnUpdateStart();
    window.Close();

    int succeeded = 0;
    bool jobs_ran = false;
    for (const window::TableRow& row :
         window->model().Rows(window::kIdUpdateTable)) {
      jobs_ran = jobs_ran || row.status.is_final();
      if (row.status.outcome == update::JobOutcome::kSucceeded) ++succeeded;
    }
    // Nothing moved ("No Device Selected") or no image: no job ran.
    if (!jobs_ran) return kExitFailed;
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
