#pragma once
// One subcommand of refloq-cli: it declares its options on the command line
// parser and runs once the line has been parsed.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/report.h"

namespace CLI {
class App;
}

namespace refloq::platform {
class ServiceControl;
}

namespace refloq::cli {

// A user-visible text by its string id, as the window shows it (built-in
// string table or the language library chosen at start).
using UiText = std::function<std::string(int id)>;

// What the program took from its start, as the window does: its folder and
// the Refloq.ini values the commands use, and the built-in container.
struct Settings {
  std::string program_folder;
  int load_fw = 0;              // "LoadFW"
  std::string fw_ver = "0.00";  // "FW_Ver"
  int enable_downgrade = 1;     // "EnableDowngrade"
  // Resource BINARY 139 (empty when the program carries none).
  std::function<std::span<const std::uint8_t>()> embedded_container;
};

struct Context {
  CliIo& io;
  Reporter& report;
  const UiText& ui;
  const Settings& settings;
  platform::ServiceControl* service_control;  // null: the process's
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
