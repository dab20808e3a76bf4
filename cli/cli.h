#pragma once
// refloq-cli: the update engine without a window, for scripts and
// terminals.  Run() is the whole program apart from the process's streams,
// environment and string table, which main() (or a test) supplies.
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/command.h"

namespace refloq::cli {

// What main() (or a test) sets up before the command line is read.
struct Startup {
  // The window's services; tests give a scripted still-image service
  // layer.
  window::WindowServices services;
};

// args: the command line without the program name.  Returns an ExitCode.
int Run(const std::vector<std::string>& args, CliIo& io,
        const Startup& startup);

}  // namespace refloq::cli
