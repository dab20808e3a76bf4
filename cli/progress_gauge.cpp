#include "cli/progress_gauge.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "texts/string_ids.h"
#include "update/status_format.h"

namespace refloq::cli {
namespace {

using texts::kTextChecking;
using texts::kTextRebootCountdown;
using texts::kTextSendingData;
using texts::kTextStartingUpdate;
using texts::kTextSuccess;

// The network job's restart countdown, 1:20 down to 0:01.
constexpr int kCountdownSeconds = 80;

// The image is on its way at 5 %, in the scanner at 40 %; the restart
// countdown (network) or the scanner's own percentage (USB) covers 40 % to
// 90 %; the restart check ends at 100 % with "Success.".
constexpr int kSending = 5;
constexpr int kSent = 40;
constexpr int kUpdated = 90;

}  // namespace

ProgressGauge::ProgressGauge(const UiText& ui) {
  stages_[ui(kTextChecking)] = 2;
  stages_[ui(kTextSendingData)] = kSending;
  stages_[ui(kTextStartingUpdate)] = kSent;
  stages_[ui(kTextSuccess)] = 100;
  const std::string countdown = ui(kTextRebootCountdown);
  for (int left = kCountdownSeconds; left >= 1; --left) {
    const int done = kCountdownSeconds - left + 1;
    stages_[update::FormatTwoNumbers(countdown, left / 60, left % 60)] =
        kSent + (kUpdated - kSent) * done / kCountdownSeconds;
  }
}

int ProgressGauge::After(int before, std::string_view text) const {
  int reached = before;
  if (auto it = stages_.find(std::string(text)); it != stages_.end()) {
    reached = it->second;
  } else if (text.size() >= 2 && text.back() == '%') {
    // The USB progress loop writes "NN%" (and "100%" when done).
    int percent = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size() - 1, percent);
    if (error == std::errc() && end == text.data() + text.size() - 1) {
      reached = kSent + (kUpdated - kSent) * std::clamp(percent, 0, 100) / 100;
    }
  }
  return std::max(before, reached);
}

}  // namespace refloq::cli
