#include "protocol/device_records.h"

#include <algorithm>
#include <cstring>

#include "protocol/byte_order.h"

namespace refloq::protocol {

std::uint32_t InfoRecord1Value(const InfoRecord1& record) {
  return LoadLe32(&record[kInfoRecord1ValueOffset]);
}

InfoRecord1 MakeInfoRecord1(std::uint32_t value) {
  InfoRecord1 record{};
  StoreLe32(&record[kInfoRecord1ValueOffset], value);
  return record;
}

FirmwareInfo DecodeFirmwareInfo(const FirmwareInfoRecord& record) {
  return {LoadLe32(&record[kInfoRecord4VersionOffset]),
          LoadLe32(&record[kInfoRecord4DateOffset])};
}

FirmwareInfoRecord MakeFirmwareInfoRecord(const FirmwareInfo& info) {
  FirmwareInfoRecord record{};
  StoreLe32(&record[kInfoRecord4VersionOffset], info.version);
  StoreLe32(&record[kInfoRecord4DateOffset], info.date_stamp);
  return record;
}

ExtendedInfoRecord NewExtendedInfoRecord() {
  return ExtendedInfoRecord(kExtendedInfoSize, 0);
}

std::uint8_t DowngradePermission(const ExtendedInfoRecord& record) {
  return record.size() > kDowngradePermissionOffset
             ? record[kDowngradePermissionOffset]
             : 0;
}

ExtendedInfoRecord MakeExtendedInfoRecord(std::uint8_t downgrade_permission) {
  ExtendedInfoRecord record = NewExtendedInfoRecord();
  record[kDowngradePermissionOffset] = downgrade_permission;
  return record;
}

float VersionNumber(std::uint32_t version) {
  const std::uint32_t major = version >> 16;
  const std::uint32_t minor = version & 0xFFFF;
  return static_cast<float>(minor / 100.0 + major);
}

std::uint32_t MakeVersion(std::uint16_t major, std::uint16_t minor) {
  return (static_cast<std::uint32_t>(major) << 16) | minor;
}

std::string DecodeUuidText(const std::uint8_t* data40) {
  std::string text;
  for (std::uint32_t i = 0; i < kUuidTextSize && data40[i] != 0; ++i) {
    const std::uint8_t byte = data40[i];
    if (byte < 0x80) {
      text.push_back(static_cast<char>(byte));
    } else {
      text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return text;
}

std::array<std::uint8_t, kUuidTextSize> EncodeUuidText(
    const std::string& text) {
  std::array<std::uint8_t, kUuidTextSize> data{};
  std::memcpy(data.data(), text.data(),
              std::min<std::size_t>(text.size(), kUuidTextSize));
  return data;
}

ShellCommandData MakeShellCommandData() {
  ShellCommandData data{};
  std::memcpy(data.data(), kShellCommandText, sizeof(kShellCommandText) - 1);
  return data;
}

}  // namespace refloq::protocol
