#include "update/status_format.h"

#include <gtest/gtest.h>

namespace refloq::update {
namespace {

struct FormatCase {
  const char* format;
  int first;
  int second;
  const char* text;
};

TEST(StatusFormat, FillsOnlyTheTwoIntegerConversions) {
  const FormatCase cases[] = {
      {"Wait for %d:%02d min, Device Will Reboot.", 1, 20,
       "Wait for 1:20 min, Device Will Reboot."},
      {"Wait for %d:%02d min, Device Will Reboot.", 0, 1,
       "Wait for 0:01 min, Device Will Reboot."},
      {"%2d|%02d|%d", 3, 4, " 3|04|%d"},  // a third conversion stays text
      {"100%% %d", 7, 8, "100% 7"},
      // A language library's text is never a printf format.
      {"%s%n%p %d", 5, 6, "%s%n%p 5"},
      {"trailing %", 1, 2, "trailing %"},
      {"%-5d", 1, 2, "%-5d"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatTwoNumbers(c.format, c.first, c.second), c.text)
        << c.format;
  }
  EXPECT_EQ(ProgressText(99), "99%");
}

}  // namespace
}  // namespace refloq::update
