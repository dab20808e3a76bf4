// BSD sockets.
#include "platform/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/clock.h"
#include "platform/socket_internal.h"

namespace refloq::platform {
namespace {

int Fd(SocketHandle socket) { return static_cast<int>(socket); }

SocketHandle Handle(int fd) {
  return fd < 0 ? kInvalidSocket : static_cast<SocketHandle>(fd);
}

sockaddr_in MakeAddress(const Ipv4Address& address, std::uint16_t port) {
  sockaddr_in out{};
  out.sin_family = AF_INET;
  out.sin_port = htons(port);
  std::memcpy(&out.sin_addr, address.data(), 4);
  return out;
}

in_addr MakeInAddr(const Ipv4Address& address) {
  in_addr out{};
  std::memcpy(&out, address.data(), 4);
  return out;
}

bool SetIntOption(SocketHandle socket, int level, int name, int value) {
  return setsockopt(Fd(socket), level, name, &value, sizeof value) == 0;
}

bool SetTimeout(SocketHandle socket, int name, std::uint32_t timeout_ms) {
  const std::uint32_t real = Clock::ToRealMs(timeout_ms);
  timeval tv{};
  tv.tv_sec = static_cast<time_t>(real / 1000);
  tv.tv_usec = static_cast<suseconds_t>((real % 1000) * 1000);
  return setsockopt(Fd(socket), SOL_SOCKET, name, &tv, sizeof tv) == 0;
}

// poll() for one event, restarted after a signal; true when it came.
bool WaitFor(SocketHandle socket, short events, std::uint32_t timeout_ms,
             short* revents) {
  pollfd entry{Fd(socket), events, 0};
  const int real = static_cast<int>(Clock::ToRealMs(timeout_ms));
  int result;
  do {
    result = poll(&entry, 1, real);
  } while (result < 0 && errno == EINTR);
  if (revents) *revents = entry.revents;
  return result > 0;
}

}  // namespace

namespace internal {

// BSD sockets need no start.
bool StartSocketsLibrary() { return true; }
void StopSocketsLibrary() {}

}  // namespace internal

SocketHandle CreateTcpSocket() {
  return Handle(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
}

bool SetNonBlocking(SocketHandle socket, bool non_blocking) {
  const int flags = fcntl(Fd(socket), F_GETFL);
  if (flags < 0) return false;
  const int wanted = non_blocking ? flags | O_NONBLOCK : flags & ~O_NONBLOCK;
  return fcntl(Fd(socket), F_SETFL, wanted) == 0;
}

void StartConnect(SocketHandle socket, const Ipv4Address& address,
                  std::uint16_t port) {
  const sockaddr_in target = MakeAddress(address, port);
  (void)connect(Fd(socket), reinterpret_cast<const sockaddr*>(&target),
                sizeof target);
}

bool WaitConnected(SocketHandle socket, std::uint32_t timeout_ms) {
  short revents = 0;
  if (!WaitFor(socket, POLLOUT, timeout_ms, &revents)) return false;
  // A refused connect also shows the socket writable here (Windows reports
  // it in the exception set instead): the pending error tells them apart.
  int error = 0;
  socklen_t size = sizeof error;
  if (getsockopt(Fd(socket), SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
    return false;
  }
  return error == 0 && (revents & POLLOUT) != 0;
}

bool SetSendTimeout(SocketHandle socket, std::uint32_t timeout_ms) {
  return SetTimeout(socket, SO_SNDTIMEO, timeout_ms);
}

bool SetReceiveTimeout(SocketHandle socket, std::uint32_t timeout_ms) {
  return SetTimeout(socket, SO_RCVTIMEO, timeout_ms);
}

bool HasSendTimeout(SocketHandle socket) {
  timeval tv{};
  socklen_t size = sizeof tv;
  return getsockopt(Fd(socket), SOL_SOCKET, SO_SNDTIMEO, &tv, &size) == 0 &&
         (tv.tv_sec != 0 || tv.tv_usec != 0);
}

bool SetSendBufferSize(SocketHandle socket, int bytes) {
  // Windows takes SO_SNDBUF 0 as "send straight from the caller's buffer".
  // Linux has no such mode: it clamps the request to its minimum (4608
  // bytes read back), and over loopback one 40 MiB send then took 25 s
  // (1.6 MiB/s) against 0.03 s with the kernel's own sizing
  // (refloq_sndbuf_bench, docs/BENCHMARKS.md), far past the 12 s send
  // time-out a firmware transfer runs under.  So on Linux a request for 0
  // keeps the kernel's sizing (the data still goes in one send call, as on
  // Windows) and only other sizes are passed on.
  if (bytes == 0) {
    int current = 0;
    socklen_t size = sizeof current;
    return getsockopt(Fd(socket), SOL_SOCKET, SO_SNDBUF, &current, &size) == 0;
  }
  return SetIntOption(socket, SOL_SOCKET, SO_SNDBUF, bytes);
}

bool SetNoDelay(SocketHandle socket, bool on) {
  return SetIntOption(socket, IPPROTO_TCP, TCP_NODELAY, on ? 1 : 0);
}

void ShutdownBoth(SocketHandle socket) {
  (void)shutdown(Fd(socket), SHUT_RDWR);
}

void CloseSocket(SocketHandle socket) {
  if (socket != kInvalidSocket) (void)close(Fd(socket));
}

std::int64_t Send(SocketHandle socket, const std::uint8_t* data,
                  std::size_t length) {
  ssize_t sent;
  do {
    sent = send(Fd(socket), data, internal::CapTransfer(length), MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent;
}

std::int64_t Receive(SocketHandle socket, std::uint8_t* buffer,
                     std::size_t length) {
  // A blocking recv of 0 bytes waits for data on Linux; Winsock returns at
  // once.  Both targets return at once.
  if (length == 0) return 0;
  ssize_t got;
  do {
    got = recv(Fd(socket), buffer, internal::CapTransfer(length), 0);
  } while (got < 0 && errno == EINTR);
  return got;
}

bool WaitReadable(SocketHandle socket, std::uint32_t timeout_ms) {
  return WaitFor(socket, POLLIN, timeout_ms, nullptr);
}

namespace internal {

bool Listen(SocketHandle socket, int backlog) {
  return listen(Fd(socket), backlog) == 0;
}

}  // namespace internal

SocketHandle AcceptTcp(SocketHandle listener, std::uint32_t timeout_ms) {
  if (!WaitFor(listener, POLLIN, timeout_ms, nullptr)) return kInvalidSocket;
  return Handle(accept4(Fd(listener), nullptr, nullptr, SOCK_CLOEXEC));
}

std::uint16_t LocalPort(SocketHandle socket) {
  sockaddr_in local{};
  socklen_t size = sizeof local;
  if (getsockname(Fd(socket), reinterpret_cast<sockaddr*>(&local), &size) !=
      0) {
    return 0;
  }
  return ntohs(local.sin_port);
}

SocketHandle CreateUdpSocket() {
  return Handle(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP));
}

bool SetReuseAddress(SocketHandle socket, bool on) {
  return SetIntOption(socket, SOL_SOCKET, SO_REUSEADDR, on ? 1 : 0);
}

bool BindSocket(SocketHandle socket, const Ipv4Address& address,
                std::uint16_t port) {
  const sockaddr_in local = MakeAddress(address, port);
  return bind(Fd(socket), reinterpret_cast<const sockaddr*>(&local),
              sizeof local) == 0;
}

std::int64_t SendTo(SocketHandle socket, const std::uint8_t* data,
                    std::size_t length, const Ipv4Address& address,
                    std::uint16_t port) {
  const sockaddr_in target = MakeAddress(address, port);
  return sendto(Fd(socket), data, length, MSG_NOSIGNAL,
                reinterpret_cast<const sockaddr*>(&target), sizeof target);
}

Datagram ReceiveFrom(SocketHandle socket, std::uint8_t* buffer,
                     std::size_t length, std::uint32_t timeout_ms) {
  Datagram out;
  if (!WaitFor(socket, POLLIN, timeout_ms, nullptr)) return out;
  sockaddr_in from{};
  socklen_t size = sizeof from;
  out.count = recvfrom(Fd(socket), buffer, length, 0,
                       reinterpret_cast<sockaddr*>(&from), &size);
  if (out.count >= 0) {
    std::memcpy(out.from.data(), &from.sin_addr, 4);
    out.from_port = ntohs(from.sin_port);
  }
  return out;
}

bool JoinMulticastGroup(SocketHandle socket, const Ipv4Address& group,
                        const Ipv4Address& interface_address) {
  ip_mreq request{};
  request.imr_multiaddr = MakeInAddr(group);
  request.imr_interface = MakeInAddr(interface_address);
  return setsockopt(Fd(socket), IPPROTO_IP, IP_ADD_MEMBERSHIP, &request,
                    sizeof request) == 0;
}

bool SetMulticastInterface(SocketHandle socket,
                           const Ipv4Address& interface_address) {
  const in_addr local = MakeInAddr(interface_address);
  return setsockopt(Fd(socket), IPPROTO_IP, IP_MULTICAST_IF, &local,
                    sizeof local) == 0;
}

bool SetMulticastLoop(SocketHandle socket, bool on) {
  const unsigned char value = on ? 1 : 0;
  return setsockopt(Fd(socket), IPPROTO_IP, IP_MULTICAST_LOOP, &value,
                    sizeof value) == 0;
}

bool SetMulticastTtl(SocketHandle socket, int ttl) {
  const unsigned char value = static_cast<unsigned char>(ttl);
  return setsockopt(Fd(socket), IPPROTO_IP, IP_MULTICAST_TTL, &value,
                    sizeof value) == 0;
}

}  // namespace refloq::platform
