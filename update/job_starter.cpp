#include "update/job_starter.h"

#include <atomic>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/clock.h"
#include "texts/string_ids.h"

namespace refloq::update {
namespace {

class StdThreadLauncher final : public ThreadLauncher {
 public:
  bool Launch(std::function<void()> body, std::thread& thread) override {
    try {
      thread = std::thread(std::move(body));
      return true;
    } catch (const std::system_error&) {
      return false;
    }
  }
};

// Holds off EnableControls while the starter runs.
class StartGuard {
 public:
  explicit StartGuard(JobBoard& board) : board_(board) { board_.BeginStart(); }
  ~StartGuard() { board_.EndStart(); }
  StartGuard(const StartGuard&) = delete;
  StartGuard& operator=(const StartGuard&) = delete;

 private:
  JobBoard& board_;
};

const JobWorker& ChooseWorker(const CheckedRow& row,
                              const JobWorkers& workers) {
  if (row.address != "USB" || !workers.usb_recovery ||
      !workers.query_usb_status) {
    return workers.update;
  }
  const bool recovery_mode = workers.query_usb_status() == kUsbStatusRecovery;
  return recovery_mode ? workers.usb_recovery : workers.update;
}

void StartOne(JobBoard& board, const CheckedRow& row, const JobWorkers& workers,
              ThreadLauncher& launcher) {
  if (!SlotTable::InRange(row.index)) {
    board.WriteRowReport(row.index,
                         JobReport::Final(texts::kTextFailedAborted));
    return;
  }
  // The row's previous worker may have freed the slot just before its
  // final report: let it finish before the row is cleared for the new job.
  const bool claimed = board.slots().TryClaim(row.index);
  if (claimed) board.slots().JoinThread(row.index);
  board.WriteRowReport(row.index, JobReport::Cleared());
  if (!claimed) return;
  LaunchClaimedJob(board, row.index, row.address, ChooseWorker(row, workers),
                   launcher);
}

}  // namespace

bool LaunchClaimedJob(JobBoard& board, int index, const std::string& address,
                      JobWorker worker, ThreadLauncher& launcher,
                      RowWriter* rows) {
  auto ended = std::make_shared<std::atomic<bool>>(false);
  auto body = [&board, worker = std::move(worker), index, address, rows,
               ended] {
    {
      std::optional<Job> job;
      if (rows != nullptr) {
        job.emplace(board, index, address, *rows);
      } else {
        job.emplace(board, index, address);
      }
      if (worker) worker(*job);
      job->FreeSlot();  // a no-op when the worker already ended the job
    }
    ended->store(true);
  };
  std::thread thread;
  if (!launcher.Launch(std::move(body), thread)) {
    board.slots().Release(index);
    const JobReport failed = JobReport::Final(texts::kTextFailedAborted);
    if (rows != nullptr) {
      rows->WriteRowReport(index, failed);
    } else {
      board.WriteRowReport(index, failed);
    }
    board.EnableControls();
    return false;
  }
  board.slots().AttachThread(index, std::move(thread), std::move(ended));
  return true;
}

ThreadLauncher& DefaultThreadLauncher() {
  static StdThreadLauncher launcher;
  return launcher;
}

void StartJobs(JobBoard& board, std::span<const CheckedRow> rows,
               const JobWorkers& workers, ThreadLauncher& launcher) {
  {
    StartGuard guard(board);
    for (const CheckedRow& row : rows) {
      StartOne(board, row, workers, launcher);
      platform::Clock::Sleep(kJobStartPauseMs);
    }
  }
  board.EnableControls();
}

}  // namespace refloq::update
