#pragma once
// One connection to a simulated scanner: reads the host's bytes as blocks
// and data phases, runs the engine's handlers, and queues what the scanner
// sends back as actions that the front end carries out in order.
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/command_block.h"
#include "sim/fault.h"

namespace refloq::sim {

class DeviceEngine;

struct SessionAction {
  enum class Kind {
    kSend,   // send `bytes` (over USB: one read delivers them)
    kPause,  // wait `pause_ms` scaled milliseconds before anything else
    kClose,  // close the connection; the session takes no more input
  };
  Kind kind = Kind::kSend;
  std::vector<std::uint8_t> bytes;
  std::uint32_t pause_ms = 0;
};

class Session {
 public:
  Session(DeviceEngine& engine, std::uint64_t id, std::string transport);
  // Records a data phase that was cut short.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Takes bytes the host sent, in order, in pieces of any size.
  void Receive(std::span<const std::uint8_t> bytes);
  // The next action, or nothing while the scanner waits for input.
  std::optional<SessionAction> NextAction();
  // True once a close has been queued.
  bool Closed() const { return closed_; }
  std::uint64_t id() const { return id_; }
  const std::string& transport() const { return transport_; }

 private:
  enum class Stage { kBlock, kDataFromHost, kMute, kClosed };

  void OnBlock();
  void OnDataComplete();
  // Queues one phase (reply or data) with the fault of that phase, if any.
  void Emit(std::vector<std::uint8_t> bytes, FaultPhase phase);
  void QueueClose();
  void RecordData(bool complete);

  DeviceEngine& engine_;
  const std::uint64_t id_;
  const std::string transport_;
  Stage stage_ = Stage::kBlock;
  bool closed_ = false;
  std::vector<std::uint8_t> block_bytes_;
  protocol::sKestoCommandBlock block_;
  std::vector<std::uint8_t> data_;
  std::uint32_t data_length_ = 0;
  std::optional<std::uint32_t> close_data_at_;  // close after this many bytes
  bool data_recorded_ = true;
  std::deque<SessionAction> actions_;
};

}  // namespace refloq::sim
