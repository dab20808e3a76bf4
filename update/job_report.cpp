#include "update/job_report.h"

#include "texts/string_ids.h"
#include "update/status_format.h"

namespace refloq::update {

JobReport JobReport::Final(int id) {
  JobReport report = Text(id);
  const bool succeeded =
      id == texts::kTextSuccess || id == texts::kTextRecoverFwSuccess;
  report.outcome = succeeded ? JobOutcome::kSucceeded : JobOutcome::kFailed;
  return report;
}

std::string StatusText(const JobReport& report, const UiStringLoader& ui) {
  if (report.text_id != 0) {
    const std::string text = ui ? ui(report.text_id) : std::string();
    // The format may come from a language library: only its integer
    // conversions are filled, never through printf.
    if (report.arg_count == 2) {
      return FormatTwoNumbers(text, report.args[0], report.args[1]);
    }
    return text;
  }
  if (report.percent >= 0) return ProgressText(report.percent);
  return {};
}

}  // namespace refloq::update
