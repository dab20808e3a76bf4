#include "cli/device_state.h"

#include "texts/string_ids.h"

namespace refloq::cli {

DeviceState JudgeDeviceState(bool answered,
                             const protocol::sKestoDeviceStatus& status) {
  if (!answered) return {"not_found", texts::kTextDeviceNotFound};
  switch (status.wFWInfo) {
    case protocol::SCANNER_STATUS_READY:
      return {"ready", texts::kTextReady};
    case protocol::SCANNER_STATUS_BUSY:
      return {"busy", texts::kTextDeviceBusy};
    case protocol::SCANNER_STATUS_RECOVERY:
      return {"recovery", texts::kTextRecoveryMode};
    default:
      // Any other state is an error, whatever dwLastErr says (the window's
      // probe could show such a scanner as ready when dwLastErr was 0).
      return {"error", texts::kTextDeviceHasError};
  }
}

}  // namespace refloq::cli
