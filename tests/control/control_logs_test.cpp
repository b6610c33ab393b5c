#include "control/control_logs.h"

#include "../common/temp_folder.h"
#include "../logging/fake_clock.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

using trazvik::testing::readFile;
using trazvik::testing::TempFolder;

struct Observed {
  TempFolder folder;
  logging::testing::FakeClock time{{2024, 6, 14, 10, 0, 0}};
  std::unique_ptr<logging::AppLogs> logs;
  std::unique_ptr<tControlLogs> observer;
  Observed() {
    logging::LogSetup setup;
    setup.dataDirectory = folder.text();
    setup.jobLogging = true;
    setup.clock = time.clock();
    setup.xmlTime = logging::isoDateTimeText;
    setup.makeJobId = [] { return std::string("0123ABCD-4567-89EF-0123-456789ABCDEF"); };
    logs = std::make_unique<logging::AppLogs>(setup);
    observer = std::make_unique<tControlLogs>(*logs);
  }
  void event(tControlEventKind kind, std::int32_t filePos = 0, double percent = 0) {
    tControlEvent e;
    e.kind = kind;
    e.filePos = filePos;
    e.percent = percent;
    observer->onEvent(e);
  }
  std::string text() const { return readFile(folder / "Logs/Log_2024_06.txt"); }
  static int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
};

TEST(ControlLogs, JobLifeBecomesLogEvents) {
  Observed o;
  logging::CutStartInfo info;
  info.projectCaption = "/p/star.plt";
  o.observer->started(info);
  o.time.advanceSeconds(10);
  o.event(tControlEventKind::jobPaused);
  o.time.advanceSeconds(100);
  o.event(tControlEventKind::jobContinued);
  o.time.advanceSeconds(5);
  o.event(tControlEventKind::spindleOverload);  // shown elsewhere, not an event of the log
  o.event(tControlEventKind::jobEnded);
  // A repeat starts the job again with what the last start recorded.
  o.event(tControlEventKind::jobStarted);
  const std::string t = o.text();
  EXPECT_EQ(Observed::count(t, "Start cutting."), 2) << t;
  EXPECT_EQ(Observed::count(t, "Project: /p/star.plt"), 2) << t;
  EXPECT_EQ(Observed::count(t, "Cutting stop."), 1) << t;
  EXPECT_EQ(Observed::count(t, "Continue cutting."), 1) << t;
  EXPECT_NE(t.find("End of cutting.\r\n" + std::string(12, ' ') + "Cutting time: 00:00:15"), std::string::npos) << t;
  EXPECT_EQ(o.logs->job().FStatusId, 1);  // the repeat runs
}

TEST(ControlLogs, LostLinkIsLoggedOnceWithWhereTheJobStopped) {
  Observed o;
  o.observer->started({});
  o.event(tControlEventKind::linkLost, 4096, 36.6);
  o.event(tControlEventKind::jobInterrupted, 4096, 36.6);  // the loop notices the same loss
  const std::string t = o.text();
  EXPECT_EQ(Observed::count(t, "Link lost: job file sent up to byte 4096 (37 %)"), 1) << t;
  EXPECT_EQ(Observed::count(t, "End of cutting."), 0) << t;
  EXPECT_EQ(o.logs->job().FStatusId, 2);
  // A new job may be lost again.
  o.observer->started({});
  o.event(tControlEventKind::jobInterrupted, 10, 1);
  EXPECT_EQ(Observed::count(o.text(), "Link lost:"), 2);
}

}  // namespace
}  // namespace trazvik
