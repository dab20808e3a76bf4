#pragma once
// The records and texts that commands read from and write to a scanner:
// information records 1 and 4, the extended information record, the UUID
// text, the shell command text, and the version number of a 32-bit version.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace refloq::protocol {

// Information record 1 (GET_DEVICE_INFO 1): 72 bytes; offset 24 holds an
// unsigned 32-bit value that must be 35 or more for CheckUsbInfoRecord.
inline constexpr std::uint32_t kInfoRecord1Size = 72;
inline constexpr std::uint32_t kInfoRecord1ValueOffset = 24;
inline constexpr std::uint32_t kInfoRecord1MinimumValue = 35;
using InfoRecord1 = std::array<std::uint8_t, kInfoRecord1Size>;

// Information record 4 (GET_DEVICE_INFO 4): 88 bytes; offset 24 the
// firmware version, offset 72 the firmware date stamp.
inline constexpr std::uint32_t kInfoRecord4Size = 88;
inline constexpr std::uint32_t kInfoRecord4VersionOffset = 24;
inline constexpr std::uint32_t kInfoRecord4DateOffset = 72;
using FirmwareInfoRecord = std::array<std::uint8_t, kInfoRecord4Size>;

// Extended information record (GET_EXTENDED_INFO): 15992 bytes; the byte
// at 15976 is the downgrade permission (nonzero permits).
inline constexpr std::uint32_t kExtendedInfoSize = 15992;
inline constexpr std::uint32_t kDowngradePermissionOffset = 15976;
using ExtendedInfoRecord = std::vector<std::uint8_t>;

// UUID text (GET_UUID_FROM_NVRAM): 40 single-byte characters at most,
// ended by the first zero byte.
inline constexpr std::uint32_t kUuidTextSize = 40;

// Shell command text (RUN_SHELL_COMMAND): the text, zero-padded to 256.
// The scanner runs it on its own system before it takes an image (it stops
// two of its network services); it is part of the wire format, fixed to the
// byte, and nothing on the host ever runs it.
inline constexpr std::uint32_t kShellCommandSize = 256;
inline constexpr char kShellCommandText[] =
    "killall -9 check_snmp_alive && killall snmpd";
using ShellCommandData = std::array<std::uint8_t, kShellCommandSize>;

std::uint32_t InfoRecord1Value(const InfoRecord1& record);
InfoRecord1 MakeInfoRecord1(std::uint32_t value);

struct FirmwareInfo {
  std::uint32_t version = 0;     // major in the high 16 bits, minor low
  std::uint32_t date_stamp = 0;  // compared as a whole number only
};
FirmwareInfo DecodeFirmwareInfo(const FirmwareInfoRecord& record);
FirmwareInfoRecord MakeFirmwareInfoRecord(const FirmwareInfo& info);

// A zeroed record of kExtendedInfoSize bytes.
ExtendedInfoRecord NewExtendedInfoRecord();
// The permission byte; 0 when the record is too short to hold it.
std::uint8_t DowngradePermission(const ExtendedInfoRecord& record);
ExtendedInfoRecord MakeExtendedInfoRecord(std::uint8_t downgrade_permission);

// Major + minor / 100 in double precision, kept in single precision: major
// 2 and minor 26 give 2.26f, minor 5 gives 2.05f.
float VersionNumber(std::uint32_t version);
std::uint32_t MakeVersion(std::uint16_t major, std::uint16_t minor);

// The text before the first zero byte of the 40 (all 40 when none is zero).
// Bytes above 0x7F are taken as Latin-1 and written as UTF-8 so the text
// stays valid UTF-8; a hexadecimal UUID text passes unchanged.
std::string DecodeUuidText(const std::uint8_t* data40);
// The first 40 bytes of the text, zero-padded.
std::array<std::uint8_t, kUuidTextSize> EncodeUuidText(const std::string& text);

ShellCommandData MakeShellCommandData();

}  // namespace refloq::protocol
