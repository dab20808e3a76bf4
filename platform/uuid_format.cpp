#include <cstdio>

#include "platform/uuid.h"

namespace refloq::platform {

std::string FormatUuid(const Uuid& uuid) {
  char text[37];
  std::snprintf(text, sizeof text,
                "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                static_cast<unsigned long>(uuid.Data1), uuid.Data2, uuid.Data3,
                uuid.Data4[0], uuid.Data4[1], uuid.Data4[2], uuid.Data4[3],
                uuid.Data4[4], uuid.Data4[5], uuid.Data4[6], uuid.Data4[7]);
  return text;
}

}  // namespace refloq::platform
