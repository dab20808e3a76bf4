#include "cli/device_state.h"

namespace refloq::cli {

DeviceState JudgeDeviceState(bool answered,
                             const protocol::sKestoDeviceStatus& status) {
  if (!answered) return {"not_found", 133};  // "Device Not Found.  Please..."
  switch (status.wFWInfo) {
    case protocol::SCANNER_STATUS_READY:
      return {"ready", 113};  // "Ready"
    case protocol::SCANNER_STATUS_BUSY:
      return {"busy", 139};  // "Device is Busy."
    case protocol::SCANNER_STATUS_RECOVERY:
      return {"recovery", 136};  // "Recovery Mode, click the RecoverFW ..."
    default:
      // Any other state is an error, whatever dwLastErr says (the window's
      // probe could show such a scanner as ready when dwLastErr was 0).
      return {"error", 140};  // "Device has an Error."
  }
}

}  // namespace refloq::cli
