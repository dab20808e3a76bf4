#pragma once
// The worker side of "Update Start": one job per checked row of the Update
// Table, in row order, 1000 ms apart.  Each worker receives its row and
// address directly when it starts.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <thread>

#include "update/job.h"
#include "update/job_board.h"

namespace refloq::update {

inline constexpr std::uint32_t kJobStartPauseMs = 1000;
// What the window's USB status probe returns for a device in recovery mode.
inline constexpr int kUsbStatusRecovery = 6;

struct CheckedRow {
  int index = 0;
  std::string address;  // column 0: "USB" or a dotted IPv4 address
};

using JobWorker = std::function<void(Job&)>;

struct JobWorkers {
  JobWorker update;        // the general update workflow
  JobWorker usb_recovery;  // a USB device in recovery mode (update if unset)
  // The window's USB status probe; 6 means recovery mode.
  std::function<int()> query_usb_status;
};

// Creates a worker thread; false when the thread cannot be created.
class ThreadLauncher {
 public:
  virtual ~ThreadLauncher() = default;
  virtual bool Launch(std::function<void()> body, std::thread& thread) = 0;
};

// std::thread, reporting a refusal as false.
ThreadLauncher& DefaultThreadLauncher();

// Runs `worker` for row `index` on a thread of its own, in the slot the
// caller has already claimed (and whose old thread it has joined).  The
// job's reports go to `rows`, or to the board's Update Table when it is
// null.  A thread that cannot be created frees the slot, writes the final
// "Failed, FW Update Aborted." and enables the controls; false then.
bool LaunchClaimedJob(JobBoard& board, int index, const std::string& address,
                      JobWorker worker, ThreadLauncher& launcher,
                      RowWriter* rows = nullptr);

// Starts the jobs of the checked rows.  For each row, in order: clears its
// report; a row at index 200 or beyond gets no job and the final report
// "Failed, FW Update Aborted."; a row whose slot is busy gets nothing;
// otherwise the slot is claimed and the worker started (a worker that cannot
// be started frees the slot and writes the same final report).  Then a
// 1000 ms pause, after every checked row.  At the end the controls are
// enabled if no job is left running.
void StartJobs(JobBoard& board, std::span<const CheckedRow> rows,
               const JobWorkers& workers,
               ThreadLauncher& launcher = DefaultThreadLauncher());

}  // namespace refloq::update
