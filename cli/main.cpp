// refloq-cli: the process around cli::Run.
#include <iostream>

#include "cli/cli.h"
#include "cli/startup.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/program_arguments.h"
#include "platform/terminal.h"

int main(int argc, char** argv) {
  using refloq::platform::IsTerminal;
  using refloq::platform::StandardStream;
  refloq::platform::Clock::SetScaleFromEnvironment();
  // The engine's console texts (the link's USB messages, the login's
  // diagnostics) go to standard error, one per line: standard output
  // carries results only.
  refloq::platform::SetConsoleCapture([](std::string_view text) {
    std::cerr << text;
    if (!text.empty() && text.back() != '\n') std::cerr << '\n';
    std::cerr.flush();
  });

  refloq::cli::Startup startup = refloq::cli::StartLikeTheWindow();
  refloq::cli::CliIo io{std::cin, std::cout, std::cerr,
                        IsTerminal(StandardStream::kInput),
                        IsTerminal(StandardStream::kOutput) &&
                            refloq::platform::EnableTerminalEscapes()};
  const int code = refloq::cli::Run(
      refloq::platform::ProgramArguments(argc, argv), io, startup);
  std::cout.flush();
  return code;
}
