#pragma once
// The handlers of the command catalogue, one per command code.  The engine
// starts with these; SetHandler adds or replaces one.
#include <cstdint>
#include <map>

#include "sim/device_engine.h"

namespace refloq::sim {

std::map<std::uint8_t, CommandHandler> StandardHandlers();

}  // namespace refloq::sim
