#pragma once
// One subcommand of refloq-cli: it declares its options on the command line
// parser and runs once the line has been parsed.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/window/window_services.h"
#include "cli/cli_io.h"
#include "cli/report.h"

namespace CLI {
class App;
}

namespace refloq::cli {

// A user-visible text by its string id, as the window shows it (built-in
// string table or the language library chosen at start).
using UiText = std::function<std::string(int id)>;

struct Context {
  CliIo& io;
  Reporter& report;
  const UiText& ui;
  // What the window takes from the program: texts, settings, firmware
  // source, the still-image service layer.
  const window::WindowServices& services;
};

class Command {
 public:
  virtual ~Command() = default;
  // Adds the subcommand and its options to `app`; returns the subcommand.
  virtual CLI::App* Define(CLI::App& app) = 0;
  // Runs the parsed command; returns an ExitCode.
  virtual int Run(Context& context) = 0;
};

// Every command of refloq-cli, in the order --help lists them.
std::vector<std::unique_ptr<Command>> MakeCommands();

// Checks every address ("USB" or a dotted IPv4 address of four decimal
// parts 0 to 255); reports the first bad one and returns false.
bool CheckAddresses(const std::vector<std::string>& addresses,
                    Reporter& report);

}  // namespace refloq::cli
