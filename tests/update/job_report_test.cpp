// A job's report as data: the text a host makes of it, and how a final
// report says the job ended.
#include "update/job_report.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/update/recording_host.h"
#include "texts/string_ids.h"

namespace refloq::update {
namespace {

using testing::EnglishUiString;

TEST(JobReport, ItsTextIsMadeWithTheHostsStrings) {
  struct Case {
    const char* name;
    JobReport report;
    UiStringLoader ui;
    std::string text;
  };
  // A language library's countdown, its conversions in another order of
  // words, and a text whose "%" must stay as written.
  const UiStringLoader translated = [](int id) -> std::string {
    if (id == texts::kTextRebootCountdown) return "Neustart in %2d:%02d min";
    if (id == texts::kTextReady) return "100% %d bereit";
    return "";
  };
  const Case cases[] = {
      {"Text", JobReport::Text(texts::kTextReady), EnglishUiString, "Ready"},
      {"Final", JobReport::Final(texts::kTextSuccess), EnglishUiString,
       "Success."},
      {"CountdownStart",
       JobReport::Countdown(texts::kTextRebootCountdown, 1, 20),
       EnglishUiString, "Wait for 1:20 min, Device Will Reboot."},
      {"CountdownEnd", JobReport::Countdown(texts::kTextRebootCountdown, 0, 1),
       EnglishUiString, "Wait for 0:01 min, Device Will Reboot."},
      {"TranslatedCountdown",
       JobReport::Countdown(texts::kTextRebootCountdown, 0, 7), translated,
       "Neustart in  0:07 min"},
      {"NoArgumentsNoFormatting", JobReport::Text(texts::kTextReady),
       translated, "100% %d bereit"},
      {"Progress", JobReport::Progress(37), EnglishUiString, "37%"},
      {"ProgressZero", JobReport::Progress(0), EnglishUiString, "0%"},
      {"ProgressDone", JobReport::Progress(100), translated, "100%"},
      {"Cleared", JobReport::Cleared(), EnglishUiString, ""},
      {"UnknownId", JobReport::Text(texts::kTextSearch), EnglishUiString, ""},
      {"NoStrings", JobReport::Text(texts::kTextReady), nullptr, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StatusText(c.report, c.ui), c.text) << c.name;
  }
}

TEST(JobReport, OnlyTheTwoSuccessTextsEndAJobWell) {
  for (int id = texts::kTextAboutMenu; id <= texts::kTextUpdateTableLabel;
       ++id) {
    const JobReport report = JobReport::Final(id);
    const bool success =
        id == texts::kTextSuccess || id == texts::kTextRecoverFwSuccess;
    EXPECT_TRUE(report.is_final()) << id;
    EXPECT_EQ(report.outcome,
              success ? JobOutcome::kSucceeded : JobOutcome::kFailed)
        << id;
    EXPECT_EQ(report.text_id, id);
    // The same text written along the way ends nothing.
    EXPECT_FALSE(JobReport::Text(id).is_final()) << id;
  }
  EXPECT_FALSE(JobReport::Progress(100).is_final());
  EXPECT_TRUE(JobReport::Cleared().is_cleared());
  EXPECT_FALSE(JobReport::Progress(0).is_cleared());
}

}  // namespace
}  // namespace refloq::update
