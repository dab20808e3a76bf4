#include "link/control_pipe.h"

namespace refloq::link {
namespace {

constexpr std::uint8_t kLockRequest = 1;
constexpr std::uint8_t kUnlockRequest = 2;

// One vendor request (device to host, value 4, index 0) with a 5-byte
// reply whose byte 4 is the result, 0 for success.  The reply is zeroed
// first, so a device that leaves it untouched has succeeded.
int SendControlPipeRequest(DeviceConnection& connection,
                           std::uint8_t request_code) {
  if (!connection.hUsbDevice) return 1;
  std::uint8_t reply[5] = {};
  platform::VendorRequest request;
  request.bmRequestType = 0xC0;
  request.bRequest = request_code;
  request.wValue = 4;
  request.wIndex = 0;
  if (!connection.hUsbDevice->SendVendorRequest(request, reply, sizeof reply)) {
    return 0;
  }
  return reply[4] == 0 ? 1 : 0;
}

}  // namespace

int LockControlPipe(DeviceConnection& connection) {
  return SendControlPipeRequest(connection, kLockRequest);
}

int UnlockControlPipe(DeviceConnection& connection) {
  return SendControlPipeRequest(connection, kUnlockRequest);
}

}  // namespace refloq::link
