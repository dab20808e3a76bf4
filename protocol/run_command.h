#pragma once
// Runs one command on an open connection, in the phase order of its
// transfer type:
//   TRANSFER_STATUS             ExchangeCommand (ExchangeCommandLong for the
//                               108-byte GET_DEVICE_STATUS_EXT reply)
//   TRANSFER_READ               ExchangeCommand, ReceiveData of dwLength
//   TRANSFER_WRITE              ExchangeCommand, SendData of dwLength
//   TRANSFER_WRITE_REPLY_AFTER  SendCommandOnly, SendData of dwLength,
//                               ReceiveData of the 32-byte reply
// The first phase that fails ends the command; later phases are not run.
#include <cstdint>

#include "link/device_connection.h"
#include "protocol/command_block.h"

namespace refloq::protocol {

struct CommandBuffers {
  // The reply: 32 bytes, or 108 for GET_DEVICE_STATUS_EXT.  May be null
  // when the caller does not read it (it must still arrive whole).
  std::uint8_t* reply = nullptr;
  // dwLength bytes to send (TRANSFER_WRITE, TRANSFER_WRITE_REPLY_AFTER).
  const std::uint8_t* data_out = nullptr;
  // dwLength bytes of room for TRANSFER_READ.
  std::uint8_t* data_in = nullptr;
};

// True when every phase moved its full byte count.  False also for an
// unknown transfer type or a missing data buffer, without sending anything.
bool RunCommand(link::DeviceConnection& connection,
                const CommandBlockBytes& block, const CommandBuffers& buffers);

}  // namespace refloq::protocol
