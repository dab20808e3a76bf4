#pragma once
// Everything one simulated scanner remembers.  Plain data: the engine keeps
// it under its lock and hands it to the command handlers, which read and
// change it.  Later features (login, update timeline, recovery) add their
// fields here and their handlers in the engine's table.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/device_records.h"
#include "protocol/device_status.h"
#include "protocol/lock_key.h"
#include "sim/login_state.h"

namespace refloq::sim {

// A firmware image that arrived in a FIRMWARE_TRANSFER data phase.
struct ReceivedImage {
  std::uint16_t wParameter = 0;  // update, recovery image, recovery mode
  std::uint32_t length = 0;
  std::string sha256;  // lower-case hexadecimal
};

struct ScannerState {
  // The status record of every reply.
  protocol::sKestoDeviceStatus status;
  // The login fields of the 108-byte extended status record.
  protocol::sKestoDeviceStatusExt status_ext;

  // GET_UUID_FROM_NVRAM text (braced form, as the scanner reports it).
  std::string uuid_text = "{5CA77E55-0000-4000-8000-000000000001}";
  // Information record 1, value at offset 24.
  std::uint32_t info_record1_value = 40;
  // False while the scanner cannot deliver information record 1 (its
  // recovery firmware, or a return without it): the reply comes, then the
  // connection closes.
  bool info_record1_readable = true;
  // Information record 4: version 2.30, date stamp 2018-05-27 10:00.
  protocol::FirmwareInfo firmware_info{protocol::MakeVersion(2, 30),
                                       0x18051B0A};
  // Extended information record, byte 15976.
  std::uint8_t downgrade_permission = 0;

  // USB identity and the control-pipe lock (vendor requests 1 and 2).
  std::uint16_t usb_vendor_id = 0x2F4E;
  std::uint16_t usb_product_id = 0x8800;
  std::uint8_t control_pipe_result = 0;  // byte 4 of the vendor reply
  bool control_pipe_locked = false;

  // The key of the current scanner lock; an unlock with another key is
  // refused and counted.
  std::optional<protocol::LockKey> lock_key;
  std::uint32_t refused_locks = 0;
  std::uint32_t refused_unlocks = 0;

  // RUN_SHELL_COMMAND texts received, in order.
  std::vector<std::string> shell_commands;
  // FIRMWARE_TRANSFER images received, in order.
  std::vector<ReceivedImage> images;

  // The login side: password, login mode, challenge, lock records and
  // attempt ids (sim/login_handlers.h); the lock-out rule is status_ext.
  LoginState login;
};

// A braced UUID text that differs by `n` (scanner-sim numbers its fleet).
std::string NumberedUuidText(std::uint32_t n);

}  // namespace refloq::sim
