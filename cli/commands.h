#pragma once
// The makers of the commands, one per file.
#include <memory>

#include "cli/command.h"

namespace refloq::cli {

std::unique_ptr<Command> MakeStatusCommand();
std::unique_ptr<Command> MakeSearchCommand();
std::unique_ptr<Command> MakeLoginCommand();
std::unique_ptr<Command> MakeUpdateCommand();
std::unique_ptr<Command> MakeRecoverCommand();
std::unique_ptr<Command> MakeFirmwareCommand();

}  // namespace refloq::cli
