#pragma once
// How far an update job has come, judged from the status texts it writes:
// the live table of `refloq-cli update` draws a bar from it.  The texts are
// matched against the same string table the jobs use, so a language library
// changes nothing.
#include <string>
#include <string_view>
#include <unordered_map>

#include "cli/command.h"

namespace refloq::cli {

class ProgressGauge {
 public:
  explicit ProgressGauge(const UiText& ui);

  // The percentage a job has reached once it wrote `text`, given the
  // percentage before (never lower than it: "Checking..." comes at the
  // start and again after the restart).
  int After(int before, std::string_view text) const;

 private:
  std::unordered_map<std::string, int> stages_;
};

}  // namespace refloq::cli
