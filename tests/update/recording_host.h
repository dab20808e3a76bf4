#pragma once
// Test doubles of the window's side of the jobs: a row writer that records
// every report with its writing thread and the English text a user would
// read, a controls switch that records each enabling, and the English
// string table of the texts the jobs write.
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "texts/string_ids.h"
#include "update/job_host.h"

namespace refloq::update::testing {

// The English texts of the string ids the update jobs write.
inline std::string EnglishUiString(int id) {
  static const std::map<int, std::string> english = {
      {texts::kTextReady, "Ready"},
      {texts::kTextSuccess, "Success."},
      {texts::kTextUpdateFailed, "FW Update Failed."},
      {texts::kTextStartingUpdate, "Starting Update."},
      {texts::kTextBusyAborted, "Busy, FW Update Aborted."},
      {texts::kTextFailedAborted, "Failed, FW Update Aborted."},
      {texts::kTextConnectionFailed, "Connection Failed, FW Update Aborted."},
      {texts::kTextSendFwFailed, "Send FW Failed, FW Update Aborted."},
      {texts::kTextGetUuidFailed, "Get UUID Failed, FW Update Aborted."},
      {texts::kTextChecking, "Checking..."},
      {texts::kTextFwFileMissing, "FW File is Missing, FW Update Aborted."},
      {texts::kTextDeviceError, "Device Error Occurred, FW Update Aborted."},
      {texts::kTextStopWiaFailed, "Stop, WIA Failed, FW Update Aborted."},
      {texts::kTextStartWiaFailed, "Start WIA Failed."},
      {texts::kTextFirmwareCorrupted,
       "Firmware in Firmware Update Tool is corrupted."},
      {texts::kTextSendingData, "Sending Data. Wait for 10-20 Sec."},
      {texts::kTextRebootCountdown,
       "Wait for %d:%02d min, Device Will Reboot."},
      {texts::kTextRecoverFwSuccess,
       "Recover FW Success, Please Reboot Device."},
      {texts::kTextNotInRecoveryMode, "This Device is not in Recovery Mode."},
      {texts::kTextCannotDowngrade,
       "Firmware Update Unsuccessful\nCannot downgrade firmware"},
  };
  const auto it = english.find(id);
  return it == english.end() ? std::string() : it->second;
}

struct RowWrite {
  int row = 0;
  JobReport report;
  std::string text;  // the report as a user reads it, in English
  std::thread::id writer;
  std::uint32_t tick = 0;
};

class RecordingRowWriter final : public RowWriter {
 public:
  void WriteRowReport(int row, const JobReport& report) override {
    std::lock_guard lock(mutex_);
    writes_.push_back({row, report, StatusText(report, EnglishUiString),
                       std::this_thread::get_id(),
                       platform::Clock::TickCount()});
  }
  std::vector<RowWrite> Writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
  }
  // The reports written into one row, in order.
  std::vector<JobReport> ReportsOf(int row) const {
    std::vector<JobReport> reports;
    for (const RowWrite& write : Writes()) {
      if (write.row == row) reports.push_back(write.report);
    }
    return reports;
  }
  JobReport LastReportOf(int row) const {
    const std::vector<JobReport> reports = ReportsOf(row);
    return reports.empty() ? JobReport::Cleared() : reports.back();
  }
  // The texts written into one row, in order.
  std::vector<std::string> TextsOf(int row) const {
    std::vector<std::string> texts;
    for (const RowWrite& write : Writes()) {
      if (write.row == row) texts.push_back(write.text);
    }
    return texts;
  }
  std::string LastTextOf(int row) const {
    const std::vector<std::string> texts = TextsOf(row);
    return texts.empty() ? std::string() : texts.back();
  }
  // How the job in `row` ended: the outcome of its last report when that is
  // its only final one; kRunning otherwise (no final report, or a final
  // report before the last).
  JobOutcome OutcomeOf(int row) const {
    const std::vector<JobReport> reports = ReportsOf(row);
    if (reports.empty()) return JobOutcome::kRunning;
    for (std::size_t i = 0; i + 1 < reports.size(); ++i) {
      if (reports[i].is_final()) return JobOutcome::kRunning;
    }
    return reports.back().outcome;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<RowWrite> writes_;
};

class RecordingControls final : public ControlsSwitch {
 public:
  // Called at each enabling, before it is counted (may be empty).
  std::function<void()> on_enable;
  void EnableControls() override {
    if (on_enable) on_enable();
    ++enabled_;
  }
  int enabled() const { return enabled_.load(); }

 private:
  std::atomic<int> enabled_{0};
};

}  // namespace refloq::update::testing
