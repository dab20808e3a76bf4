#include "app/window/device_state.h"

#include "protocol/command_routines.h"
#include "texts/string_ids.h"

namespace refloq::window {

DeviceState JudgeDeviceState(bool answered,
                             const protocol::sKestoDeviceStatus& status) {
  return JudgeUsbState(answered ? status.wFWInfo : kUsbNoAnswer);
}

DeviceState JudgeUsbState(int state) {
  switch (state) {
    case kUsbNoAnswer:
      return {"not_found", texts::kTextDeviceNotFound, false};
    case protocol::SCANNER_STATUS_READY:
      return {"ready", texts::kTextReady, true};
    case protocol::SCANNER_STATUS_BUSY:
      return {"busy", texts::kTextDeviceBusy, false};
    case protocol::SCANNER_STATUS_RECOVERY:
      return {"recovery", texts::kTextRecoveryMode, true};
    default:
      return {"error", texts::kTextDeviceHasError, false};
  }
}

int QueryUsbStatus() {
  protocol::StatusReply reply{};
  if (!protocol::ReadDeviceStatus("USB", reply)) return kUsbNoAnswer;
  return protocol::DecodeDeviceStatus(reply.data()).wFWInfo;
}

}  // namespace refloq::window
