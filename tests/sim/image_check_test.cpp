// A scanner's verdict on the images it received, as scanner-sim prints it
// when it stops.
#include "sim/image_check.h"

#include <gtest/gtest.h>

namespace refloq::sim {
namespace {

const std::string kGood(64, 'a');
const std::string kBad(64, 'b');

TEST(ImageCheck, IntactOnlyWhenEveryImageMatches) {
  const struct {
    const char* name;
    std::vector<ReceivedImage> images;
    bool intact;
    std::string text;
  } cases[] = {
      {"none", {}, false, "10.0.0.2: no image received"},
      {"one that matches",
       {{257, 4096, kGood}},
       true,
       "10.0.0.2: image 4096 bytes, SHA-256 " + kGood + " matches"},
      {"one that does not",
       {{257, 4096, kBad}},
       false,
       "10.0.0.2: image 4096 bytes, SHA-256 " + kBad + " does not match " +
           kGood},
      {"a good one after a bad one",
       {{257, 10, kBad}, {257, 4096, kGood}},
       false,
       "10.0.0.2: image 10 bytes, SHA-256 " + kBad + " does not match " +
           kGood + "; image 4096 bytes, SHA-256 " + kGood + " matches"},
      {"two good ones", {{257, 1, kGood}, {257, 1, kGood}}, true, ""},
  };
  for (const auto& c : cases) {
    ScannerState state;
    state.images = c.images;
    const ImageVerdict verdict = JudgeReceivedImages("10.0.0.2", state, kGood);
    EXPECT_EQ(verdict.intact, c.intact) << c.name;
    if (!c.text.empty()) {
      EXPECT_EQ(verdict.text, c.text) << c.name;
    }
  }
}

}  // namespace
}  // namespace refloq::sim
