#include "logging/app_logs.h"

#include "texts/recording_message_boxes.h"

#include "../common/temp_folder.h"
#include "fake_clock.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <regex>
#include <set>

namespace trazvik::logging {
namespace {

using testing::FakeClock;
using trazvik::testing::readFile;
using trazvik::testing::TempFolder;
using trazvik::testing::writeFile;

constexpr const char* kId = "0123ABCD-4567-89EF-0123-456789ABCDEF";

struct JobLogs {
  TempFolder folder;
  FakeClock time{{2024, 6, 14, 10, 11, 12}};
  texts::RecordingMessageBoxes boxes;
  std::unique_ptr<AppLogs> logs;

  explicit JobLogs(bool enabled = true, char separator = '.') {
    LogSetup setup;
    setup.dataDirectory = folder.text();
    setup.jobLogging = enabled;
    setup.boxes = &boxes;
    setup.clock = time.clock();
    setup.xmlTime = isoDateTimeText;
    setup.decimalSeparator = separator;
    setup.makeJobId = [] { return std::string(kId); };
    logs = std::make_unique<AppLogs>(setup);
  }
  std::vector<std::string> jobFiles() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder / "Jobs", ec), end; !ec && it != end; it.increment(ec))
      names.push_back(it->path().filename());
    return names;
  }
  pugi::xml_document load(const std::string& name) const {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_file((folder / ("Jobs/" + name)).c_str())) << name;
    return doc;
  }
  std::string value(const std::string& name, const char* element) const {
    return load(name).child("Job").child_value(element);
  }
};

CutStartInfo starInfo() {
  CutStartInfo info;
  info.projectCaption = "/home/op/star.plt";
  info.settingsCaption = "/home/op/Settings.mcc";
  info.machine = "YFB 32";
  info.workSpeed = 1499.5;
  info.workPower = 12000.4;
  info.estimatedCuttingTime = 2.5;
  info.cuttingLength = 1234.56;
  return info;
}

const std::string kFile = std::string("JOB_2024_06_14_10_11_12_") + kId + ".xml";

TEST(JobLog, OneFileFollowsTheJobThroughPauseAndEnd) {
  JobLogs j;
  j.logs->log_cut_start(starInfo());
  ASSERT_EQ(j.jobFiles(), std::vector<std::string>{kFile});
  EXPECT_EQ(j.value(kFile, "StatusId"), "1");
  EXPECT_EQ(j.value(kFile, "Status"), "Cut in progress");

  j.time.advanceSeconds(30);
  j.logs->log_cut_stop();
  EXPECT_EQ(j.value(kFile, "Status"), "Cut on hold");
  EXPECT_EQ(j.value(kFile, "Duration"), "00:00:30");
  j.time.advanceSeconds(60);
  j.logs->log_cut_continue();
  j.time.advanceSeconds(20);
  j.logs->log_cut_end();
  ASSERT_EQ(j.jobFiles(), std::vector<std::string>{kFile});

  const pugi::xml_document doc = j.load(kFile);
  const pugi::xml_node job = doc.child("Job");
  std::vector<std::string> order;
  for (pugi::xml_node child : job.children()) order.push_back(child.name());
  EXPECT_EQ(order, (std::vector<std::string>{"JobID", "Machine", "StatusId", "Status", "StartTime", "FinishTime",
                                             "Duration", "ProjectFile", "ConfigFile", "CuttingPower", "CuttingSpeed",
                                             "CuttingAnglePause", "EstimatedCuttingTime", "CuttingLenght"}));
  EXPECT_STREQ(job.child_value("JobID"), kId);
  EXPECT_STREQ(job.child_value("Machine"), "YFB 32");
  EXPECT_STREQ(job.child_value("StatusId"), "3");
  EXPECT_STREQ(job.child_value("Status"), "Cut completed");
  EXPECT_STREQ(job.child_value("StartTime"), "2024-06-14 10:11:12");
  EXPECT_STREQ(job.child_value("FinishTime"), "2024-06-14 10:13:02");
  EXPECT_STREQ(job.child_value("Duration"), "00:00:50");
  EXPECT_STREQ(job.child_value("ProjectFile"), "/home/op/star.plt");
  EXPECT_STREQ(job.child_value("ConfigFile"), "/home/op/Settings.mcc");
  EXPECT_STREQ(job.child_value("CuttingPower"), "12000");
  EXPECT_STREQ(job.child_value("CuttingSpeed"), "1500");
  EXPECT_STREQ(job.child_value("CuttingAnglePause"), "0");
  EXPECT_STREQ(job.child_value("EstimatedCuttingTime"), "2");  // halves to even
  EXPECT_STREQ(job.child_value("CuttingLenght"), "1235.0");
  EXPECT_TRUE(j.boxes.messages().empty());
}

