#include "update/downgrade_guard.h"

#include "protocol/command_routines.h"

namespace refloq::update {

bool DowngradePermitted(const protocol::FirmwareInfoRecord& info,
                        const protocol::ExtendedInfoRecord& extended) {
  if (protocol::DowngradePermission(extended) != 0) return true;
  const protocol::FirmwareInfo firmware = protocol::DecodeFirmwareInfo(info);
  // Compared in single precision, as the version number is kept.
  if (protocol::VersionNumber(firmware.version) < kGuardedVersion) return true;
  return firmware.date_stamp < kGuardedDateStamp;
}

bool PassesDowngradeGuard(std::string_view address) {
  protocol::FirmwareInfoRecord info{};
  if (!protocol::ReadFirmwareInfo(address, info)) return false;
  protocol::ExtendedInfoRecord extended = protocol::NewExtendedInfoRecord();
  if (!protocol::ReadExtendedInfo(address, extended)) return false;
  return DowngradePermitted(info, extended);
}

}  // namespace refloq::update
