#include "sim/scanner_state.h"

#include <cstdio>

namespace refloq::sim {

std::string NumberedUuidText(std::uint32_t n) {
  char text[40];
  std::snprintf(text, sizeof text, "{5CA77E55-0000-4000-8000-%012X}", n);
  return text;
}

}  // namespace refloq::sim
