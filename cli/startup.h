#pragma once
// The program's start as the window's: its folder, the settings files
// beside it, the language library, and the texts by string id.
#include "cli/cli.h"

namespace refloq::cli {

Startup StartLikeTheWindow();

}  // namespace refloq::cli
