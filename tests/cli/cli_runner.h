#pragma once
// Runs refloq-cli in-process: the command line, standard input as a text,
// and what it printed and returned.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/window/window_services.h"
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
  startup.services = window::WindowServicesOfProgram();
  startup.services.show_all_string = nullptr;
  return startup;
}

// The same with a scripted still-image service for the USB jobs, so that
// no test changes the machine's (or Wine's) own service.
inline Startup StartupWithServices(platform::ServiceControl& services) {
  Startup startup = TestStartup();
  startup.services.service_control = &services;
  return startup;
}

// output_is_terminal: standard output is taken for a terminal (the live
// table of `update`).
inline CliResult RunCli(const std::vector<std::string>& args,
                        const std::string& input = "",
                        const Startup& startup = TestStartup(),
                        bool output_is_terminal = false) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  CliIo io{in, out, err, false, output_is_terminal};
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

// Every line of a --json run as an object; a line that does not parse
// fails the test.
inline std::vector<nlohmann::json> JsonLines(const std::string& text) {
  std::vector<nlohmann::json> objects;
  for (const std::string& line : Lines(text)) {
    const auto object = nlohmann::json::parse(line, nullptr, false);
    EXPECT_FALSE(object.is_discarded()) << line;
    objects.push_back(object);
  }
  return objects;
}

}  // namespace refloq::cli::testing
