#pragma once
// BSD sockets and Winsock 2.2 behind one small interface.
// (The full interface arrives with the device link.)
#include <cstdint>

namespace refloq::platform {

using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle kInvalidSocket = ~SocketHandle{0};

}  // namespace refloq::platform
