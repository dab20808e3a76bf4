// A blob announced the way a linked-in resource library does it: by a
// static registrar that nothing references.
#include <array>
#include <cstdint>

#include "platform/resources.h"

namespace {

constexpr std::array<std::uint8_t, 4> kBlob = {0xB1, 0x0B, 0x5E, 0xED};
const refloq::platform::BinaryResourceRegistrar kRegistrar(9001, kBlob);

}  // namespace
