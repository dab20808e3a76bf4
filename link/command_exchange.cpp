#include "link/command_exchange.h"

#include <cstring>

#include "link/link_messages.h"
#include "link/trace.h"
#include "platform/clock.h"

namespace refloq::link {
namespace {

using platform::Clock;

// Completion wait of every USB write, and the pause between USB reads that
// returned nothing.
constexpr std::uint32_t kUsbWriteWaitMs = 1000;
constexpr std::uint32_t kUsbEmptyReadPauseMs = 10;
// Failed USB data-in reads retried at once before the phase fails.
constexpr int kUsbReadRetries = 1000;

// --- TCP -------------------------------------------------------------------

// Sends the 16-byte block within the command limit.  The limit is checked
// before the send's result, as each send call returns.
bool TcpSendBlock(const DeviceConnection& connection,
                  const std::uint8_t* block16) {
  const std::uint32_t start = Clock::TickCount();
  std::uint32_t sent = 0;
  for (;;) {
    const std::int64_t count = platform::Send(
        connection.hSocket, block16 + sent, kCommandBlockSize - sent);
    if (count > 0) sent += static_cast<std::uint32_t>(count);
    if (Clock::HasPassed(start, connection.dwCommandTimeoutMs)) return false;
    if (count < 0) return false;
    if (sent >= kCommandBlockSize) return true;
  }
}

// Receives exactly `length` bytes within `limit_ms`, checked as each
// receive returns.  A peer that has closed ends the phase at once (the
// receive time-out set on the socket bounds a silent one).  Data phases
// trace their time-out and their end.
bool TcpReceive(const DeviceConnection& connection, std::uint8_t* buffer,
                std::uint32_t length, std::uint32_t limit_ms, bool traced,
                std::string_view trace_path, int trace_switch) {
  const std::uint32_t start = Clock::TickCount();
  std::uint32_t received = 0;
  for (;;) {
    const std::uint32_t missing = length - received;
    const std::int64_t count =
        platform::Receive(connection.hSocket, buffer + received, missing);
    if (count > 0) received += static_cast<std::uint32_t>(count);
    if (Clock::HasPassed(start, limit_ms)) {
      if (traced) {
        AppendTraceLine("==>recv data time out", trace_path, trace_switch);
      }
      return false;
    }
    if (count < 0) return false;
    if (count == 0 && missing > 0) return false;  // the peer has closed
    if (received >= length) {
      if (traced) {
        AppendTraceLine("==>Out recv data do-while", trace_path, trace_switch);
      }
      return true;
    }
  }
}

int TcpExchange(DeviceConnection& connection, const std::uint8_t* block16,
                std::uint8_t* reply, std::uint32_t reply_size) {
  if (!platform::SetSendTimeout(connection.hSocket,
                                connection.dwCommandTimeoutMs)) {
    return 0;
  }
  if (!TcpSendBlock(connection, block16)) return 0;
  if (!platform::SetReceiveTimeout(connection.hSocket,
                                   connection.dwCommandTimeoutMs)) {
    return 0;
  }
  return TcpReceive(connection, reply, reply_size,
                    connection.dwCommandTimeoutMs, false, {}, 0)
             ? 1
             : 0;
}

int TcpSendData(DeviceConnection& connection, const std::uint8_t* data,
                std::uint32_t length, std::string_view trace_path,
                int trace_switch) {
  if (!platform::SetSendBufferSize(connection.hSocket, 0)) return 0;
  // After a block exchange its send time-out bounds each send call.  A
  // phase after SendCommandOnly on a fresh socket (the firmware image) has
  // none, and a scanner that stops reading would hold the call forever,
  // past the data limit that is only checked when a call returns: there
  // the data limit bounds the call.
  if (!platform::HasSendTimeout(connection.hSocket) &&
      !platform::SetSendTimeout(connection.hSocket,
                                connection.dwDataTimeoutMs)) {
    return 0;
  }
  const std::uint32_t start = Clock::TickCount();
  AppendTraceLine("==>In send data do-while", trace_path, trace_switch);
  std::uint32_t sent = 0;
  for (;;) {
    AppendTraceLine("==>Send data start", trace_path, trace_switch);
    const std::int64_t count =
        platform::Send(connection.hSocket, data + sent, length - sent);
    AppendTraceLine("==>Send data end", trace_path, trace_switch);
    if (count > 0) sent += static_cast<std::uint32_t>(count);
    // A phase that completes after the limit still succeeds.
    if (Clock::HasPassed(start, connection.dwDataTimeoutMs) && sent < length) {
      AppendTraceLine("==>Send data time out", trace_path, trace_switch);
      return 0;
    }
    if (count < 0) return 0;
    if (sent >= length) {
      AppendTraceLine("==>Out send data do-while", trace_path, trace_switch);
      return 1;
    }
  }
}

// --- USB -------------------------------------------------------------------

// One write of the whole buffer, confirmed through its completion event.
bool UsbWrite(DeviceConnection& connection, const std::uint8_t* data,
              std::uint32_t length) {
  const platform::UsbWriteResult result =
      connection.hUsbDevice->Write(data, length, kUsbWriteWaitMs);
  switch (result.status) {
    case platform::UsbWriteStatus::kEventFailed:
      return false;
    case platform::UsbWriteStatus::kRefused:
      PrintLinkMessage(connection, LinkMessageCode::kWriteError);
      return false;
    case platform::UsbWriteStatus::kTimedOut:
      PrintLinkMessage(connection, LinkMessageCode::kUsbTimeout);
      return false;
    case platform::UsbWriteStatus::kResultUnavailable:
      PrintLinkMessage(connection, LinkMessageCode::kOverlappedResultError);
      return false;
    case platform::UsbWriteStatus::kDone:
      break;
  }
  if (result.count != length) {
    PrintLinkMessage(connection, LinkMessageCode::kSizeMismatch);
    return false;
  }
  return true;
}

// Reads a fixed reply, which must come in one read: every read asks for the
// whole reply at the start of the buffer, and once the reads have brought
// the reply's size in total the last one must have brought all of it.
// Reads that come short are retried every 10 ms, within the command limit.
int UsbReadReply(DeviceConnection& connection, std::uint8_t* reply,
                 std::uint32_t reply_size) {
  const std::uint32_t start = Clock::TickCount();
  std::uint32_t total = 0;
  for (;;) {
    const platform::UsbReadResult result =
        connection.hUsbDevice->Read(reply, reply_size);
    if (!result.ok) {
      PrintLinkMessage(connection, LinkMessageCode::kReadError);
      return 0;
    }
    total += result.count;
    if (total >= reply_size) {
      if (result.count == reply_size) return 1;
      PrintLinkMessage(connection, LinkMessageCode::kSizeMismatch);
      return 0;
    }
    if (Clock::HasPassed(start, connection.dwCommandTimeoutMs)) {
      PrintLinkMessage(connection, LinkMessageCode::kUsbTimeout);
      return 0;
    }
    Clock::Sleep(kUsbEmptyReadPauseMs);
  }
}

int UsbExchange(DeviceConnection& connection, const std::uint8_t* block16,
                std::uint8_t* reply, std::uint32_t reply_size) {
  if (!UsbWrite(connection, block16, kCommandBlockSize)) return 0;
  return UsbReadReply(connection, reply, reply_size);
}

// Reads `length` bytes over as many reads as the device needs.  Failed
// reads are retried at once, up to kUsbReadRetries; the next fails the
// phase.  Reads that bring nothing are retried every 10 ms within the data
// limit.
int UsbReceiveData(DeviceConnection& connection, std::uint8_t* buffer,
                   std::uint32_t length) {
  if (length > 0) std::memset(buffer, 0, length);
  const std::uint32_t start = Clock::TickCount();
  std::uint32_t received = 0;
  int failures = 0;
  for (;;) {
    const platform::UsbReadResult result =
        connection.hUsbDevice->Read(buffer + received, length - received);
    if (!result.ok) {
      if (++failures > kUsbReadRetries) {
        PrintLinkMessage(connection, LinkMessageCode::kReadError);
        return 0;
      }
      continue;
    }
    // A device never reports more than it was asked for; guard anyway.
    const std::uint32_t missing = length - received;
    received += result.count < missing ? result.count : missing;
    if (received >= length) return 1;
    if (result.count == 0 &&
        Clock::HasPassed(start, connection.dwDataTimeoutMs)) {
      PrintLinkMessage(connection, LinkMessageCode::kUsbTimeout);
      return 0;
    }
    Clock::Sleep(kUsbEmptyReadPauseMs);
  }
}

}  // namespace

int ExchangeCommand(DeviceConnection& connection, const std::uint8_t* block16,
                    std::uint8_t* reply32) {
  if (connection.hUsbDevice) {
    return UsbExchange(connection, block16, reply32, kReplySize);
  }
  return TcpExchange(connection, block16, reply32, kReplySize);
}

int ExchangeCommandLong(DeviceConnection& connection,
                        const std::uint8_t* block16, std::uint8_t* reply108) {
  if (connection.hUsbDevice) {
    return UsbExchange(connection, block16, reply108, kLongReplySize);
  }
  return TcpExchange(connection, block16, reply108, kLongReplySize);
}

int SendCommandOnly(DeviceConnection& connection, const std::uint8_t* block16) {
  if (connection.hUsbDevice) {
    return UsbWrite(connection, block16, kCommandBlockSize) ? 1 : 0;
  }
  return TcpSendBlock(connection, block16) ? 1 : 0;
}

int SendData(DeviceConnection& connection, const std::uint8_t* data,
             std::uint32_t length, std::string_view trace_path,
             int trace_switch) {
  if (connection.hUsbDevice) {
    return UsbWrite(connection, data, length) ? 1 : 0;
  }
  return TcpSendData(connection, data, length, trace_path, trace_switch);
}

int ReceiveData(DeviceConnection& connection, std::uint8_t* buffer,
                std::uint32_t length, std::string_view trace_path,
                int trace_switch) {
  if (connection.hUsbDevice) {
    return UsbReceiveData(connection, buffer, length);
  }
  if (!platform::SetReceiveTimeout(connection.hSocket,
                                   connection.dwDataTimeoutMs)) {
    return 0;
  }
  return TcpReceive(connection, buffer, length, connection.dwDataTimeoutMs,
                    true, trace_path, trace_switch)
             ? 1
             : 0;
}

}  // namespace refloq::link
