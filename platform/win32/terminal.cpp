#include "platform/terminal.h"

#include <windows.h>

namespace refloq::platform {
namespace {

HANDLE Handle(StandardStream stream) {
  switch (stream) {
    case StandardStream::kInput:
      return GetStdHandle(STD_INPUT_HANDLE);
    case StandardStream::kOutput:
      return GetStdHandle(STD_OUTPUT_HANDLE);
    case StandardStream::kError:
      return GetStdHandle(STD_ERROR_HANDLE);
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

// A console handle is the Windows form of a terminal; GetConsoleMode fails
// on pipes, files and the null device.
bool IsTerminal(StandardStream stream) {
  HANDLE handle = Handle(stream);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetConsoleMode(handle, &mode) != 0;
}

EchoOff::EchoOff() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (input == nullptr || input == INVALID_HANDLE_VALUE ||
      GetConsoleMode(input, &mode) == 0) {
    return;
  }
  saved_ = mode;
  changed_ =
      SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) != 0;
}

EchoOff::~EchoOff() {
  if (changed_) {
    SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), static_cast<DWORD>(saved_));
  }
}

bool EnableTerminalEscapes() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (output == nullptr || output == INVALID_HANDLE_VALUE ||
      GetConsoleMode(output, &mode) == 0) {
    return false;
  }
  return SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace refloq::platform
