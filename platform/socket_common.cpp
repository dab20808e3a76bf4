// The parts of the socket layer both targets share: the count of library
// uses, the listening helper and the test cap on transfers.
#include <atomic>

#include "platform/socket.h"
#include "platform/socket_internal.h"

namespace refloq::platform {
namespace {

std::atomic<std::size_t> g_transfer_limit{0};
std::atomic<int> g_library_uses{0};

}  // namespace

bool StartSockets() {
  if (!internal::StartSocketsLibrary()) return false;
  g_library_uses.fetch_add(1, std::memory_order_relaxed);
  return true;
}

void StopSockets() {
  internal::StopSocketsLibrary();
  g_library_uses.fetch_sub(1, std::memory_order_relaxed);
}

int SocketsLibraryUses() {
  return g_library_uses.load(std::memory_order_relaxed);
}

SocketHandle ListenTcp(const Ipv4Address& address, std::uint16_t port,
                       int backlog) {
  const SocketHandle listener = CreateTcpSocket();
  if (listener == kInvalidSocket) return kInvalidSocket;
  if (!SetReuseAddress(listener, true) ||
      !BindSocket(listener, address, port) ||
      !internal::Listen(listener, backlog)) {
    CloseSocket(listener);
    return kInvalidSocket;
  }
  return listener;
}

void SetTransferLimitForTesting(std::size_t bytes) {
  g_transfer_limit.store(bytes, std::memory_order_relaxed);
}

namespace internal {

std::size_t CapTransfer(std::size_t length) {
  const std::size_t limit = g_transfer_limit.load(std::memory_order_relaxed);
  return limit != 0 && length > limit ? limit : length;
}

}  // namespace internal
}  // namespace refloq::platform
