#pragma once
// One simulated scanner, free of any transport.  Front ends (TCP, the
// in-process USB device) open a Session per connection, hand it the bytes
// the host sends and carry out the actions it returns.  The engine keeps
// the scanner's state, a handler per command code, the faults switched on,
// and the record of everything received.  All members are thread-safe:
// several connections may talk to one scanner at once.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/still_image_driver.h"
#include "protocol/command_block.h"
#include "sim/fault.h"
#include "sim/scanner_state.h"
#include "sim/wire_record.h"

namespace refloq::sim {

class Session;

// What a handler sees: the block, and the host's data for the write types.
struct Request {
  protocol::sKestoCommandBlock block;
  std::span<const std::uint8_t> data;
};

// What a handler answers.  An empty reply means the scanner's status record
// (sized to the reply the block expects); `data` is the TRANSFER_READ data,
// zero-padded or cut to dwLength.
struct Response {
  std::vector<std::uint8_t> reply;
  std::vector<std::uint8_t> data;
  // TRANSFER_READ: the scanner cannot deliver the data; the reply is sent,
  // then the connection closes.
  bool withhold_data = false;
};

// Runs with the engine's lock held: reads and changes the state, returns
// the reply.  When it runs: TRANSFER_STATUS and TRANSFER_READ after the
// block; TRANSFER_WRITE_REPLY_AFTER after the data; TRANSFER_WRITE after the
// data too (its reply, sent before the data, is the status record, and the
// handler's reply is not sent).
using CommandHandler =
    std::function<Response(ScannerState& state, const Request& request)>;

// dwLastErr of the reply to a command code without a handler.
inline constexpr std::uint32_t kErrUnknownCommand = 0xE001;
// Longest data phase the scanner accepts or produces; a longer dwLength
// closes the connection rather than allocating it.
inline constexpr std::uint32_t kMaxDataLength = 256u << 20;

class DeviceEngine {
 public:
  // A scanner with the handlers of every catalogue command.
  explicit DeviceEngine(ScannerState initial = {});
  ~DeviceEngine();
  DeviceEngine(const DeviceEngine&) = delete;
  DeviceEngine& operator=(const DeviceEngine&) = delete;

  // Adds or replaces the handler of one command code.
  void SetHandler(std::uint8_t bCommand, CommandHandler handler);
  // The handler in place for a command code (empty when none).
  CommandHandler HandlerOf(std::uint8_t bCommand) const;

  void AddFault(const Fault& fault);
  void ClearFaults();
  // While set, front ends refuse connections (TCP: no listener; USB: the
  // device is absent).  Returns once every registered front end has
  // applied it (or after a second, should one be stuck).
  void SetRefuseConnections(bool refuse);
  bool RefusesConnections() const;

  // Front ends that apply the refusal themselves register, and report the
  // policy version they have applied.
  int RegisterFrontEnd();
  void UnregisterFrontEnd(int id);
  struct ConnectionPolicy {
    bool refuse = false;
    std::uint64_t version = 0;
  };
  ConnectionPolicy CurrentConnectionPolicy() const;
  void PolicyApplied(int id, std::uint64_t version);

  // Runs `change` on the state under the lock.
  void UpdateState(const std::function<void(ScannerState&)>& change);
  ScannerState State() const;

  std::vector<WireEntry> Record() const;
  void ClearRecord();
  // Waits until the record holds at least `count` entries or `timeout_ms`
  // (scaled) has passed; true when it does.  For tests of commands that
  // end with data from the host, where the host does not wait for the
  // scanner.
  bool WaitForRecord(std::size_t count, std::uint32_t timeout_ms) const;
  // Called (outside the lock, one call at a time) for every new entry.
  void SetObserver(std::function<void(const WireEntry&)> observer);

  // A new connection; `transport` names it in the record.
  std::unique_ptr<Session> OpenSession(std::string transport);

  // A USB vendor request: fills the 5-byte reply (byte 4 the result) and
  // locks (1) or unlocks (2) the control pipe.
  bool HandleVendorRequest(std::uint64_t session,
                           const platform::VendorRequest& request,
                           std::uint8_t* data, std::uint32_t length);

 private:
  friend class Session;

  // Runs the handler of the block's command.
  Response Dispatch(const Request& request);
  // The status reply of the current state, `size` bytes.
  std::vector<std::uint8_t> StatusReply(std::uint32_t size) const;
  // Takes one use of the first fault that matches, if any.
  std::optional<Fault> TakeFault(const protocol::sKestoCommandBlock& block,
                                 FaultPhase phase);
  void Append(WireEntry entry);

  mutable std::mutex mutex_;
  ScannerState state_;
  std::map<std::uint8_t, CommandHandler> handlers_;
  std::vector<Fault> faults_;
  bool refuse_connections_ = false;
  std::uint64_t policy_version_ = 0;
  std::map<int, std::uint64_t> front_ends_;  // id -> version applied
  int next_front_end_ = 1;
  std::condition_variable policy_applied_;
  std::vector<WireEntry> record_;
  mutable std::condition_variable record_grew_;
  std::uint64_t next_session_ = 1;
  std::mutex observer_mutex_;
  std::function<void(const WireEntry&)> observer_;
};

}  // namespace refloq::sim
