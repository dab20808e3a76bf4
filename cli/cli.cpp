#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/exit_code.h"

#ifndef REFLOQ_VERSION
#define REFLOQ_VERSION "0"
#endif

namespace refloq::cli {
namespace {

constexpr char kFooter[] =
    "Exit codes:\n"
    "  0  every scanner did what was asked\n"
    "  1  a scanner failed, refused or was not found\n"
    "  2  wrong usage or bad input (an address that is not \"USB\" or a "
    "dotted\n"
    "     IPv4 address, the same address twice, an unreadable package "
    "file, no\n"
    "     password on standard input)\n"
    "\n"
    "Addresses are \"USB\" (the scanner on USB) or dotted IPv4 addresses.\n"
    "Passwords are read from standard input, never from the command line.\n"
    "REFLOQ_TIME_SCALE=N runs every wait and time limit N times faster.";

}  // namespace

int Run(const std::vector<std::string>& args, CliIo& io,
        const Startup& startup) {
  // Known before parsing, so that a usage error reaches a script as JSON.
  const bool json_requested =
      std::find(args.begin(), args.end(), "--json") != args.end();

  CLI::App app{
      "Writes firmware into QLM-8800Z scanners over USB and the "
      "network.",
      "refloq-cli"};
  app.footer(kFooter);
  app.set_version_flag("--version",
                       std::string("refloq-cli ") + REFLOQ_VERSION);
  bool json = false;
  app.add_flag("--json", json,
               "one JSON object per line on standard output (the stable "
               "interface for scripts)");
  app.fallthrough();
  app.require_subcommand(1);

  auto commands = MakeCommands();
  std::vector<std::pair<CLI::App*, Command*>> defined;
  for (auto& command : commands) {
    defined.emplace_back(command->Define(app), command.get());
  }

  // CLI11 reports help, version and usage errors by throwing; they stop
  // here and become output and an exit code.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    io.out << app.help();
    return kExitDone;
  } catch (const CLI::CallForAllHelp&) {
    io.out << app.help("", CLI::AppFormatMode::All);
    return kExitDone;
  } catch (const CLI::CallForVersion&) {
    io.out << app.version() << '\n';
    return kExitDone;
  } catch (const CLI::ParseError& error) {
    Reporter report(io.out, io.err, json_requested);
    report.Error("usage", error.what());
    io.err << "Run 'refloq-cli --help' for the commands and options.\n";
    return kExitUsage;
  }

  Reporter report(io.out, io.err, json);
  Context context{io, report, startup.services.ui, startup.services};
  for (auto& [sub, command] : defined) {
    if (sub->parsed()) return command->Run(context);
  }
  return kExitUsage;
}

}  // namespace refloq::cli
