#pragma once
// A simulated USB scanner in recovery mode (wFWInfo 6, information record
// 1 not deliverable) and what it does with a recovery transfer: it takes
// FIRMWARE_TRANSFER 4 or 2 with the image, writes it for a while, restarts
// (no connection is answered), and comes back in one of four ways: on
// working firmware (record 1 readable), ready without record 1 (so the
// host runs the general update next), never, or answering connections but
// never the status.
//
// Like UpdateTimeline, a component of its own with one thread on the
// compressed Clock.  Other FIRMWARE_TRANSFER parameters go to the handler
// that was in place before it (an UpdateTimeline attached first takes the
// update after a return without record 1).  The engine must outlive it, and
// a timeline attached before it must outlive it too.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "sim/device_engine.h"

namespace refloq::sim {

enum class RecoveryReturn {
  kWorking,             // ready on working firmware, record 1 readable
  kReadyWithoutRecord,  // ready, record 1 still not deliverable
  kStaysAway,           // never comes back
  kSilent,              // takes connections, never answers the status
};

struct RecoveryTimelineOptions {
  // After the image: how long it keeps answering in recovery mode, then how
  // long it answers nothing while it restarts.
  std::uint32_t writing_ms = 10000;
  std::uint32_t restart_ms = 20000;
  RecoveryReturn return_as = RecoveryReturn::kWorking;
  // wFWInfo reported after a working return (0 ready; another value shows
  // that success is judged by record 1 alone).
  std::uint16_t working_status = 0;
};

enum class RecoveryPhase { kWaitingForImage, kWriting, kRestarting, kBack };

class RecoveryTimeline {
 public:
  // Puts the scanner into recovery mode.
  RecoveryTimeline(DeviceEngine& engine, RecoveryTimelineOptions options);
  // Stops the thread and restores the handler it replaced; the scanner
  // stays in the state it has reached.
  ~RecoveryTimeline();
  RecoveryTimeline(const RecoveryTimeline&) = delete;
  RecoveryTimeline& operator=(const RecoveryTimeline&) = delete;

  RecoveryPhase phase() const;

 private:
  Response OnFirmwareTransfer(ScannerState& state, const Request& request);
  void Run();
  bool Pause(std::uint32_t ms);
  void SetPhase(RecoveryPhase phase);
  void Return();

  DeviceEngine& engine_;
  const RecoveryTimelineOptions options_;
  CommandHandler previous_firmware_transfer_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  bool image_taken_ = false;
  RecoveryPhase phase_ = RecoveryPhase::kWaitingForImage;
  std::thread thread_;
};

}  // namespace refloq::sim
