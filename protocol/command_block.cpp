#include "protocol/command_block.h"

#include "protocol/byte_order.h"

namespace refloq::protocol {

CommandBlockBytes EncodeCommandBlock(const sKestoCommandBlock& block) {
  CommandBlockBytes bytes{};
  StoreLe32(&bytes[0], block.dwSignature);
  bytes[4] = block.bTransferType;
  bytes[6] = block.bCommand;
  StoreLe16(&bytes[8], block.wParameter);
  StoreLe32(&bytes[12], block.dwLength);
  return bytes;
}

sKestoCommandBlock DecodeCommandBlock(const std::uint8_t* bytes16) {
  sKestoCommandBlock block;
  block.dwSignature = LoadLe32(&bytes16[0]);
  block.bTransferType = bytes16[4];
  block.bCommand = bytes16[6];
  block.wParameter = LoadLe16(&bytes16[8]);
  block.dwLength = LoadLe32(&bytes16[12]);
  return block;
}

void BuildCommandBlock(CommandBlockBytes& block, std::uint8_t bCommand,
                       std::uint8_t bTransferType, std::uint16_t wParameter,
                       std::uint32_t dwLength) {
  sKestoCommandBlock fields;
  fields.bTransferType = bTransferType;
  fields.bCommand = bCommand;
  fields.wParameter = wParameter;
  fields.dwLength = dwLength;
  block = EncodeCommandBlock(fields);
}

bool IsKnownTransferType(std::uint8_t bTransferType) {
  return bTransferType == TRANSFER_STATUS || bTransferType == TRANSFER_READ ||
         bTransferType == TRANSFER_WRITE ||
         bTransferType == TRANSFER_WRITE_REPLY_AFTER;
}

}  // namespace refloq::protocol
