#include "protocol/run_command.h"

#include <array>

#include "link/command_exchange.h"
#include "protocol/command_catalogue.h"
#include "protocol/device_status.h"

namespace refloq::protocol {
namespace {

// Data phases pass an empty trace path and the switch off.
constexpr std::string_view kNoTracePath;
constexpr int kTraceOff = 0;

}  // namespace

bool RunCommand(link::DeviceConnection& connection,
                const CommandBlockBytes& block, const CommandBuffers& buffers) {
  const sKestoCommandBlock fields = DecodeCommandBlock(block.data());
  std::array<std::uint8_t, kStatusExtReplySize> scratch{};
  std::uint8_t* reply = buffers.reply ? buffers.reply : scratch.data();
  const bool has_data = fields.dwLength > 0;

  switch (fields.bTransferType) {
    case TRANSFER_STATUS:
      if (StatusReplySize(fields.bCommand) == kStatusExtReplySize) {
        return link::ExchangeCommandLong(connection, block.data(), reply) == 1;
      }
      return link::ExchangeCommand(connection, block.data(), reply) == 1;
    case TRANSFER_READ:
      if (has_data && !buffers.data_in) return false;
      return link::ExchangeCommand(connection, block.data(), reply) == 1 &&
             link::ReceiveData(connection, buffers.data_in, fields.dwLength,
                               kNoTracePath, kTraceOff) == 1;
    case TRANSFER_WRITE:
      if (has_data && !buffers.data_out) return false;
      return link::ExchangeCommand(connection, block.data(), reply) == 1 &&
             link::SendData(connection, buffers.data_out, fields.dwLength,
                            kNoTracePath, kTraceOff) == 1;
    case TRANSFER_WRITE_REPLY_AFTER:
      if (has_data && !buffers.data_out) return false;
      return link::SendCommandOnly(connection, block.data()) == 1 &&
             link::SendData(connection, buffers.data_out, fields.dwLength,
                            kNoTracePath, kTraceOff) == 1 &&
             link::ReceiveData(connection, reply, kStatusReplySize,
                               kNoTracePath, kTraceOff) == 1;
    default:
      return false;
  }
}

}  // namespace refloq::protocol
