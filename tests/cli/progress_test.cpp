// The live table's progress bar, judged from the jobs' status texts.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/live_table.h"
#include "cli/progress_gauge.h"

namespace refloq::cli {
namespace {

std::string Texts(int id) {
  switch (id) {
    case 114:
      return "Success.";
    case 116:
      return "Starting Update.";
    case 124:
      return "Checking...";
    case 130:
      return "Sending Data. Wait for 10-20 Sec.";
    case 131:
      return "Wait for %d:%02d min, Device Will Reboot.";
    default:
      return "text " + std::to_string(id);
  }
}

TEST(ProgressGauge, FollowsANetworkAndAUsbJob) {
  const UiText ui = Texts;
  const ProgressGauge gauge(ui);
  int percent = 0;
  std::vector<int> seen;
  for (const std::string text :
       {"Checking...", "Sending Data. Wait for 10-20 Sec.", "Starting Update.",
        "Wait for 1:20 min, Device Will Reboot.",
        "Wait for 0:01 min, Device Will Reboot.", "Checking...", "Success."}) {
    percent = gauge.After(percent, text);
    seen.push_back(percent);
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 5, 40, 40, 90, 90, 100}));
  EXPECT_EQ(gauge.After(40, "50%"), 65);
  EXPECT_EQ(gauge.After(40, "100%"), 90);
  EXPECT_EQ(gauge.After(40, "FW Update Failed."), 40);
  EXPECT_EQ(gauge.After(40, "x%"), 40);
}

TEST(LiveTable, RedrawsEveryRowInPlace) {
  std::ostringstream out, err;
  Reporter report(out, err, false);
  const UiText ui = Texts;
  LiveTable table(report, ui, {"127.0.0.2", "USB"});
  table.Write(1, "Starting Update.");
  EXPECT_EQ(table.Line(1),
            "USB             [#########...............]  40%  Starting "
            "Update.");
  table.Write(0, "Success.");
  const std::string frames = out.str();
  EXPECT_EQ(frames.find("\x1b[2A"), frames.rfind("\x1b[2A"))
      << "the second frame moves up over the first";
  EXPECT_NE(frames.find("127.0.0.2       [########################] 100%"),
            std::string::npos);
}

}  // namespace
}  // namespace refloq::cli
