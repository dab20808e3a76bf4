#include "protocol/device_status.h"

#include "protocol/byte_order.h"

namespace refloq::protocol {

sKestoDeviceStatus DecodeDeviceStatus(const std::uint8_t* reply32) {
  sKestoDeviceStatus status;
  status.dwLastErr = LoadLe32(&reply32[0]);
  status.wFWInfo = LoadLe16(&reply32[4]);
  status.bProgress = reply32[10];
  status.bSleep = reply32[12];
  return status;
}

StatusReply EncodeDeviceStatus(const sKestoDeviceStatus& status) {
  StatusReply reply{};
  StoreLe32(&reply[0], status.dwLastErr);
  StoreLe16(&reply[4], status.wFWInfo);
  reply[10] = status.bProgress;
  reply[12] = status.bSleep;
  return reply;
}

bool IsReadyForUpdate(const sKestoDeviceStatus& status) {
  return status.wFWInfo == SCANNER_STATUS_READY && status.dwLastErr == 0;
}

sKestoDeviceStatusExt DecodeDeviceStatusExt(const std::uint8_t* reply108) {
  sKestoDeviceStatusExt status;
  status.bLoginAttemptLimit = reply108[28];
  status.bLoginFailures = reply108[29];
  status.bLoginLockout = reply108[92];
  return status;
}

StatusExtReply EncodeDeviceStatusExt(const sKestoDeviceStatusExt& status) {
  StatusExtReply reply{};
  reply[28] = status.bLoginAttemptLimit;
  reply[29] = status.bLoginFailures;
  reply[92] = status.bLoginLockout;
  return reply;
}

}  // namespace refloq::protocol
