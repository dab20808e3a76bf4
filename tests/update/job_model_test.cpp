#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/clock.h"
#include "tests/update/recording_host.h"
#include "texts/string_ids.h"
#include "update/job_board.h"
#include "update/job_starter.h"
#include "update/slot_table.h"

namespace refloq::update {
namespace {

using platform::Clock;
using testing::RecordingControls;
using testing::RecordingRowWriter;

constexpr double kScale = 100.0;  // 1000 ms of the system take 10 ms

class JobModel : public ::testing::Test {
 protected:
  void SetUp() override { Clock::SetScale(kScale); }
  void TearDown() override {
    board_.slots().WaitForWorkers(100, 1000);
    Clock::SetScale(1.0);
  }

  RecordingRowWriter rows_;
  RecordingControls controls_;
  JobBoard board_{rows_, controls_};
};

// What each worker saw when it started.
struct StartRecord {
  int row = 0;
  std::string address;
  std::uint32_t tick = 0;
  std::thread::id thread;
};

class StartLog {
 public:
  void Add(const Job& job) {
    std::lock_guard lock(mutex_);
    starts_.push_back({job.row(), job.address(), Clock::TickCount(),
                       std::this_thread::get_id()});
  }
  std::vector<StartRecord> Starts() const {
    std::lock_guard lock(mutex_);
    return starts_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<StartRecord> starts_;
};

// Notes when each worker thread is created.
class TimingLauncher final : public ThreadLauncher {
 public:
  bool Launch(std::function<void()> body, std::thread& thread) override {
    ticks.push_back(Clock::TickCount());
    return DefaultThreadLauncher().Launch(std::move(body), thread);
  }
  std::vector<std::uint32_t> ticks;
};

TEST_F(JobModel, ThreeJobsStartApartWriteOnlyTheirRowsAndEnableAfterTheLast) {
  StartLog log;
  std::atomic<int> finished{0};
  int finished_at_enable = -1;
  bool busy_at_enable = true;
  controls_.on_enable = [&] {
    finished_at_enable = finished.load();
    busy_at_enable = board_.slots().AnyBusy();
  };
  // The first job runs longest, so the last job to end is not the last one
  // started.
  JobWorkers workers;
  workers.update = [&](Job& job) {
    log.Add(job);
    job.WriteProgress(job.row());  // a text of the row's own
    Clock::Sleep(job.row() == 0 ? 5000 : 500);
    ++finished;
    job.Finish(texts::kTextSuccess);
  };
  const std::vector<CheckedRow> rows = {
      {0, "127.0.0.2"}, {2, "127.0.0.3"}, {5, "USB"}};
  TimingLauncher launcher;
  StartJobs(board_, rows, workers, launcher);
  board_.slots().WaitForWorkers(100, 1000);

  ASSERT_EQ(launcher.ticks.size(), 3u);
  for (std::size_t i = 1; i < launcher.ticks.size(); ++i) {
    EXPECT_GE(launcher.ticks[i] - launcher.ticks[i - 1], 1000u);
  }

  const std::vector<StartRecord> starts = log.Starts();
  ASSERT_EQ(starts.size(), 3u);
  // Threads may begin to run in any order; each got its own row.
  std::map<std::thread::id, int> row_of_thread;
  std::map<int, std::string> address_of_row;
  for (const StartRecord& start : starts) {
    row_of_thread[start.thread] = start.row;
    address_of_row[start.row] = start.address;
  }
  EXPECT_EQ(address_of_row,
            (std::map<int, std::string>{
                {0, "127.0.0.2"}, {2, "127.0.0.3"}, {5, "USB"}}));
  for (const testing::RowWrite& write : rows_.Writes()) {
    const auto it = row_of_thread.find(write.writer);
    if (it != row_of_thread.end()) {
      EXPECT_EQ(write.row, it->second) << write.text;
    }
  }
  for (const CheckedRow& row : rows) {
    EXPECT_EQ(rows_.TextsOf(row.index),
              (std::vector<std::string>{"", std::to_string(row.index) + "%",
                                        "Success."}));
    EXPECT_EQ(rows_.OutcomeOf(row.index), JobOutcome::kSucceeded);
  }
  EXPECT_EQ(controls_.enabled(), 1);
  EXPECT_EQ(finished_at_enable, 3);
  EXPECT_FALSE(busy_at_enable);
}

TEST_F(JobModel, JobsEndingDuringTheStartLeaveTheControlsToTheStarter) {
  std::atomic<int> started{0};
  int started_at_enable = -1;
  controls_.on_enable = [&] { started_at_enable = started.load(); };
  JobWorkers workers;
  workers.update = [&](Job& job) {
    ++started;
    job.Finish(texts::kTextFailedAborted);
  };
  const std::vector<CheckedRow> rows = {{0, "127.0.0.2"}, {1, "127.0.0.3"}};
  StartJobs(board_, rows, workers);
  EXPECT_EQ(controls_.enabled(), 1);
  EXPECT_EQ(started_at_enable, 2);
}

TEST_F(JobModel, RowsOutsideTheSlotTableOrWithABusySlotGetNoJob) {
  std::set<int> started_rows;
  std::mutex mutex;
  JobWorkers workers;
  workers.update = [&](Job& job) {
    std::lock_guard lock(mutex);
    started_rows.insert(job.row());
  };
  ASSERT_TRUE(board_.slots().TryClaim(7));  // a job of an earlier start
  const std::vector<CheckedRow> rows = {{7, "127.0.0.2"},
                                        {199, "127.0.0.3"},
                                        {200, "127.0.0.4"},
                                        {250, "127.0.0.5"}};
  StartJobs(board_, rows, workers);
  board_.slots().WaitForWorkers(100, 1000);

  EXPECT_EQ(started_rows, (std::set<int>{199}));
  EXPECT_EQ(rows_.TextsOf(7), (std::vector<std::string>{""}));
  EXPECT_EQ(rows_.LastTextOf(200), "Failed, FW Update Aborted.");
  EXPECT_EQ(rows_.LastTextOf(250), "Failed, FW Update Aborted.");
  EXPECT_EQ(rows_.OutcomeOf(200), JobOutcome::kFailed);
  EXPECT_EQ(rows_.OutcomeOf(250), JobOutcome::kFailed);
  EXPECT_TRUE(board_.slots().IsBusy(7));
  EXPECT_EQ(controls_.enabled(), 0);  // slot 7 still busy
  board_.slots().Release(7);
  board_.EnableControls();
  EXPECT_EQ(controls_.enabled(), 1);
}

class RefusingLauncher final : public ThreadLauncher {
 public:
  explicit RefusingLauncher(std::set<int> refused_calls)
      : refused_(std::move(refused_calls)) {}
  bool Launch(std::function<void()> body, std::thread& thread) override {
    if (refused_.count(call_++) != 0) return false;
    return DefaultThreadLauncher().Launch(std::move(body), thread);
  }

