// refloq-cli recover: the window's hidden "Recover FW" button, the
// recovery job on the USB scanner with the program's own firmware.
#include <CLI/CLI.hpp>

#include "app/window/control_ids.h"
#include "cli/command.h"
#include "cli/command_window.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/window_view.h"

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
    // The job's texts go to the "USB" row of the Device Table.
    WindowView view(context, WindowView::Mode::kRecover, {"USB"},
                    /*live=*/false);
    CommandWindow window(view, context.services);
    view.StartPrinting();
    window->OfferRecoverFw();
    window->OnRecoverFw();
    window.Close();
    const auto usb = window->model().FindAddress(window::kIdDeviceTable, "USB");
    if (!usb || !usb->status.is_final()) {
      context.report.Error("recover", "the recovery job could not start");
      return kExitFailed;
    }
    return usb->status.outcome == update::JobOutcome::kSucceeded ? kExitDone
                                                                 : kExitFailed;
  }
};

}  // namespace

std::unique_ptr<Command> MakeRecoverCommand() {
  return std::make_unique<RecoverCommand>();
}

}  // namespace refloq::cli
