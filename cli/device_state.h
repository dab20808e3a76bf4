#pragma once
// A scanner's state as the window names it in its tables, from one status
// query.
#include "protocol/device_status.h"

namespace refloq::cli {

struct DeviceState {
  const char* name;  // stable JSON name: "ready", "busy", "error",
                     // "recovery" or "not_found"
  int text_id;       // the window's text for it
};

// answered: whether the status reply arrived whole.
DeviceState JudgeDeviceState(bool answered,
                             const protocol::sKestoDeviceStatus& status);

}  // namespace refloq::cli
