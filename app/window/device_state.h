#pragma once
// A scanner's state as the window names it, from one status query, and
// the window's USB status query.
#include "protocol/device_status.h"

namespace refloq::window {

// The result of a USB status query that got no answer.
inline constexpr int kUsbNoAnswer = -1;

struct DeviceState {
  const char* name;  // stable name for scripts: "ready", "busy", "error",
                     // "recovery" or "not_found"
  int text_id;       // the window's text for it
  // Whether the "USB" row is checked at start: ready or recovery mode.
  bool selectable;
};

// answered: whether the status reply arrived whole.  A state other than
// ready, busy and recovery mode is an error, whatever dwLastErr says.
DeviceState JudgeDeviceState(bool answered,
                             const protocol::sKestoDeviceStatus& status);
// The same for a QueryUsbStatus result.
DeviceState JudgeUsbState(int state);

// GET_DEVICE_STATUS on a connection of its own to "USB": the scanner's
// wFWInfo (0 ready, 4 busy, 6 recovery mode, or any other state), or
// kUsbNoAnswer.
int QueryUsbStatus();

}  // namespace refloq::window
