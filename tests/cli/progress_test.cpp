// The live table's progress bar, judged from the jobs' reports.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/live_table.h"
#include "cli/progress_gauge.h"
#include "texts/string_ids.h"

namespace refloq::cli {
namespace {

using update::JobReport;

TEST(ProgressGauge, FollowsANetworkAndAUsbJob) {
  int percent = 0;
  std::vector<int> seen;
  for (const JobReport& report :
       {JobReport::Text(texts::kTextChecking),
        JobReport::Text(texts::kTextSendingData),
        JobReport::Text(texts::kTextStartingUpdate),
        JobReport::Countdown(texts::kTextRebootCountdown, 1, 20),
        JobReport::Countdown(texts::kTextRebootCountdown, 0, 1),
        JobReport::Text(texts::kTextChecking),
        JobReport::Final(texts::kTextSuccess)}) {
    percent = ProgressAfter(percent, report);
    seen.push_back(percent);
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 5, 40, 40, 90, 90, 100}));
  EXPECT_EQ(ProgressAfter(40, JobReport::Progress(50)), 65);
  EXPECT_EQ(ProgressAfter(40, JobReport::Progress(100)), 90);
  EXPECT_EQ(ProgressAfter(40, JobReport::Final(texts::kTextUpdateFailed)), 40);
  EXPECT_EQ(ProgressAfter(40, JobReport::Cleared()), 40);
}

TEST(LiveTable, RedrawsEveryRowInPlace) {
  std::ostringstream out, err;
  Reporter report(out, err, false);
  LiveTable table(report, {"127.0.0.2", "USB"});
  table.WriteReport(1, JobReport::Text(texts::kTextStartingUpdate),
                    "Starting Update.");
  EXPECT_EQ(table.Line(1),
            "USB             [#########...............]  40%  Starting "
            "Update.");
  table.WriteReport(0, JobReport::Final(texts::kTextSuccess), "Success.");
  const std::string frames = out.str();
  EXPECT_EQ(frames.find("\x1b[2A"), frames.rfind("\x1b[2A"))
      << "the second frame moves up over the first";
  EXPECT_NE(frames.find("127.0.0.2       [########################] 100%"),
            std::string::npos);
}

// Login and probe texts come without a report: whatever they read, the bar
// stays where the job's reports put it.
TEST(LiveTable, ATextWithoutAReportLeavesTheBar) {
  std::ostringstream out, err;
  Reporter report(out, err, false);
  LiveTable table(report, {"USB"});
  table.WriteReport(0, JobReport::Text(texts::kTextStartingUpdate),
                    "Starting Update.");
  table.Write(0, "Success.");
  EXPECT_EQ(table.Line(0),
            "USB             [#########...............]  40%  Success.");
}

}  // namespace
}  // namespace refloq::cli
