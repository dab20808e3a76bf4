#include "link/device_connection.h"

#include <atomic>

#include "link/link_messages.h"
#include "platform/user_language.h"

namespace refloq::link {
namespace {

std::atomic<std::uint16_t> g_tcp_port{0};

// Shuts the record's socket down both ways, closes it and forgets it.
void DropSocket(DeviceConnection& connection) {
  platform::ShutdownBoth(connection.hSocket);
  platform::CloseSocket(connection.hSocket);
  connection.hSocket = platform::kInvalidSocket;
}

}  // namespace

std::uint16_t ScannerTcpPort() {
  const std::uint16_t port = g_tcp_port.load(std::memory_order_relaxed);
  return port != 0 ? port : kScannerTcpPort;
}

void SetScannerTcpPort(std::uint16_t port) {
  g_tcp_port.store(port, std::memory_order_relaxed);
}

void InitConnection(DeviceConnection& connection) {
  connection.hSocket = platform::kInvalidSocket;
  connection.wLangId = platform::UserDefaultLangId();
  connection.bSocketsStarted = 0;
  connection.hUsbDevice.reset();
  connection.dwCommandTimeoutMs = kCommandTimeoutMs;
  connection.dwDataTimeoutMs = kDataTimeoutMs;
}

bool ParseIpv4Address(std::string_view text, std::uint8_t (&bytes)[4]) {
  // Exactly four parts of one to three decimal digits, each 0 to 255,
  // separated by single dots; nothing before, between or after.
  std::size_t pos = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (pos >= text.size() || text[pos] != '.') return false;
      ++pos;
    }
    unsigned value = 0;
    std::size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      if (++digits > 3) return false;
      value = value * 10 + static_cast<unsigned>(text[pos] - '0');
      ++pos;
    }
    if (digits == 0 || value > 255) return false;
    bytes[part] = static_cast<std::uint8_t>(value);
  }
  return pos == text.size();
}

int OpenConnection(DeviceConnection& connection, std::string_view address) {
  if (address == "USB") return OpenUsbDevice(connection);
  return OpenTcpConnection(connection, address);
}

int OpenUsbDevice(DeviceConnection& connection) {
  // A record opened again gives up its old handle; a failed search leaves
  // none.
  connection.hUsbDevice.reset();
  platform::StillImageDriver& driver = platform::CurrentStillImageDriver();
  for (int index = 0; index < kUsbDeviceIndexCount; ++index) {
    std::unique_ptr<platform::StillImageDevice> device = driver.Open(index);
    if (!device) continue;
    platform::DeviceDescriptor descriptor;
    if (!device->ReadDescriptor(descriptor)) {
      PrintLinkMessage(connection, LinkMessageCode::kGetDescriptorError);
      continue;
    }
    if (descriptor.usVendorId == kScannerUsbVendorId &&
        descriptor.usProductId == kScannerUsbProductId) {
      connection.hUsbDevice = std::move(device);
      return 1;
    }
  }
  return 0;
}

int OpenTcpConnection(DeviceConnection& connection, std::string_view address) {
  // A text that is not a plain dotted address names no host: fail before
  // the sockets library or a socket is touched.
  std::uint8_t bytes[4];
  if (!ParseIpv4Address(address, bytes)) return 0;

  if (connection.bSocketsStarted == 0) {
    if (!platform::StartSockets()) return 0;
    connection.bSocketsStarted = 1;
  }
  // A record opened again without a close gives up its old socket.
  if (connection.hSocket != platform::kInvalidSocket) DropSocket(connection);

  connection.hSocket = platform::CreateTcpSocket();
  const platform::SocketHandle socket = connection.hSocket;
  if (socket == platform::kInvalidSocket) return 0;
  if (!platform::SetNonBlocking(socket, true)) return 0;
  platform::StartConnect(socket, {bytes[0], bytes[1], bytes[2], bytes[3]},
                         ScannerTcpPort());
  if (!platform::SetNonBlocking(socket, false)) return 0;

  // The connect wait is the command limit in whole seconds.
  const std::uint32_t wait_ms = connection.dwCommandTimeoutMs / 1000 * 1000;
  if (!platform::WaitConnected(socket, wait_ms)) {
    DropSocket(connection);
    return 0;
  }
  return platform::SetNoDelay(socket, true) ? 1 : 0;
}

int CloseConnection(DeviceConnection& connection) {
  if (connection.hUsbDevice) {
    connection.hUsbDevice.reset();
    return 1;
  }
  if (connection.hSocket != platform::kInvalidSocket) DropSocket(connection);
  return 1;
}

void CleanupSockets(DeviceConnection& connection) {
  if (connection.bSocketsStarted != 0) {
    platform::StopSockets();
    connection.bSocketsStarted = 0;
  }
}

}  // namespace refloq::link
