#pragma once
// Shared by the posix and win32 socket files; not for callers.
#include <cstddef>

#include "platform/socket.h"

namespace refloq::platform::internal {

// The target's own start and end of one use of the sockets library.
bool StartSocketsLibrary();
void StopSocketsLibrary();

// listen() on a bound socket.
bool Listen(SocketHandle socket, int backlog);

// The length one Send or Receive call may move under the test cap.
std::size_t CapTransfer(std::size_t length);

}  // namespace refloq::platform::internal