 private:
  std::set<int> refused_;
  int call_ = 0;
};

TEST_F(JobModel, AWorkerThatCannotStartFreesItsSlotAndSaysSo) {
  struct Case {
    std::set<int> refused;
    std::set<int> started;
  };
  for (const Case& c : {Case{{0}, {1}}, Case{{0, 1}, {}}, Case{{1}, {0}}}) {
    RecordingRowWriter rows;
    RecordingControls controls;
    JobBoard board(rows, controls);
    std::set<int> started;
    std::mutex mutex;
    JobWorkers workers;
    workers.update = [&](Job& job) {
      std::lock_guard lock(mutex);
      started.insert(job.row());
      job.Finish(texts::kTextSuccess);
    };
    RefusingLauncher launcher(c.refused);
    const std::vector<CheckedRow> rows_in = {{0, "127.0.0.2"},
                                             {1, "127.0.0.3"}};
    StartJobs(board, rows_in, workers, launcher);
    board.slots().WaitForWorkers(100, 1000);

    EXPECT_EQ(started, c.started);
    for (int row : c.refused) {
      EXPECT_EQ(rows.LastTextOf(row), "Failed, FW Update Aborted.");
      EXPECT_EQ(rows.OutcomeOf(row), JobOutcome::kFailed);
      EXPECT_FALSE(board.slots().IsBusy(row));
    }
    EXPECT_FALSE(board.slots().AnyBusy());
    EXPECT_EQ(controls.enabled(), 1);
  }
}

TEST_F(JobModel, TheUsbProbeChoosesTheRecoveryWorkerForUsbRowsOnly) {
  struct Case {
    std::string address;
    int probe_result;
    bool recovery;
    int probes;
  };
  const Case cases[] = {{"USB", 6, true, 1},  {"USB", 0, false, 1},
                        {"USB", 4, false, 1}, {"USB", -1, false, 1},
                        {"usb", 6, false, 0}, {"127.0.0.2", 6, false, 0}};
  for (const Case& c : cases) {
    std::atomic<int> update_runs{0}, recovery_runs{0};
    int probes = 0;
    JobWorkers workers;
    workers.update = [&](Job&) { ++update_runs; };
    workers.usb_recovery = [&](Job&) { ++recovery_runs; };
    workers.query_usb_status = [&] {
      ++probes;
      return c.probe_result;
    };
    const std::vector<CheckedRow> rows = {{0, c.address}};
    StartJobs(board_, rows, workers);
    board_.slots().WaitForWorkers(100, 1000);
    EXPECT_EQ(recovery_runs.load(), c.recovery ? 1 : 0) << c.address;
    EXPECT_EQ(update_runs.load(), c.recovery ? 0 : 1) << c.address;
    EXPECT_EQ(probes, c.probes) << c.address;
  }
}

TEST_F(JobModel, TheWorkerGetsTheFirst19CharactersOfTheAddress) {
  StartLog log;
  JobWorkers workers;
  workers.update = [&](Job& job) { log.Add(job); };
  const std::vector<CheckedRow> rows = {{3, "123.123.123.123.123.123"}};
  StartJobs(board_, rows, workers);
  board_.slots().WaitForWorkers(100, 1000);
  ASSERT_EQ(log.Starts().size(), 1u);
  EXPECT_EQ(log.Starts()[0].address, "123.123.123.123.123");
  EXPECT_FALSE(board_.slots().IsBusy(3));  // freed though the worker forgot
}

TEST_F(JobModel, FreeingTheSlotBeforeTheFinalTextActsOnce) {
  Job job(board_, 4, "127.0.0.2");
  ASSERT_TRUE(board_.slots().TryClaim(4));
  job.FreeSlot();
  EXPECT_FALSE(board_.slots().IsBusy(4));
  EXPECT_EQ(controls_.enabled(), 1);
  ASSERT_TRUE(board_.slots().TryClaim(4));  // a new job of the row
  job.Finish(texts::kTextSuccess);
  EXPECT_TRUE(board_.slots().IsBusy(4));
  EXPECT_EQ(rows_.LastTextOf(4), "Success.");
  EXPECT_EQ(rows_.OutcomeOf(4), JobOutcome::kSucceeded);
}

TEST_F(JobModel, ARowStartedAgainWaitsForItsOldWorkerToWriteItsLastText) {
  JobWorkers old_job;
  old_job.update = [](Job& job) {
    job.FreeSlot();  // as the restart check does before the final text
    Clock::Sleep(3000);
    job.Finish(texts::kTextSuccess);
  };
  JobWorkers new_job;
  new_job.update = [](Job& job) { job.WriteString(texts::kTextChecking); };
  const std::vector<CheckedRow> rows = {{0, "127.0.0.2"}};
  StartJobs(board_, rows, old_job);
  StartJobs(board_, rows, new_job);
  board_.slots().WaitForWorkers(100, 1000);
  EXPECT_EQ(rows_.TextsOf(0),
            (std::vector<std::string>{"", "Success.", "", "Checking..."}));
}

TEST(SlotTable, ClaimsOnlyIdleSlotsWithinTheTable) {
  SlotTable slots;
  EXPECT_FALSE(slots.TryClaim(-1));
  EXPECT_FALSE(slots.TryClaim(kSlotCount));
  EXPECT_FALSE(slots.AnyBusy());
  EXPECT_TRUE(slots.TryClaim(kSlotCount - 1));
  EXPECT_TRUE(slots.AnyBusy());
  EXPECT_FALSE(slots.TryClaim(kSlotCount - 1));
  slots.Release(kSlotCount - 1);
  slots.Release(kSlotCount);  // ignored
  EXPECT_FALSE(slots.AnyBusy());
}

TEST(SlotTable, AWorkerThatDoesNotEndIsLeftRunningAfterTheWaits) {
  Clock::SetScale(1000.0);
  SlotTable slots;
  auto release = std::make_shared<std::atomic<bool>>(false);
  auto ended = std::make_shared<std::atomic<bool>>(false);
  slots.AttachThread(0, std::thread([release, ended] {
                       while (!release->load()) Clock::Sleep(10);
                       ended->store(true);
                     }),
                     ended);
  auto quick_end = std::make_shared<std::atomic<bool>>(true);
  slots.AttachThread(1, std::thread([] {}), quick_end);
  EXPECT_EQ(slots.WaitForWorkers(3, 1000), 1);
  EXPECT_FALSE(slots.HasThread(0));
  EXPECT_FALSE(slots.HasThread(1));
  release->store(true);
  while (!ended->load()) Clock::Sleep(10);
  Clock::SetScale(1.0);
}

}  // namespace
}  // namespace refloq::update
