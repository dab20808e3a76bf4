#include "cli/progress_gauge.h"

#include <algorithm>

#include "texts/string_ids.h"

namespace refloq::cli {
namespace {

// The network job's restart countdown, 1:20 down to 0:01.
constexpr int kCountdownSeconds = 80;

// The image is on its way at 5 %, in the scanner at 40 %; the restart
// countdown (network) or the scanner's own percentage (USB) covers 40 % to
// 90 %; the restart check ends at 100 % with "Success.".
constexpr int kChecking = 2;
constexpr int kSending = 5;
constexpr int kSent = 40;
constexpr int kUpdated = 90;

int Reached(int before, const update::JobReport& report) {
  switch (report.text_id) {
    case 0:
      // The USB progress loop's "NN%" (and "100%" when done); a cleared
      // row says nothing.
      if (report.percent < 0) return before;
      return kSent +
             (kUpdated - kSent) * std::clamp(report.percent, 0, 100) / 100;
    case texts::kTextChecking:
      return kChecking;
    case texts::kTextSendingData:
      return kSending;
    case texts::kTextStartingUpdate:
      return kSent;
    case texts::kTextSuccess:
      return 100;
    case texts::kTextRebootCountdown: {
      if (report.arg_count != 2) return before;
      const int left = report.args[0] * 60 + report.args[1];
      const int done =
          std::clamp(kCountdownSeconds - left + 1, 0, kCountdownSeconds);
      return kSent + (kUpdated - kSent) * done / kCountdownSeconds;
    }
    default:
      return before;
  }
}

}  // namespace

int ProgressAfter(int before, const update::JobReport& report) {
  return std::max(before, Reached(before, report));
}

}  // namespace refloq::cli
