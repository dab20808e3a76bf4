// Winsock 2.2.
#include "platform/socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <climits>
#include <cstring>

#include "platform/clock.h"
#include "platform/socket_internal.h"

namespace refloq::platform {
namespace {

SOCKET Sock(SocketHandle socket) { return static_cast<SOCKET>(socket); }

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

bool SetOption(SocketHandle socket, int level, int name, const void* value,
               int size) {
  return setsockopt(Sock(socket), level, name, static_cast<const char*>(value),
                    size) == 0;
}

bool SetDwordOption(SocketHandle socket, int level, int name, DWORD value) {
  return SetOption(socket, level, name, &value, sizeof value);
}

timeval RealTimeval(std::uint32_t timeout_ms) {
  const std::uint32_t real = Clock::ToRealMs(timeout_ms);
  timeval tv{};
  tv.tv_sec = static_cast<long>(real / 1000);
  tv.tv_usec = static_cast<long>((real % 1000) * 1000);
  return tv;
}

// An fd_set holding one socket (the FD_SET macro's casts trip our warnings).
fd_set OneSocket(SocketHandle socket) {
  fd_set set{};
  set.fd_count = 1;
  set.fd_array[0] = Sock(socket);
  return set;
}

int CapToInt(std::size_t length) {
  return static_cast<int>(length > INT_MAX ? INT_MAX : length);
}

}  // namespace

namespace internal {

// Winsock counts its starts and ends per process.
bool StartSocketsLibrary() {
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

void StopSocketsLibrary() { WSACleanup(); }

}  // namespace internal

SocketHandle CreateTcpSocket() {
  return static_cast<SocketHandle>(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
}

bool SetNonBlocking(SocketHandle socket, bool non_blocking) {
  u_long mode = non_blocking ? 1 : 0;
  return ioctlsocket(Sock(socket), static_cast<long>(FIONBIO), &mode) == 0;
}

void StartConnect(SocketHandle socket, const Ipv4Address& address,
                  std::uint16_t port) {
  const sockaddr_in target = MakeAddress(address, port);
  (void)connect(Sock(socket), reinterpret_cast<const sockaddr*>(&target),
                sizeof target);
}

bool WaitConnected(SocketHandle socket, std::uint32_t timeout_ms) {
  // A finished connect shows in the write set, a refused one in the
  // exception set.
  fd_set writable = OneSocket(socket);
  fd_set failed = OneSocket(socket);
  timeval tv = RealTimeval(timeout_ms);
  if (select(0, nullptr, &writable, &failed, &tv) <= 0) return false;
  return writable.fd_count == 1 && failed.fd_count == 0;
}

bool SetSendTimeout(SocketHandle socket, std::uint32_t timeout_ms) {
  return SetDwordOption(socket, SOL_SOCKET, SO_SNDTIMEO,
                        Clock::ToRealMs(timeout_ms));
}

bool SetReceiveTimeout(SocketHandle socket, std::uint32_t timeout_ms) {
  return SetDwordOption(socket, SOL_SOCKET, SO_RCVTIMEO,
                        Clock::ToRealMs(timeout_ms));
}

bool HasSendTimeout(SocketHandle socket) {
  DWORD value = 0;
  int size = sizeof value;
  return getsockopt(Sock(socket), SOL_SOCKET, SO_SNDTIMEO,
                    reinterpret_cast<char*>(&value), &size) == 0 &&
         value != 0;
}

bool SetSendBufferSize(SocketHandle socket, int bytes) {
  // 0 means no buffering in Winsock: send works from the caller's buffer.
  return SetOption(socket, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

bool SetNoDelay(SocketHandle socket, bool on) {
  const BOOL value = on ? TRUE : FALSE;
  return SetOption(socket, IPPROTO_TCP, TCP_NODELAY, &value, sizeof value);
}

void ShutdownBoth(SocketHandle socket) {
  (void)shutdown(Sock(socket), SD_BOTH);
}

void CloseSocket(SocketHandle socket) {
  if (socket != kInvalidSocket) (void)closesocket(Sock(socket));
}

std::int64_t Send(SocketHandle socket, const std::uint8_t* data,
                  std::size_t length) {
  const int sent = send(Sock(socket), reinterpret_cast<const char*>(data),
                        CapToInt(internal::CapTransfer(length)), 0);
  return sent == SOCKET_ERROR ? -1 : sent;
}

std::int64_t Receive(SocketHandle socket, std::uint8_t* buffer,
                     std::size_t length) {
  if (length == 0) return 0;
  const int got = recv(Sock(socket), reinterpret_cast<char*>(buffer),
                       CapToInt(internal::CapTransfer(length)), 0);
  return got == SOCKET_ERROR ? -1 : got;
}

bool WaitReadable(SocketHandle socket, std::uint32_t timeout_ms) {
  fd_set readable = OneSocket(socket);
  timeval tv = RealTimeval(timeout_ms);
  return select(0, &readable, nullptr, nullptr, &tv) == 1 &&
         readable.fd_count == 1;
}

namespace internal {

bool Listen(SocketHandle socket, int backlog) {
  return listen(Sock(socket), backlog) == 0;
}

}  // namespace internal

SocketHandle AcceptTcp(SocketHandle listener, std::uint32_t timeout_ms) {
  if (!WaitReadable(listener, timeout_ms)) return kInvalidSocket;
  return static_cast<SocketHandle>(accept(Sock(listener), nullptr, nullptr));
}

std::uint16_t LocalPort(SocketHandle socket) {
  sockaddr_in local{};
  int size = sizeof local;
  if (getsockname(Sock(socket), reinterpret_cast<sockaddr*>(&local), &size) !=
      0) {
    return 0;
  }
  return ntohs(local.sin_port);
}

SocketHandle CreateUdpSocket() {
  return static_cast<SocketHandle>(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
}

bool SetReuseAddress(SocketHandle socket, bool on) {
  const BOOL value = on ? TRUE : FALSE;
  return SetOption(socket, SOL_SOCKET, SO_REUSEADDR, &value, sizeof value);
}

bool BindSocket(SocketHandle socket, const Ipv4Address& address,
                std::uint16_t port) {
  const sockaddr_in local = MakeAddress(address, port);
  return bind(Sock(socket), reinterpret_cast<const sockaddr*>(&local),
              sizeof local) == 0;
}

std::int64_t SendTo(SocketHandle socket, const std::uint8_t* data,
                    std::size_t length, const Ipv4Address& address,
                    std::uint16_t port) {
  const sockaddr_in target = MakeAddress(address, port);
  const int sent = sendto(
      Sock(socket), reinterpret_cast<const char*>(data), CapToInt(length), 0,
      reinterpret_cast<const sockaddr*>(&target), sizeof target);
  return sent == SOCKET_ERROR ? -1 : sent;
}

Datagram ReceiveFrom(SocketHandle socket, std::uint8_t* buffer,
                     std::size_t length, std::uint32_t timeout_ms) {
  Datagram out;
  if (!WaitReadable(socket, timeout_ms)) return out;
  sockaddr_in from{};
  int size = sizeof from;
  const int got =
      recvfrom(Sock(socket), reinterpret_cast<char*>(buffer), CapToInt(length),
               0, reinterpret_cast<sockaddr*>(&from), &size);
  if (got == SOCKET_ERROR) return out;
  out.count = got;
  std::memcpy(out.from.data(), &from.sin_addr, 4);
  out.from_port = ntohs(from.sin_port);
  return out;
}

bool JoinMulticastGroup(SocketHandle socket, const Ipv4Address& group,
                        const Ipv4Address& interface_address) {
  ip_mreq request{};
  request.imr_multiaddr = MakeInAddr(group);
  request.imr_interface = MakeInAddr(interface_address);
  return SetOption(socket, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request,
                   sizeof request);
}

bool SetMulticastInterface(SocketHandle socket,
                           const Ipv4Address& interface_address) {
  const in_addr local = MakeInAddr(interface_address);
  return SetOption(socket, IPPROTO_IP, IP_MULTICAST_IF, &local, sizeof local);
}

bool SetMulticastLoop(SocketHandle socket, bool on) {
  return SetDwordOption(socket, IPPROTO_IP, IP_MULTICAST_LOOP, on ? 1 : 0);
}

bool SetMulticastTtl(SocketHandle socket, int ttl) {
  return SetDwordOption(socket, IPPROTO_IP, IP_MULTICAST_TTL,
                        static_cast<DWORD>(ttl));
}

}  // namespace refloq::platform
