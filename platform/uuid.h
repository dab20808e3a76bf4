#pragma once
// Fresh UUIDs (UuidCreate on Windows, libuuid on Linux) in the field layout
// of the Windows GUID, and their usual upper-case text.
#include <cstdint>
#include <string>

namespace refloq::platform {

struct Uuid {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {};
};

// A new random UUID.
Uuid CreateUuid();
// "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X" of the fields:
// 36 characters, upper-case hexadecimal.
std::string FormatUuid(const Uuid& uuid);

}  // namespace refloq::platform
