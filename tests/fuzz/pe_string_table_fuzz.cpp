// Any bytes as a language library: parse, then look every id up.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pe_string_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const auto table = refloq::platform::PeStringTable::Parse({data, size});
  if (table) {
    for (std::uint32_t id = 0; id <= 0xFFFF; id += 7) {
      (void)table->Find(static_cast<std::uint16_t>(id));
    }
  }
  return 0;
}
