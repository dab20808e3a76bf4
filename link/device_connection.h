#pragma once
// One short-lived link to one scanner: a TCP socket to ADDRESS:5566 or the
// USB still-image device.  Declared by each user as a local, opened from an
// address text, closed on every way out (ConnectionScope does that).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/socket.h"
#include "platform/still_image_driver.h"

namespace refloq::link {

inline constexpr std::uint16_t kScannerTcpPort = 5566;
inline constexpr std::uint32_t kCommandTimeoutMs = 12000;
inline constexpr std::uint32_t kDataTimeoutMs = 120000;
inline constexpr std::uint16_t kScannerUsbVendorId = 0x2F4E;
inline constexpr std::uint16_t kScannerUsbProductId = 0x8800;
inline constexpr int kUsbDeviceIndexCount = 256;

struct DeviceConnection {
  platform::SocketHandle hSocket = platform::kInvalidSocket;
  std::uint32_t wLangId = 0;
  std::int32_t bSocketsStarted = 0;
  std::unique_ptr<platform::StillImageDevice> hUsbDevice;
  std::uint32_t dwCommandTimeoutMs = kCommandTimeoutMs;
  std::uint32_t dwDataTimeoutMs = kDataTimeoutMs;
};

// Sets the initial values, the user's default language id included.
void InitConnection(DeviceConnection& connection);
// "USB" exactly opens the USB device; anything else must be a dotted IPv4
// address of four decimal parts 0 to 255 and is reached over TCP.  Any
// other text fails before a socket is made.
int OpenConnection(DeviceConnection& connection, std::string_view address);
int OpenUsbDevice(DeviceConnection& connection);
int OpenTcpConnection(DeviceConnection& connection, std::string_view address);
int CloseConnection(DeviceConnection& connection);
void CleanupSockets(DeviceConnection& connection);

// The TCP port OpenTcpConnection connects to: kScannerTcpPort unless a test
// peer or a simulator on another port has set its own (0 restores the
// default).  Thread-safe.
std::uint16_t ScannerTcpPort();
void SetScannerTcpPort(std::uint16_t port);

// Parses an address text of exactly four decimal parts 0 to 255 into the
// four bytes in wire order; false for any other text.
bool ParseIpv4Address(std::string_view text, std::uint8_t (&bytes)[4]);

// Closes the connection and ends its sockets use when the scope ends.
class ConnectionScope {
 public:
  explicit ConnectionScope(DeviceConnection& connection)
      : connection_(connection) {}
  ~ConnectionScope() {
    CloseConnection(connection_);
    CleanupSockets(connection_);
  }
  ConnectionScope(const ConnectionScope&) = delete;
  ConnectionScope& operator=(const ConnectionScope&) = delete;

 private:
  DeviceConnection& connection_;
};

}  // namespace refloq::link
