#include "platform/terminal.h"

#include <termios.h>
#include <unistd.h>

namespace refloq::platform {
namespace {

int Descriptor(StandardStream stream) {
  switch (stream) {
    case StandardStream::kInput:
      return STDIN_FILENO;
    case StandardStream::kOutput:
      return STDOUT_FILENO;
    case StandardStream::kError:
      return STDERR_FILENO;
  }
  return -1;
}

}  // namespace

bool IsTerminal(StandardStream stream) {
  return isatty(Descriptor(stream)) == 1;
}

EchoOff::EchoOff() {
  termios mode{};
  if (tcgetattr(STDIN_FILENO, &mode) != 0) return;
  saved_ = mode.c_lflag;
  mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  changed_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &mode) == 0;
}

EchoOff::~EchoOff() {
  if (!changed_) return;
  termios mode{};
  if (tcgetattr(STDIN_FILENO, &mode) != 0) return;
  mode.c_lflag = static_cast<tcflag_t>(saved_);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &mode);
}

bool EnableTerminalEscapes() { return IsTerminal(StandardStream::kOutput); }

}  // namespace refloq::platform
