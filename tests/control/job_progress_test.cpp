// The job's progress record reads back what it wrote, in whatever locale the
// writing program ran, and refuses a damaged line with its place.
#include "control/job_progress.h"

#include "../common/comma_locale.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

tJobProgress sampleProgress() {
  tJobProgress p;
  p.jobHash = "0123456789abcdef-100";
  p.state = tJobRunState::interrupted;
  p.sent = 90;
  p.confirmed = 60;
  p.jobBytes = 100;
  p.homingRequired = true;
  p.lastPosition = tToolPoint{12.5, -3.25, 0.125};
  return p;
}

TEST(JobProgressRecord, ReadsBackWhatAProgramInACommaLocaleWrote) {
  std::string text;
  {
    testing::CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "pl_PL.UTF-8 is not installed (scripts/setup installs it)";
    text = jobProgressText(sampleProgress());
  }
  std::string error;
  const auto back = parseJobProgress(text, "run", error);
  ASSERT_TRUE(back.has_value()) << error << "\n" << text;
  ASSERT_TRUE(back->lastPosition.has_value());
  EXPECT_DOUBLE_EQ(back->lastPosition->x, 12.5);
  EXPECT_DOUBLE_EQ(back->lastPosition->y, -3.25);
  EXPECT_DOUBLE_EQ(back->lastPosition->z, 0.125);
  EXPECT_EQ(jobProgressText(*back), text);
}

TEST(JobProgressRecord, DamagedLinesAreRefusedWithTheirPlace) {
  const std::string good = jobProgressText(sampleProgress());
  std::string error;
  ASSERT_TRUE(parseJobProgress(good + "a-newer-key 7\n", "run", error).has_value()) << error;
  const struct {
    std::string text;
    std::string where;
  } bad[] = {
      {"", "run, line 0: empty file"},
      {"a job progress\n", "run, line 1"},
      {good + "sent 9x\n", "run, line 10"},
      {good + "position 1,5 2 3\n", "run, line 10"},
      {good + "state burning\n", "run, line 10"},
      {"trazvik job progress 1\nsent 5\n", "no job fingerprint"},
      {good + "confirmed 95\n", "byte counts out of order"},
  };
  for (const auto& b : bad) {
    SCOPED_TRACE(b.text);
    EXPECT_FALSE(parseJobProgress(b.text, "run", error).has_value());
    EXPECT_NE(error.find(b.where), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace trazvik
