#pragma once
// The 32-byte status record that every reply carries, and the 108-byte
// extended status record of GET_DEVICE_STATUS_EXT.
//
// Status record (little-endian): 0 dwLastErr (4), 4 wFWInfo (2),
// 6 reserved (4), 10 bProgress (1), 11 reserved, 12 bSleep (1),
// 13 reserved (19).
// Extended record: 28 bLoginAttemptLimit, 29 bLoginFailures,
// 92 bLoginLockout; the other bytes are not read.
#include <array>
#include <cstdint>

namespace refloq::protocol {

inline constexpr std::uint32_t kStatusReplySize = 32;
inline constexpr std::uint32_t kStatusExtReplySize = 108;

using StatusReply = std::array<std::uint8_t, kStatusReplySize>;
using StatusExtReply = std::array<std::uint8_t, kStatusExtReplySize>;

// wFWInfo: any other value means the device has an error.
inline constexpr std::uint16_t SCANNER_STATUS_READY = 0;
inline constexpr std::uint16_t SCANNER_STATUS_BUSY = 4;
inline constexpr std::uint16_t SCANNER_STATUS_RECOVERY = 6;
inline constexpr std::uint16_t SCANNER_STATUS_UPDATING = 7;

// dwLastErr while an update runs: the update failed.
inline constexpr std::uint32_t LAST_ERR_UPDATE_FAILED = 0x7001;

struct sKestoDeviceStatus {
  std::uint32_t dwLastErr = 0;
  std::uint16_t wFWInfo = SCANNER_STATUS_READY;
  std::uint8_t bProgress = 0;  // percent, valid while wFWInfo is UPDATING
  std::uint8_t bSleep = 0;     // 1 while the device sleeps

  friend bool operator==(const sKestoDeviceStatus&,
                         const sKestoDeviceStatus&) = default;
};

sKestoDeviceStatus DecodeDeviceStatus(const std::uint8_t* reply32);
// The reserved bytes are zero.
StatusReply EncodeDeviceStatus(const sKestoDeviceStatus& status);

// Ready for an update: wFWInfo is SCANNER_STATUS_READY and dwLastErr is 0.
bool IsReadyForUpdate(const sKestoDeviceStatus& status);

struct sKestoDeviceStatusExt {
  std::uint8_t bLoginAttemptLimit = 0;
  std::uint8_t bLoginFailures = 0;
  std::uint8_t bLoginLockout = 0;

  friend bool operator==(const sKestoDeviceStatusExt&,
                         const sKestoDeviceStatusExt&) = default;
};

sKestoDeviceStatusExt DecodeDeviceStatusExt(const std::uint8_t* reply108);
StatusExtReply EncodeDeviceStatusExt(const sKestoDeviceStatusExt& status);

}  // namespace refloq::protocol
