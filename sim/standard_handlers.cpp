#include "sim/standard_handlers.h"

#include <algorithm>
#include <cstring>

#include "protocol/byte_order.h"
#include "protocol/command_catalogue.h"
#include "sim/bytes.h"
#include "sim/digest.h"
#include "sim/login_handlers.h"

namespace refloq::sim {
namespace {

using protocol::LockKey;

std::vector<std::uint8_t> StatusBytes(const protocol::sKestoDeviceStatus& s) {
  return CopyBytes(protocol::EncodeDeviceStatus(s));
}

// The status record with another dwLastErr (a parameter the scanner does
// not know).
Response Refuse(const ScannerState& state) {
  protocol::sKestoDeviceStatus status = state.status;
  status.dwLastErr = kErrUnknownCommand;
  return {StatusBytes(status), {}};
}

template <std::size_t N>
std::vector<std::uint8_t> Bytes(const std::array<std::uint8_t, N>& array) {
  return CopyBytes(array);
}

LockKey KeyOf(std::span<const std::uint8_t> data) {
  LockKey key{};
  std::copy_n(data.begin(), std::min(data.size(), key.size()), key.begin());
  return key;
}

Response GetDeviceStatus(ScannerState&, const Request&) { return {}; }

// The 108-byte record: the status fields where the 32-byte record has them,
// and the login fields at 28, 29 and 92.
Response GetDeviceStatusExt(ScannerState& state, const Request&) {
  std::vector<std::uint8_t> reply =
      Bytes(protocol::EncodeDeviceStatusExt(state.status_ext));
  const protocol::StatusReply status =
      protocol::EncodeDeviceStatus(state.status);
  std::copy_n(status.begin(), 13, reply.begin());
  return {reply, {}};
}

Response GetDeviceInfo(ScannerState& state, const Request& request) {
  switch (request.block.wParameter) {
    case 1:
      if (!state.info_record1_readable) return {{}, {}, true};
      return {{}, Bytes(protocol::MakeInfoRecord1(state.info_record1_value))};
    case 4:
      return {{}, Bytes(protocol::MakeFirmwareInfoRecord(state.firmware_info))};
    default:
      return Refuse(state);
  }
}

Response GetUuidFromNvram(ScannerState& state, const Request&) {
  return {{}, Bytes(protocol::EncodeUuidText(state.uuid_text))};
}

Response GetExtendedInfo(ScannerState& state, const Request&) {
  return {{}, protocol::MakeExtendedInfoRecord(state.downgrade_permission)};
}

Response FirmwareTransfer(ScannerState& state, const Request& request) {
  switch (request.block.wParameter) {
    case protocol::FIRMWARE_TRANSFER_UPDATE:
    case protocol::FIRMWARE_TRANSFER_RECOVERY_IMAGE:
    case protocol::FIRMWARE_TRANSFER_RECOVERY_MODE:
      state.images.push_back({request.block.wParameter,
                              static_cast<std::uint32_t>(request.data.size()),
                              Sha256Hex(request.data)});
      return {};
    case protocol::FIRMWARE_TRANSFER_READINESS_QUERY:
      return {};
    default:
      return Refuse(state);
  }
}

Response LockFunction(ScannerState& state, const Request& request) {
  switch (request.block.wParameter) {
    case protocol::RS_LOCK_SCANNER: {
      const LockKey key = KeyOf(request.data);
      if (state.lock_key && *state.lock_key != key) {
        ++state.refused_locks;
      } else {
        state.lock_key = key;
      }
      return {};
    }
    case protocol::REFLOQ_UNLOCK_SCANNER:
      if (state.lock_key && *state.lock_key == KeyOf(request.data)) {
        state.lock_key.reset();
      } else {
        ++state.refused_unlocks;
      }
      return {};
    case 9:
      return ReceiveLockRecord(state, request);
    case 2:
      return ReceiveAttemptId(state, request);
    default:
      return Refuse(state);
  }
}

Response RunShellCommand(ScannerState& state, const Request& request) {
  const auto end = std::find(request.data.begin(), request.data.end(), 0);
  state.shell_commands.emplace_back(request.data.begin(), end);
  return {};
}

}  // namespace

std::map<std::uint8_t, CommandHandler> StandardHandlers() {
  return {
      {protocol::GET_DEVICE_STATUS, GetDeviceStatus},
      {protocol::GET_DEVICE_STATUS_EXT, GetDeviceStatusExt},
      {protocol::GET_DEVICE_INFO, GetDeviceInfo},
      {protocol::GET_UUID_FROM_NVRAM, GetUuidFromNvram},
      {protocol::GET_EXTENDED_INFO, GetExtendedInfo},
      {protocol::FIRMWARE_TRANSFER, FirmwareTransfer},
      {protocol::LOCK_FUNCTION, LockFunction},
      {protocol::LOGIN_FUNCTION, LoginFunction},
      {protocol::RUN_SHELL_COMMAND, RunShellCommand},
  };
}

}  // namespace refloq::sim