TEST(JobLog, RunningJobIsRefreshedEveryTenSeconds) {
  JobLogs j;
  j.logs->log_cut_start(starInfo());
  for (int i = 0; i < 9; ++i) {
    j.time.advanceSeconds(1);
    j.logs->JobTimeDisplayTimer();
  }
  EXPECT_EQ(j.value(kFile, "Duration"), "00:00:00");
  j.time.advanceSeconds(1);
  j.logs->JobTimeDisplayTimer();
  EXPECT_EQ(j.value(kFile, "Duration"), "00:00:10");
  EXPECT_EQ(j.value(kFile, "FinishTime"), "2024-06-14 10:11:22");

  // On hold nothing is counted; a new job counts from 0 again.
  j.logs->log_cut_stop();
  for (int i = 0; i < 25; ++i) {
    j.time.advanceSeconds(1);
    j.logs->JobTimeDisplayTimer();
  }
  EXPECT_EQ(j.value(kFile, "Duration"), "00:00:10");
  EXPECT_EQ(j.value(kFile, "FinishTime"), "2024-06-14 10:11:22");
}

TEST(JobLog, LostLinkLeavesTheJobOnHoldAndSaysWhere) {
  JobLogs j;
  j.logs->log_cut_start(starInfo());
  j.time.advanceSeconds(12);
  j.logs->log_cut_interrupted("Link lost: job file sent up to byte 4096 (37 %)");
  EXPECT_EQ(j.value(kFile, "StatusId"), "2");
  EXPECT_EQ(j.value(kFile, "Duration"), "00:00:12");
  const std::string text = readFile(j.folder / "Logs/Log_2024_06.txt");
  EXPECT_NE(text.find("2024-06-14 10:11:24 - Cutting stop.\r\n" + std::string(12, ' ') + "Cutting time: 00:00:12\r\n" +
                      std::string(12, ' ') + "Link lost: job file sent up to byte 4096 (37 %)\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("End of cutting."), std::string::npos);
}

TEST(JobLog, PauseOrEndWithoutStartStillWritesTheResetJob) {
  JobLogs j;
  j.logs->log_cut_stop();
  const std::string file = std::string("JOB_2024_06_14_10_11_12_") + kId + ".xml";
  EXPECT_EQ(j.value(file, "StatusId"), "2");
  EXPECT_EQ(j.value(file, "ProjectFile"), "");
  j.logs->log_cut_end();
  EXPECT_EQ(j.value(file, "StatusId"), "3");
}

TEST(JobLog, DecimalSeparatorOfTheUser) {
  JobLogs j(true, ',');
  CutStartInfo info = starInfo();
  info.workPower = 7.5;  // rounded to 8 before it is written
  j.logs->log_cut_start(info);
  EXPECT_EQ(j.value(kFile, "CuttingLenght"), "1235,0");
  EXPECT_EQ(j.value(kFile, "CuttingPower"), "8");
}

TEST(JobLog, DisabledWritesNothing) {
  JobLogs j(false);
  j.logs->log_cut_start(starInfo());
  j.logs->log_cut_end();
  EXPECT_FALSE(std::filesystem::exists(j.folder / "Jobs"));
  EXPECT_TRUE(j.jobFiles().empty());
}

TEST(JobLog, UnwritableFolderIsReportedAndNothingIsHalfWritten) {
  JobLogs j;
  j.logs->log_cut_start(starInfo());
  // A folder in place of the job file: the write fails, the event log goes on.
  std::filesystem::remove(j.folder / ("Jobs/" + kFile));
  std::filesystem::create_directory(j.folder / ("Jobs/" + kFile));
  j.logs->log_cut_stop();
  ASSERT_EQ(j.boxes.messages().size(), 1u);
  EXPECT_NE(j.boxes.messages()[0].text.find(kFile), std::string::npos);
  // No temporary files are left beside it.
  EXPECT_EQ(j.jobFiles(), std::vector<std::string>{kFile});
}

TEST(JobLog, EveryJobGetsANewIdentifier) {
  const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    const std::string id = newJobId();
    EXPECT_TRUE(std::regex_match(id, form)) << id;
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 200u);

  TempFolder folder;
  FakeClock time({2024, 6, 14, 10, 11, 12});
  TCutJob job(time.clock());
  job.RegisterNew("M", "a.plt", 1, 1, 0, 1, 1, "S.mcc");
  const std::string first = job.FJobID;
  job.RegisterNew("M", "a.plt", 1, 1, 0, 1, 1, "S.mcc");
  EXPECT_NE(job.FJobID, first);
}

TEST(JobLog, StatusTexts) {
  const std::pair<int, const char*> cases[] = {{0, "New"},           {1, "Cut in progress"}, {2, "Cut on hold"},
                                               {3, "Cut completed"}, {4, "Cut stopped"},     {5, "Invalid state"},
                                               {-1, "Invalid state"}};
  for (const auto& [id, text] : cases) EXPECT_EQ(jobStatusText(id), text) << id;
}

TEST(Stopwatch, CountsRunningPeriodsOnly) {
  FakeClock time({2024, 6, 14, 10, 0, 0});
  TStopWatch watch(time.clock());
  watch.Stop();  // not running: nothing
  EXPECT_EQ(watch.ElapsedText(), "00:00:00");
  watch.Start();
  time.advanceSeconds(90);
  EXPECT_EQ(watch.ElapsedText(), "00:01:30");  // read while running
  // A second start while running keeps the running period.
  watch.Start();
  time.advanceSeconds(30);
  watch.Stop();
  time.advanceSeconds(600);
  EXPECT_EQ(watch.ElapsedText(), "00:02:00");
  watch.Restart();
  time.advanceSeconds(25 * 3600 + 5);
  EXPECT_EQ(watch.ElapsedText(), "01:00:05");  // hours of a day
}

TEST(DateTime, SerialDaysAndTexts) {
  EXPECT_EQ(dateOf(1899, 12, 30), 0.0);
  EXPECT_EQ(dateOf(2024, 6, 14), 45457.0);
  const DateTime t = toDateTime({2024, 2, 29, 23, 59, 58, 999});
  const CivilTime c = toCivil(t);
  EXPECT_EQ(std::vector<int>({c.year, c.month, c.day, c.hour, c.minute, c.second, c.millisecond}),
            std::vector<int>({2024, 2, 29, 23, 59, 58, 999}));
  EXPECT_EQ(formatLogTime(toDateTime({2024, 3, 5, 7, 8, 9})), "2024-03-05 07:08:09");
  EXPECT_EQ(formatFileStamp(toDateTime({2024, 3, 5, 7, 8, 9})), "2024_03_05_07_08_09");
  EXPECT_EQ(formatMonthStamp(toDateTime({2024, 12, 31, 23, 59, 59})), "2024_12");
  EXPECT_EQ(isoDateTimeText(dateOf(2024, 6, 14)), "2024-06-14");  // midnight: no time
  EXPECT_EQ(userDateTimeText()(dateOf(2024, 6, 14)).find(':'), std::string::npos);
  EXPECT_NE(userDateTimeText()(toDateTime({2024, 6, 14, 10, 11, 12})).find("11"), std::string::npos);
}

}  // namespace
}  // namespace trazvik::logging
