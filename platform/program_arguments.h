#pragma once
// The program's command line as UTF-8 texts, without the program name.
#include <string>
#include <vector>

namespace refloq::platform {

// POSIX: argv as given.  Windows: the wide command line (GetCommandLineW,
// CommandLineToArgvW) converted to UTF-8, so that a file name outside the
// ANSI code page reaches the program intact; argc and argv are ignored.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace refloq::platform
