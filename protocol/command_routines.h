#pragma once
// The one-command routines.  Each takes the device address ("USB" exactly
// for the USB device, otherwise a dotted IPv4 address; only the first 19
// characters count), opens a connection of its own with the default time
// limits, runs its one command, and closes the connection and ends its
// sockets use on every path.  None retries, prints or traces; a failure is
// the empty text or false.
#include <string>
#include <string_view>

#include "protocol/command_block.h"
#include "protocol/device_records.h"
#include "protocol/device_status.h"
#include "protocol/run_command.h"

namespace refloq::protocol {

// The address as the routines see it: its first 19 characters.
std::string_view RoutineAddress(std::string_view address);

// Opens a connection to the address, runs one command (RunCommand), closes.
bool RunCommandOnce(std::string_view address, const CommandBlockBytes& block,
                    const CommandBuffers& buffers);

// GET_UUID_FROM_NVRAM: the UUID text, or the empty text when the block, its
// reply or any of the 40 data bytes did not arrive.
std::string ReadDeviceUuid(std::string_view address);

// GET_DEVICE_INFO record 4 into the caller's (zeroed) record.
bool ReadFirmwareInfo(std::string_view address, FirmwareInfoRecord& record);

// GET_EXTENDED_INFO into the caller's (zeroed) record, sized to 15992 bytes.
bool ReadExtendedInfo(std::string_view address, ExtendedInfoRecord& record);

// GET_DEVICE_INFO record 1, always over USB: true when it arrived and its
// value at offset 24 is 35 or more.
bool CheckUsbInfoRecord();

// GET_DEVICE_INFO record 1 over USB: true when its reply and its 72 bytes
// arrived, whatever they hold (a scanner back on working firmware).
bool IsUsbInfoReadable();

// RUN_SHELL_COMMAND: true when the block, the 256 bytes and the reply after
// them went through.
bool SendShellCommand(std::string_view address);

// GET_DEVICE_STATUS into a 32-byte reply; true when it arrived whole.
bool ReadDeviceStatus(std::string_view address, StatusReply& reply);

// GET_DEVICE_STATUS_EXT into a 108-byte reply; true when it arrived whole.
bool ReadDeviceStatusExt(std::string_view address, StatusExtReply& reply);

}  // namespace refloq::protocol
