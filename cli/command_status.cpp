// refloq-cli status ADDRESS: one status query, shown as the window shows
// the state of its "USB" row.
#include <CLI/CLI.hpp>

#include "app/window/device_state.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/exit_code.h"
#include "protocol/command_routines.h"

namespace refloq::cli {
namespace {

class StatusCommand : public Command {
 public:
  CLI::App* Define(CLI::App& app) override {
    CLI::App* sub = app.add_subcommand(
        "status", "ask one scanner for its state; prints ADDRESS<TAB>TEXT");
    sub->add_option("ADDRESS", address_, "\"USB\" or a dotted IPv4 address")
        ->required();
    return sub;
  }

  int Run(Context& context) override {
    if (!CheckAddresses({address_}, context.report)) return kExitUsage;
    protocol::StatusReply reply{};
    const bool answered = protocol::ReadDeviceStatus(address_, reply);
    const window::DeviceState state = window::JudgeDeviceState(
        answered, protocol::DecodeDeviceStatus(reply.data()));
    nlohmann::json fields = {{"state", state.name}};
    if (answered) {
      const auto status = protocol::DecodeDeviceStatus(reply.data());
      fields["wFWInfo"] = status.wFWInfo;
      fields["dwLastErr"] = status.dwLastErr;
      fields["bSleep"] = status.bSleep;
      fields["bProgress"] = status.bProgress;
    }
    context.report.Row(address_, context.ui(state.text_id), fields);
    return answered ? kExitDone : kExitFailed;
  }

 private:
  std::string address_;
};

}  // namespace

std::unique_ptr<Command> MakeStatusCommand() {
  return std::make_unique<StatusCommand>();
}

}  // namespace refloq::cli
