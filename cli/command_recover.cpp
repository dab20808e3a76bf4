// refloq-cli recover: the window's hidden "Recover FW" button, the
// recovery job on the USB scanner with the program's own firmware.
#include <CLI/CLI.hpp>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/job_display.h"
#include "cli/still_image_service.h"
#include "cli/update_jobs.h"
#include "update/recovery_workflow.h"

namespace refloq::cli {
namespace {

class RecoverCommand : public Command {
 public:
  CLI::App* Define(CLI::App& app) override {
    return app.add_subcommand(
        "recover",
        "write the built-in firmware into the USB scanner in recovery mode "
        "(the Recover FW job); prints USB<TAB>TEXT for each status text");
  }

  int Run(Context& context) override {
    // The job's texts go to row 0 of the Device Table: the "USB" row.
    JobDisplay display(context, {"USB"}, /*live=*/false, "recover");
    display.SetUpdateTable({0});
    JobsEnded ended;
    update::JobBoard board(display, ended);
    update::UpdateEnvironment environment;
    environment.service_control = context.service_control;
    if (!update::StartRecoverFw(board, display, environment)) {
      context.report.Error("recover", "the recovery job could not start");
      return kExitFailed;
    }
    WaitForJobs(board, ended);
    RestartStillImageService(context.service_control);
    const bool recovered =
        display.LastReport(0).outcome == update::JobOutcome::kSucceeded;
    return recovered ? kExitDone : kExitFailed;
  }
};

}  // namespace

std::unique_ptr<Command> MakeRecoverCommand() {
  return std::make_unique<RecoverCommand>();
}

}  // namespace refloq::cli
