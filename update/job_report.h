#pragma once
// What a job reports into its row, as data: a string id with its numbers,
// or a bare percentage, and whether it is the job's final report and how
// the job ended.  The text a user reads is made from it where it is shown
// (StatusText), so hosts decide from ids and outcomes, never from texts.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace refloq::update {

// A user-visible text by its string id (UTF-8).
using UiStringLoader = std::function<std::string(int id)>;

enum class JobOutcome : std::uint8_t {
  kRunning,    // not a final report
  kSucceeded,  // final "Success." or "Recover FW Success, ..."
  kFailed,     // any other final text
};

struct JobReport {
  // The string id of the text; 0 for a bare percentage or a cleared row.
  int text_id = 0;
  // The numbers the text's format takes, in order (the restart countdown:
  // minutes, seconds).
  std::array<int, 2> args{};
  int arg_count = 0;
  // "%d%%" when text_id is 0 and this is not negative.
  int percent = -1;
  JobOutcome outcome = JobOutcome::kRunning;

  // The empty text: the row cleared before its job starts.
  static JobReport Cleared() { return {}; }
  static JobReport Text(int id) {
    JobReport report;
    report.text_id = id;
    return report;
  }
  static JobReport Progress(int percent) {
    JobReport report;
    report.percent = percent;
    return report;
  }
  static JobReport Countdown(int id, int minutes, int seconds) {
    JobReport report = Text(id);
    report.args = {minutes, seconds};
    report.arg_count = 2;
    return report;
  }
  // The job's last report: succeeded for "Success." (114) and
  // "Recover FW Success, Please Reboot Device." (137), failed otherwise.
  static JobReport Final(int id);

  bool is_final() const { return outcome != JobOutcome::kRunning; }
  bool is_cleared() const { return text_id == 0 && percent < 0; }
  bool operator==(const JobReport&) const = default;
};

// The text of `report` with the texts of `ui`: the string (its integer
// conversions filled with the args), "NN%", or empty.
std::string StatusText(const JobReport& report, const UiStringLoader& ui);

}  // namespace refloq::update
