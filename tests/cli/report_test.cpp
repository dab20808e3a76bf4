// Output lines: ADDRESS<TAB>TEXT for people, one JSON object per line for
// scripts.
#include "cli/report.h"

#include <gtest/gtest.h>

#include <sstream>

namespace refloq::cli {
namespace {

TEST(Report, TextRowIsOneLine) {
  std::ostringstream out, err;
  Reporter report(out, err, false);
  report.Row("192.168.0.20",
             "Firmware Update Unsuccessful\nIncorrect password");
  report.Message("Add IP Address Success.");
  report.Event({{"event", "end"}});
  EXPECT_EQ(out.str(),
            "192.168.0.20\tFirmware Update Unsuccessful Incorrect password\n");
  EXPECT_EQ(err.str(), "Add IP Address Success.\n");
}

TEST(Report, JsonLinesParseAndKeepTheText) {
  std::ostringstream out, err;
  Reporter report(out, err, true);
  report.Row("USB", "a\nb", {{"state", "ready"}});
  report.Message("Device Not Found.  Please Check.");
  report.Row("10.0.0.1", std::string("bad \xff byte"));
  std::istringstream lines(out.str());
  std::vector<nlohmann::json> objects;
  for (std::string line; std::getline(lines, line);) {
    objects.push_back(nlohmann::json::parse(line));
  }
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0].at("address"), "USB");
  EXPECT_EQ(objects[0].at("text"), "a\nb");
  EXPECT_EQ(objects[0].at("state"), "ready");
  EXPECT_EQ(objects[1].at("message"), "Device Not Found.  Please Check.");
  EXPECT_EQ(objects[2].at("text"), "bad \xEF\xBF\xBD byte");
  EXPECT_TRUE(err.str().empty());
}

}  // namespace
}  // namespace refloq::cli
