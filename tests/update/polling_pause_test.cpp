// The polling loops of the workflow pause before they ask again, also
// when the scanner refuses the connection: a job never spins against a
// scanner that may be writing its flash.  Each case counts the attempts
// within the loop's time limit (time compressed) against the most its
// pause allows.  (The USB progress loop's pause at progress 0 cannot be
// told apart here: the simulated USB link itself takes about a second of
// compressed time per status query.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>

#include "sim/update_timeline.h"
#include "tests/update/workflow_fixture.h"

namespace refloq::update::testing {
namespace {

struct PollingCase {
  const char* name;
  Transport transport;
  // Sets the scanner up; `f.on_job_trace` may change it as the loop starts.
  std::function<void(WorkflowFixture&)> setup;
  // The trace line after which the loop's attempts are counted, and the
  // line of each attempt.
  const char* loop_start;
  const char* attempt;
  // The loop's time limit and pause: at most limit / pause attempts, and
  // two more for the first and the last.
  std::uint32_t limit_ms;
  std::uint32_t pause_ms;
  const char* final_text;
};

void PrintTo(const PollingCase& c, std::ostream* os) { *os << c.name; }

// Once `line` is traced, the scanner refuses every connection.
void RefuseFrom(WorkflowFixture& f, std::string line) {
  f.on_job_trace = [&f, line](std::string_view traced) {
    if (traced == line) f.engine().SetRefuseConnections(true);
  };
}

const PollingCase kPollingCases[] = {
    {"WakeLoopWithRefusedConnections", Transport::kTcp,
     [](WorkflowFixture& f) {
       f.engine().UpdateState(
           [](sim::ScannerState& s) { s.status.bSleep = 1; });
       f.PermitUpdate();
       RefuseFrom(f, "==>Into wait scanner wake loop, timeout 60sec");
     },
     "==>Into wait scanner wake loop, timeout 60sec", "==>Open connect start",
     60000, 1000, "Device Error Occurred, FW Update Aborted."},
    {"RestartLoopOfAScannerThatNeverReturns", Transport::kTcp,
     [](WorkflowFixture& f) {
       sim::UpdateTimelineOptions options;
       options.restart_ms = sim::kNever;
       f.StartTimeline(options);
       f.PermitUpdate();
       RefuseFrom(f, "==>Get device status loop start");
     },
     "==>Get device status loop start", "==>Open connect start", 120000, 1000,
     "FW Update Failed."},
};

class PollingPause : public WorkflowFixture,
                     public ::testing::WithParamInterface<PollingCase> {};

TEST_P(PollingPause, NoLoopAsksWithoutItsPause) {
  const PollingCase& c = GetParam();
  c.setup(*this);
  RunJob(c.transport);
  on_job_trace = nullptr;

  const std::vector<std::string> trace = Trace();
  const auto start = std::find(trace.begin(), trace.end(), c.loop_start);
  ASSERT_NE(start, trace.end()) << ::testing::PrintToString(Texts());
  const std::ptrdiff_t attempts = std::count(start, trace.end(), c.attempt);
  EXPECT_GE(attempts, 2);
  EXPECT_LE(attempts, static_cast<std::ptrdiff_t>(c.limit_ms / c.pause_ms) + 12)
      << "the loop asked again without its pause";
  EXPECT_EQ(rows_.LastTextOf(0), c.final_text);
}

INSTANTIATE_TEST_SUITE_P(Loops, PollingPause,
                         ::testing::ValuesIn(kPollingCases),
                         [](const auto& test) {
                           return std::string(test.param.name);
                         });

}  // namespace
}  // namespace refloq::update::testing
