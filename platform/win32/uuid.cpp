// UuidCreate of the RPC runtime.
#include "platform/uuid.h"

#include <rpc.h>
#include <windows.h>

#include <cstring>

namespace refloq::platform {

Uuid CreateUuid() {
  UUID id{};
  UuidCreate(&id);
  Uuid out;
  out.Data1 = id.Data1;
  out.Data2 = id.Data2;
  out.Data3 = id.Data3;
  std::memcpy(out.Data4, id.Data4, sizeof out.Data4);
  return out;
}

}  // namespace refloq::platform
