#include "cli/commands.h"

namespace refloq::cli {

std::vector<std::unique_ptr<Command>> MakeCommands() {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(MakeStatusCommand());
  commands.push_back(MakeSearchCommand());
  commands.push_back(MakeLoginCommand());
  commands.push_back(MakeUpdateCommand());
  commands.push_back(MakeRecoverCommand());
  commands.push_back(MakeFirmwareCommand());
  return commands;
}

}  // namespace refloq::cli
