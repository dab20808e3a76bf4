#pragma once
// Every command the tool sends: its command code, parameter, transfer type
// and the byte count of its data phase (or of its reply for
// TRANSFER_STATUS).  Commands whose data length varies (the firmware image,
// the login answer) carry 0 here; WithLength() sets it.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "protocol/command_block.h"

namespace refloq::protocol {

// Command codes (bCommand).
inline constexpr std::uint8_t GET_DEVICE_INFO = 1;
inline constexpr std::uint8_t GET_DEVICE_STATUS = 2;
inline constexpr std::uint8_t FIRMWARE_TRANSFER = 8;
inline constexpr std::uint8_t GET_UUID_FROM_NVRAM = 16;
inline constexpr std::uint8_t GET_DEVICE_STATUS_EXT = 123;
inline constexpr std::uint8_t LOCK_FUNCTION = 152;
inline constexpr std::uint8_t GET_EXTENDED_INFO = 154;
inline constexpr std::uint8_t LOGIN_FUNCTION = 185;
inline constexpr std::uint8_t RUN_SHELL_COMMAND = 230;

// Parameters (wParameter) with a name of their own.
inline constexpr std::uint16_t RS_LOCK_SCANNER = 7;        // LOCK_FUNCTION 7
inline constexpr std::uint16_t REFLOQ_UNLOCK_SCANNER = 8;  // LOCK_FUNCTION 8
inline constexpr std::uint16_t FIRMWARE_TRANSFER_UPDATE = 0x0101;
inline constexpr std::uint16_t FIRMWARE_TRANSFER_RECOVERY_IMAGE = 2;
inline constexpr std::uint16_t FIRMWARE_TRANSFER_RECOVERY_MODE = 4;
inline constexpr std::uint16_t FIRMWARE_TRANSFER_READINESS_QUERY = 32;

struct CommandDefinition {
  std::uint8_t bCommand = 0;
  std::uint16_t wParameter = 0;
  std::uint8_t bTransferType = 0;
  std::uint32_t dwLength = 0;

  constexpr CommandDefinition WithLength(std::uint32_t length) const {
    return {bCommand, wParameter, bTransferType, length};
  }
  friend constexpr bool operator==(const CommandDefinition&,
                                   const CommandDefinition&) = default;
};

inline constexpr CommandDefinition kGetDeviceStatus{GET_DEVICE_STATUS, 0,
                                                    TRANSFER_STATUS, 32};
inline constexpr CommandDefinition kGetDeviceStatusExt{GET_DEVICE_STATUS_EXT, 0,
                                                       TRANSFER_STATUS, 108};
inline constexpr CommandDefinition kGetDeviceInfoRecord1{GET_DEVICE_INFO, 1,
                                                         TRANSFER_READ, 72};
inline constexpr CommandDefinition kGetDeviceInfoRecord4{GET_DEVICE_INFO, 4,
                                                         TRANSFER_READ, 88};
inline constexpr CommandDefinition kGetUuidFromNvram{GET_UUID_FROM_NVRAM, 240,
                                                     TRANSFER_READ, 40};
inline constexpr CommandDefinition kGetExtendedInfo{GET_EXTENDED_INFO, 2,
                                                    TRANSFER_READ, 15992};
// The image length goes into dwLength (WithLength).
inline constexpr CommandDefinition kFirmwareTransferUpdate{
    FIRMWARE_TRANSFER, FIRMWARE_TRANSFER_UPDATE, TRANSFER_WRITE_REPLY_AFTER, 0};
inline constexpr CommandDefinition kFirmwareTransferRecoveryImage{
    FIRMWARE_TRANSFER, FIRMWARE_TRANSFER_RECOVERY_IMAGE, TRANSFER_WRITE, 0};
inline constexpr CommandDefinition kFirmwareTransferRecoveryMode{
    FIRMWARE_TRANSFER, FIRMWARE_TRANSFER_RECOVERY_MODE, TRANSFER_WRITE, 0};
// Type 18 with dwLength 0, yet a 32-byte reply follows.
inline constexpr CommandDefinition kFirmwareReadinessQuery{
    FIRMWARE_TRANSFER, FIRMWARE_TRANSFER_READINESS_QUERY, TRANSFER_STATUS, 0};
inline constexpr CommandDefinition kRsLockScanner{
    LOCK_FUNCTION, RS_LOCK_SCANNER, TRANSFER_WRITE, 80};
inline constexpr CommandDefinition kRefloqUnlockScanner{
    LOCK_FUNCTION, REFLOQ_UNLOCK_SCANNER, TRANSFER_WRITE, 80};
inline constexpr CommandDefinition kLockFunction9{
    LOCK_FUNCTION, 9, TRANSFER_WRITE_REPLY_AFTER, 80};
inline constexpr CommandDefinition kLockFunction2{LOCK_FUNCTION, 2,
                                                  TRANSFER_WRITE, 40};
inline constexpr CommandDefinition kLoginFunction1{LOGIN_FUNCTION, 1,
                                                   TRANSFER_READ, 4};
inline constexpr CommandDefinition kLoginFunction2{LOGIN_FUNCTION, 2,
                                                   TRANSFER_READ, 132};
// The answer's length goes into dwLength (WithLength).
inline constexpr CommandDefinition kLoginFunction3{
    LOGIN_FUNCTION, 3, TRANSFER_WRITE_REPLY_AFTER, 0};
inline constexpr CommandDefinition kRunShellCommand{
    RUN_SHELL_COMMAND, 0, TRANSFER_WRITE_REPLY_AFTER, 256};

struct CatalogueEntry {
  std::string_view name;
  CommandDefinition definition;
};

// The whole catalogue in one table, for the simulator's printout and tests.
std::span<const CatalogueEntry> CommandCatalogue();

// The catalogue name of a command and parameter ("GET_DEVICE_INFO 4"), or
// "COMMAND <code> <parameter>" for one that is not in it.
std::string CommandName(std::uint8_t bCommand, std::uint16_t wParameter);

// The block of a catalogue command.
CommandBlockBytes BuildCommandBlock(const CommandDefinition& definition);

// Bytes of the reply that follows the block of a TRANSFER_STATUS command:
// 108 for GET_DEVICE_STATUS_EXT, 32 otherwise.
std::uint32_t StatusReplySize(std::uint8_t bCommand);

}  // namespace refloq::protocol
