#include "cli/usb_probe.h"

#include "protocol/command_routines.h"

namespace refloq::cli {

int QueryUsbStatus() {
  protocol::StatusReply reply{};
  if (!protocol::ReadDeviceStatus("USB", reply)) return -1;
  return protocol::DecodeDeviceStatus(reply.data()).wFWInfo;
}

}  // namespace refloq::cli
