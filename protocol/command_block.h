#pragma once
// The 16-byte command block that starts every command, and the transfer
// types that fix which phases follow it.
//
// Wire layout (little-endian): 0 dwSignature (4), 4 bTransferType (1),
// 5 reserved, 6 bCommand (1), 7 reserved, 8 wParameter (2), 10 reserved (2),
// 12 dwLength (4).
#include <array>
#include <cstdint>

namespace refloq::protocol {

inline constexpr std::uint32_t kCommandBlockSize = 16;
inline constexpr std::uint32_t kCommandSignature = 560;  // 0x230

// Transfer types: the phases after the block.
// Block out, reply in (32 bytes; 108 for GET_DEVICE_STATUS_EXT).
inline constexpr std::uint8_t TRANSFER_STATUS = 18;
// Block out, 32-byte reply in, dwLength bytes of data in.
inline constexpr std::uint8_t TRANSFER_READ = 40;
// Block out, 32-byte reply in, dwLength bytes of data out.
inline constexpr std::uint8_t TRANSFER_WRITE = 42;
// Block out (no reply), dwLength bytes of data out, 32-byte reply in.
inline constexpr std::uint8_t TRANSFER_WRITE_REPLY_AFTER = 43;

using CommandBlockBytes = std::array<std::uint8_t, kCommandBlockSize>;

struct sKestoCommandBlock {
  std::uint32_t dwSignature = kCommandSignature;
  std::uint8_t bTransferType = 0;
  std::uint8_t bCommand = 0;
  std::uint16_t wParameter = 0;
  std::uint32_t dwLength = 0;

  friend bool operator==(const sKestoCommandBlock&,
                         const sKestoCommandBlock&) = default;
};

CommandBlockBytes EncodeCommandBlock(const sKestoCommandBlock& block);
sKestoCommandBlock DecodeCommandBlock(const std::uint8_t* bytes16);

// Zeroes the 16 bytes, then sets the signature and the four given fields.
void BuildCommandBlock(CommandBlockBytes& block, std::uint8_t bCommand,
                       std::uint8_t bTransferType, std::uint16_t wParameter,
                       std::uint32_t dwLength);

// True for the four transfer types above.
bool IsKnownTransferType(std::uint8_t bTransferType);

}  // namespace refloq::protocol
