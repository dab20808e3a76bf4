#include "protocol/command_catalogue.h"

#include <array>
#include <string>

namespace refloq::protocol {
namespace {

constexpr std::array kCatalogue{
    CatalogueEntry{"GET_DEVICE_STATUS", kGetDeviceStatus},
    CatalogueEntry{"GET_DEVICE_STATUS_EXT", kGetDeviceStatusExt},
    CatalogueEntry{"GET_DEVICE_INFO 1", kGetDeviceInfoRecord1},
    CatalogueEntry{"GET_DEVICE_INFO 4", kGetDeviceInfoRecord4},
    CatalogueEntry{"GET_UUID_FROM_NVRAM", kGetUuidFromNvram},
    CatalogueEntry{"GET_EXTENDED_INFO", kGetExtendedInfo},
    CatalogueEntry{"FIRMWARE_TRANSFER update", kFirmwareTransferUpdate},
    CatalogueEntry{"FIRMWARE_TRANSFER recovery image",
                   kFirmwareTransferRecoveryImage},
    CatalogueEntry{"FIRMWARE_TRANSFER recovery-mode update",
                   kFirmwareTransferRecoveryMode},
    CatalogueEntry{"FIRMWARE_TRANSFER readiness query",
                   kFirmwareReadinessQuery},
    CatalogueEntry{"RS_LOCK_SCANNER", kRsLockScanner},
    CatalogueEntry{"REFLOQ_UNLOCK_SCANNER", kRefloqUnlockScanner},
    CatalogueEntry{"LOCK_FUNCTION 9", kLockFunction9},
    CatalogueEntry{"LOCK_FUNCTION 2", kLockFunction2},
    CatalogueEntry{"LOGIN_FUNCTION 1", kLoginFunction1},
    CatalogueEntry{"LOGIN_FUNCTION 2", kLoginFunction2},
    CatalogueEntry{"LOGIN_FUNCTION 3", kLoginFunction3},
    CatalogueEntry{"RUN_SHELL_COMMAND", kRunShellCommand},
};

}  // namespace

std::span<const CatalogueEntry> CommandCatalogue() { return kCatalogue; }

std::string CommandName(std::uint8_t bCommand, std::uint16_t wParameter) {
  for (const CatalogueEntry& entry : kCatalogue) {
    if (entry.definition.bCommand == bCommand &&
        entry.definition.wParameter == wParameter) {
      return std::string(entry.name);
    }
  }
  return "COMMAND " + std::to_string(bCommand) + " " +
         std::to_string(wParameter);
}

CommandBlockBytes BuildCommandBlock(const CommandDefinition& definition) {
  CommandBlockBytes block{};
  BuildCommandBlock(block, definition.bCommand, definition.bTransferType,
                    definition.wParameter, definition.dwLength);
  return block;
}

std::uint32_t StatusReplySize(std::uint8_t bCommand) {
  return bCommand == GET_DEVICE_STATUS_EXT ? 108 : 32;
}

}  // namespace refloq::protocol
