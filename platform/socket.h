#pragma once
// BSD sockets and Winsock 2.2 behind one small interface: what the device
// link, the discovery code, the simulator and the test peers need.
//
// Every time limit here is in scaled milliseconds (platform/clock.h) and is
// handed to the operating system through Clock::ToRealMs.  Results are plain
// values: a failed call returns false, kInvalidSocket or -1.
#include <array>
#include <cstddef>
#include <cstdint>

namespace refloq::platform {

using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle kInvalidSocket = ~SocketHandle{0};

// An IPv4 address as its four bytes in wire order (a.b.c.d is {a, b, c, d}).
using Ipv4Address = std::array<std::uint8_t, 4>;
inline constexpr Ipv4Address kLoopbackAddress = {127, 0, 0, 1};
inline constexpr Ipv4Address kAnyAddress = {0, 0, 0, 0};

// Starts one use of the sockets library (WSAStartup 2.2 on Windows; the
// library counts starts per process).  Nothing to do on Linux.
bool StartSockets();
// Ends one use started by StartSockets (WSACleanup).
void StopSockets();
// Uses started and not yet ended in this process (tests).
int SocketsLibraryUses();

// --- TCP -------------------------------------------------------------------

SocketHandle CreateTcpSocket();
bool SetNonBlocking(SocketHandle socket, bool non_blocking);
// Starts a connect; the result is not reported (a non-blocking connect
// normally says it would block).  WaitConnected tells how it ended.
void StartConnect(SocketHandle socket, const Ipv4Address& address,
                  std::uint16_t port);
// Waits at most timeout_ms for a started connect to finish.  True only when
// the socket is connected: a refusal fails as soon as it is reported.
bool WaitConnected(SocketHandle socket, std::uint32_t timeout_ms);
bool SetSendTimeout(SocketHandle socket, std::uint32_t timeout_ms);
bool SetReceiveTimeout(SocketHandle socket, std::uint32_t timeout_ms);
// True when a send time-out is in place on the socket.
bool HasSendTimeout(SocketHandle socket);
// The Windows meaning of SO_SNDBUF 0 ("no buffering") has no Linux
// counterpart; see the platform file for what each target does.
bool SetSendBufferSize(SocketHandle socket, int bytes);
bool SetNoDelay(SocketHandle socket, bool on);
// Shuts both directions down; errors are ignored.
void ShutdownBoth(SocketHandle socket);
void CloseSocket(SocketHandle socket);

// Bytes sent, or -1 on failure (including the send time-out).  Never raises
// a signal when the peer has gone.
std::int64_t Send(SocketHandle socket, const std::uint8_t* data,
                  std::size_t length);
// Bytes received, 0 when the peer has closed (or length is 0), -1 on failure
// (including the receive time-out).
std::int64_t Receive(SocketHandle socket, std::uint8_t* buffer,
                     std::size_t length);

// Test hook: caps the bytes of every Send and Receive call (0: no cap), so a
// test can make a block leave or a reply arrive in pieces.
void SetTransferLimitForTesting(std::size_t bytes);

// Waits at most timeout_ms until the socket has data to read (or the peer
// closed, or a listener has a connection); false on time-out or error.
bool WaitReadable(SocketHandle socket, std::uint32_t timeout_ms);

// Listening TCP socket for test peers and the simulator: SO_REUSEADDR,
// bound to address:port (port 0 picks a free one).  kInvalidSocket on error.
SocketHandle ListenTcp(const Ipv4Address& address, std::uint16_t port,
                       int backlog);
// Accepts one connection, waiting at most timeout_ms; kInvalidSocket when
// none came or the wait failed.
SocketHandle AcceptTcp(SocketHandle listener, std::uint32_t timeout_ms);
// The local port a socket is bound to; 0 on error.
std::uint16_t LocalPort(SocketHandle socket);

// --- UDP -------------------------------------------------------------------

SocketHandle CreateUdpSocket();
bool SetReuseAddress(SocketHandle socket, bool on);
bool BindSocket(SocketHandle socket, const Ipv4Address& address,
                std::uint16_t port);
// Bytes sent, or -1.
std::int64_t SendTo(SocketHandle socket, const std::uint8_t* data,
                    std::size_t length, const Ipv4Address& address,
                    std::uint16_t port);

struct Datagram {
  std::int64_t count = -1;  // bytes received; -1 on time-out or failure
  Ipv4Address from{};
  std::uint16_t from_port = 0;
};
// Waits at most timeout_ms for one datagram.
Datagram ReceiveFrom(SocketHandle socket, std::uint8_t* buffer,
                     std::size_t length, std::uint32_t timeout_ms);

bool JoinMulticastGroup(SocketHandle socket, const Ipv4Address& group,
                        const Ipv4Address& interface_address);
bool SetMulticastInterface(SocketHandle socket,
                           const Ipv4Address& interface_address);
bool SetMulticastLoop(SocketHandle socket, bool on);
bool SetMulticastTtl(SocketHandle socket, int ttl);

}  // namespace refloq::platform
