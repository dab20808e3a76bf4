#pragma once
// Runs refloq-cli in-process: the command line, standard input as a text,
// and what it printed and returned.
#include <sstream>
#include <string>
#include <vector>

#include "app/language.h"
#include "cli/cli.h"

namespace refloq::cli::testing {

struct CliResult {
  int code = -1;
  std::string out;
  std::string err;
};

// The program's own string table, no language library, default settings.
inline Startup TestStartup() {
  Startup startup;
  startup.ui = [](int id) {
    return app::LoadUiString(static_cast<std::uint16_t>(id));
  };
  return startup;
}

inline CliResult RunCli(const std::vector<std::string>& args,
                        const std::string& input = "",
                        const Startup& startup = TestStartup()) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  CliIo io{in, out, err};
  CliResult result;
  result.code = Run(args, io, startup);
  result.out = out.str();
  result.err = err.str();
  return result;
}

// The lines of a text, without their line feeds.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

}  // namespace refloq::cli::testing
