#pragma once
// The update timeline of one simulated scanner: it takes FIRMWARE_TRANSFER
// 257 with the image and answers after the data, then reports
// SCANNER_STATUS_UPDATING with a rising bProgress, reports the update done
// (ready, progress 0), restarts (no connection is answered for a while) and
// comes back ready with its UUID.  Faults on demand: an error in the reply
// after the image, LAST_ERR_UPDATE_FAILED during the update, progress that
// sticks, no return, busy for a while after the return, another UUID from
// the second read on, and a sleeping scanner that wakes after a delay or
// never.
//
// A component of its own: it installs its handlers on the engine and runs
// one thread that moves the scanner through the phases at the times of the
// compressed Clock.  The engine must outlive it.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "sim/device_engine.h"

namespace refloq::sim {

inline constexpr std::uint32_t kNever = 0xFFFFFFFF;

struct UpdateTimelineOptions {
  // dwLastErr of the reply that follows the image (0: accepted).
  std::uint32_t image_reply_error = 0;
  // bProgress rises by progress_step every progress_step_ms, up to 100.
  std::uint8_t progress_step = 10;
  std::uint32_t progress_step_ms = 1000;
  // Progress stops rising at this value and the update never ends (0: no).
  std::uint8_t stuck_at = 0;
  // dwLastErr becomes LAST_ERR_UPDATE_FAILED once progress reaches this
  // value, and the scanner stays so (0: no).
  std::uint8_t fail_at = 0;
  // How long the scanner reports the update done before it restarts.
  std::uint32_t done_ms = 4000;
  // How long it answers nothing while it restarts (kNever: it never
  // returns).
  std::uint32_t restart_ms = 20000;
  // After its return it answers busy for this long, then ready.
  std::uint32_t busy_after_restart_ms = 0;
  // Called as the scanner returns, before it answers again (a test moves
  // it to another address here).
  std::function<void()> on_return;

  // A scanner that sleeps (bSleep 1) wakes this long after the timeline
  // is attached (kNever: it never wakes).
  std::uint32_t wake_after_ms = kNever;
  // From the second GET_UUID_FROM_NVRAM on, the scanner reports this UUID
  // (empty: its own, always).
  std::string uuid_after_first_read;
};

enum class TimelinePhase {
  kWaitingForImage,
  kUpdating,
  kDone,
  kRestarting,
  kBack,
  kFailed
};

class UpdateTimeline {
 public:
  UpdateTimeline(DeviceEngine& engine, UpdateTimelineOptions options);
  // Stops the thread; the scanner stays in the state it has reached.
  ~UpdateTimeline();
  UpdateTimeline(const UpdateTimeline&) = delete;
  UpdateTimeline& operator=(const UpdateTimeline&) = delete;

  TimelinePhase phase() const;
  // Waits (scaled) until the phase is reached; true when it was.
  bool WaitForPhase(TimelinePhase phase, std::uint32_t timeout_ms) const;

 private:
  Response OnFirmwareTransfer(ScannerState& state, const Request& request);
  Response OnReadUuid(ScannerState& state, const Request& request);
  void Run();
  // Pauses ms scaled milliseconds; false when the timeline stops.
  bool Pause(std::uint32_t ms);
  void SetPhase(TimelinePhase phase);

  DeviceEngine& engine_;
  const UpdateTimelineOptions options_;
  CommandHandler standard_firmware_transfer_;
  CommandHandler standard_read_uuid_;
  std::uint32_t uuid_reads_ = 0;  // under the engine's lock

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool stopping_ = false;
  bool image_taken_ = false;
  TimelinePhase phase_ = TimelinePhase::kWaitingForImage;
  std::thread thread_;
};

}  // namespace refloq::sim
