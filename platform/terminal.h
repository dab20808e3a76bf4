#pragma once
// The standard streams as a console program sees them: whether each is a
// terminal, reading a line from the terminal without echo, and escape
// sequences for a live display.
#include <string>

namespace refloq::platform {

enum class StandardStream { kInput, kOutput, kError };

// True when the stream is an interactive terminal (a console on Windows).
bool IsTerminal(StandardStream stream);

// Keeps the terminal from echoing what is typed on standard input while
// the object lives; does nothing when standard input is not a terminal.
class EchoOff {
 public:
  EchoOff();
  ~EchoOff();
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  bool changed_ = false;
  unsigned long saved_ = 0;  // the terminal's mode bits before the change
};

// Lets standard output interpret ANSI escape sequences (cursor movement,
// erase line).  On Windows this switches the console into virtual terminal
// mode; elsewhere terminals already do.  False when it cannot.
bool EnableTerminalEscapes();

}  // namespace refloq::platform
