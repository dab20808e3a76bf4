#pragma once
// The streams a command reads and writes, and what they are connected to.
// main() passes the process's standard streams; tests pass string streams.
#include <istream>
#include <ostream>

namespace refloq::cli {

struct CliIo {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  bool input_is_terminal = false;   // a password prompt is possible
  bool output_is_terminal = false;  // the live table replaces the lines
};

}  // namespace refloq::cli
