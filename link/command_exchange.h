#pragma once
// The five link operations: a command block and its fixed reply, a block
// alone, and the data phases, over TCP or USB within the connection's time
// limits.  Each returns 1 on success and 0 on failure.  The link never
// interprets the bytes it moves.
#include <cstdint>
#include <string_view>

#include "link/device_connection.h"

namespace refloq::link {

inline constexpr std::uint32_t kCommandBlockSize = 16;
inline constexpr std::uint32_t kReplySize = 32;
inline constexpr std::uint32_t kLongReplySize = 108;

int ExchangeCommand(DeviceConnection& connection, const std::uint8_t* block16,
                    std::uint8_t* reply32);
int ExchangeCommandLong(DeviceConnection& connection,
                        const std::uint8_t* block16, std::uint8_t* reply108);
int SendCommandOnly(DeviceConnection& connection, const std::uint8_t* block16);
int SendData(DeviceConnection& connection, const std::uint8_t* data,
             std::uint32_t length, std::string_view trace_path,
             int trace_switch);
int ReceiveData(DeviceConnection& connection, std::uint8_t* buffer,
                std::uint32_t length, std::string_view trace_path,
                int trace_switch);

}  // namespace refloq::link
