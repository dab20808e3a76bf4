// libuuid.
#include "platform/uuid.h"

#include <uuid/uuid.h>

namespace refloq::platform {

Uuid CreateUuid() {
  uuid_t bytes;
  uuid_generate_random(bytes);
  // libuuid keeps the 16 bytes in text order; the GUID's first three fields
  // are those bytes read big-endian.
  Uuid out;
  out.Data1 = static_cast<std::uint32_t>(bytes[0]) << 24 |
              static_cast<std::uint32_t>(bytes[1]) << 16 |
              static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
  out.Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
  out.Data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
  for (int i = 0; i < 8; ++i) out.Data4[i] = bytes[8 + i];
  return out;
}

}  // namespace refloq::platform
