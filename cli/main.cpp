// refloq-cli: the process around cli::Run.
#include <iostream>

#include "cli/cli.h"
#include "cli/startup.h"
#include "platform/clock.h"
#include "platform/program_arguments.h"
#include "platform/terminal.h"

int main(int argc, char** argv) {
  using refloq::platform::IsTerminal;
  using refloq::platform::StandardStream;
  refloq::platform::Clock::SetScaleFromEnvironment();

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
