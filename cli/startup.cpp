#include "cli/startup.h"

namespace refloq::cli {

Startup StartLikeTheWindow() {
  Startup startup;
  startup.ui = [](int) { return std::string(); };
  return startup;
}

}  // namespace refloq::cli
