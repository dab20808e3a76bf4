#pragma once
// Standard output for the program's own console texts (the link's USB
// messages).  Text is UTF-8; on Windows it is written with WriteConsoleW
// when standard output is a console, so Traditional Chinese shows whatever
// the console's code page, and as UTF-8 bytes otherwise (a pipe or file).
#include <functional>
#include <string_view>

namespace refloq::platform {

void WriteConsoleText(std::string_view text);

// Tests: while a capture is set, texts go to it instead of standard output.
// Thread-safe; an empty function removes the capture.
using ConsoleCapture = std::function<void(std::string_view text)>;
void SetConsoleCapture(ConsoleCapture capture);

}  // namespace refloq::platform
