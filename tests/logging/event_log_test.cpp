#include "logging/app_logs.h"

#include "config/global_cfg.h"

#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include "../common/temp_folder.h"
#include "fake_clock.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>

namespace trazvik::logging {
namespace {

using testing::FakeClock;
using trazvik::testing::readFile;
using trazvik::testing::TempFolder;
using trazvik::testing::writeFile;

struct Logs {
  TempFolder folder;
  FakeClock time{{2024, 6, 14, 10, 11, 12}};
  texts::RecordingMessageBoxes boxes;
  std::unique_ptr<AppLogs> logs;

  explicit Logs(bool xml = false, bool jobs = false) { open(xml, jobs); }
  void open(bool xml, bool jobs) {
    LogSetup setup;
    setup.dataDirectory = folder.text();
    setup.saveLogToXml = xml;
    setup.jobLogging = jobs;
    setup.boxes = &boxes;
    setup.clock = time.clock();
    setup.xmlTime = isoDateTimeText;
    logs = std::make_unique<AppLogs>(setup);
  }
  std::string text(const std::string& name) const { return readFile(folder / ("Logs/" + name)); }
};

TEST(AppEvent, DataTextSplitsAtCarriageReturns) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", {"a", "b", ""}},
      {"a\rb", {"a", "b"}},
      {"  padded \t\r", {"padded"}},
      {"one", {"one"}},
      {"", {}},
      {"\r\r", {"", ""}},
      {"x\r\n\r\ny", {"x", "", "y"}},
  };
  for (const Case& c : cases) {
    TAppEvent event([] { return 0.0; });
    event.AddEventData(c.text);
    EXPECT_EQ(event.FEventData, c.lines) << "text: " << c.text;
  }
}

TEST(EventLog, TextLogIsMonthlyAndAppended) {
  Logs l;
  l.logs->log_end_app();
  l.time.advanceSeconds(65);
  l.logs->log_cut_continue();
  EXPECT_EQ(l.text("Log_2024_06.txt"),
            "2024-06-14 10:11:12 - Closing the application.\r\n"
            "2024-06-14 10:12:17 - Continue cutting.\r\n");

  const std::string june = l.text("Log_2024_06.txt");
  // A program running across the month's end goes on in the new month's file.
  l.time.now = toDateTime({2024, 7, 1, 0, 0, 1});
  l.logs->log_end_app();
  EXPECT_EQ(l.text("Log_2024_07.txt"), "2024-07-01 00:00:01 - Closing the application.\r\n");
  EXPECT_EQ(l.text("Log_2024_06.txt"), june);
  EXPECT_TRUE(l.boxes.messages().empty());
}

TEST(EventLog, CuttingTimeLeavesThePausesOut) {
  Logs l;
  CutStartInfo info;
  info.projectCaption = "/home/op/star.plt";
  info.settingsCaption = "/home/op/Settings.mcc";
  info.workSpeed = 1500;
  info.workPower = 12000;
  info.toolDiameter = 3.175;
  info.estimatedCuttingTime = 12.5;  // halves to even
  info.cuttingLength = 1234.56;
  l.logs->log_cut_start(info);
  l.time.advanceSeconds(30);
  l.logs->log_cut_stop();
  l.time.advanceSeconds(60);
  l.logs->log_cut_continue();
  l.time.advanceSeconds(20);
  l.logs->log_cut_end();
  const std::string pad(12, ' ');
  EXPECT_EQ(l.text("Log_2024_06.txt"),
            "2024-06-14 10:11:12 - Start cutting.\r\n" + pad + "Project: /home/op/star.plt\r\n" + pad +
                "Settings: /home/op/Settings.mcc\r\n" + pad + "Cutting speed [mm/min]: 1500\r\n" + pad +
                "Spindle speed / power: 12000\r\n" + pad + "Tool diameter [mm]: 3.175\r\n" + pad +
                "Estimated cutting time [min]: 12\r\n" + pad +
                "Cutting length: 1234.6\r\n"
                "2024-06-14 10:11:42 - Cutting stop.\r\n" +
                pad +
                "Cutting time: 00:00:30\r\n"
                "2024-06-14 10:12:42 - Continue cutting.\r\n"
                "2024-06-14 10:13:02 - End of cutting.\r\n" +
                pad + "Cutting time: 00:00:50\r\n");
}

TEST(EventLog, XmlLogGrowsUnderOneRoot) {
  Logs l(/*xml=*/true);
  l.logs->log_end_app();
  l.time.advanceSeconds(1);
  l.logs->log_cut_stop();

  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file((l.folder / "Logs/Log_2024_06.xml").c_str()));
  const pugi::xml_node root = doc.child("event_log");
  ASSERT_TRUE(root);
  std::vector<pugi::xml_node> events(root.children("event").begin(), root.children("event").end());
  ASSERT_EQ(events.size(), 2u);
  EXPECT_STREQ(events[0].child_value("event_type_id"), "2");
  EXPECT_STREQ(events[0].child_value("event_msg"), "Closing the application.");
  EXPECT_STREQ(events[0].child_value("time"), "2024-06-14 10:11:12");
  EXPECT_FALSE(events[0].child("event_data"));
  EXPECT_STREQ(events[1].child_value("event_type_id"), "4");
  EXPECT_STREQ(events[1].child("event_data").attribute("name").value(), "param_1");
  EXPECT_STREQ(events[1].child_value("event_data"), "Cutting time: 00:00:00");
  // The text log is kept beside it.
  EXPECT_NE(l.text("Log_2024_06.txt").find("Cutting stop."), std::string::npos);
}

TEST(EventLog, DamagedXmlLogIsReportedAndKept) {
  Logs l(/*xml=*/true);
  const std::string damaged = "<event_log><event><time>";
  writeFile(l.folder / "Logs/Log_2024_06.xml", damaged);
  l.logs->log_end_app();
  EXPECT_EQ(l.text("Log_2024_06.xml"), damaged);
  ASSERT_EQ(l.boxes.messages().size(), 1u);
  EXPECT_TRUE(l.boxes.messages()[0].error);
  EXPECT_NE(l.boxes.messages()[0].text.find("Log_2024_06.xml"), std::string::npos);
  // The text log still got the event.
  EXPECT_NE(l.text("Log_2024_06.txt").find("Closing the application."), std::string::npos);
}

TEST(EventLog, FailedWriteIsReported) {
  TempFolder folder;
  writeFile(folder / "Logs", "a file where the log folder should be");
  texts::RecordingMessageBoxes boxes;
  FakeClock time({2024, 6, 14, 10, 11, 12});
  LogSetup setup;
  setup.dataDirectory = folder.text();
  setup.boxes = &boxes;
  setup.clock = time.clock();
  AppLogs logs(setup);
  logs.log_end_app();
  ASSERT_EQ(boxes.messages().size(), 1u);
  EXPECT_NE(boxes.messages()[0].text.find("Log_2024_06.txt"), std::string::npos);
  EXPECT_EQ(logs.failures().size(), 1u);
  EXPECT_TRUE(logs.filesWritten().empty());
}

TEST(EventLog, OldTextLogsAreDeletedAtStart) {
  TempFolder folder;
  std::filesystem::create_directories(folder / "Logs");
  for (const char* name : {"Log_2024_03.txt", "Log_2024_04.txt", "Log_2023_12.xml", "Log_abcd_ef.txt",
                           "Log_2020_13.txt", "Notes.txt", "Log_2024_1.txt"})
    writeFile(folder / "Logs" / name, "x");
  FakeClock time({2024, 6, 14, 9, 0, 0});
  LogSetup setup;
  setup.dataDirectory = folder.text();
  setup.clock = time.clock();
  AppLogs logs(setup);
  std::vector<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(folder / "Logs")) left.push_back(e.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Log_2020_13.txt", "Log_2023_12.xml", "Log_2024_04.txt", "Log_2024_1.txt",
                                            "Log_abcd_ef.txt", "Notes.txt"}));
}

TEST(EventLog, RetentionCountsWholeDaysFromTheFirstOfTheMonth) {
  TempFolder folder;
  FakeClock time({2024, 6, 1, 23, 59, 0});
  TLogManager manager(folder.text() + "Logs", time.clock());
  writeFile(folder / "Logs/Log_2024_03.txt", "x");  // 92 whole days: kept
  writeFile(folder / "Logs/Log_2024_02.txt", "x");  // 121 days: deleted
  EXPECT_EQ(manager.DeleteOldFiles(92), (std::vector<std::string>{"Log_2024_02.txt"}));
  time.now = toDateTime({2024, 6, 2, 0, 0, 0});  // 93 days
  EXPECT_EQ(manager.DeleteOldFiles(92), (std::vector<std::string>{"Log_2024_03.txt"}));
  EXPECT_EQ(manager.LogFileList(), std::vector<std::string>{});
}

TEST(EventLog, StartOfProgramNamesItsFiles) {
  Logs l;
  l.logs->log_start_app("/opt/trazvik/trazvik", "0.1.0.0");
  const std::string pad(12, ' ');
  const std::string cfg = l.folder.text() + "Halvorek.cfg";
  // Without the global configuration an empty data line closes the event.
  EXPECT_EQ(l.text("Log_2024_06.txt"), "2024-06-14 10:11:12 - Launching the application.\r\n" + pad +
                                           "Application version: 0.1.0.0\r\n" + pad +
                                           "Program file: /opt/trazvik/trazvik\r\n" + pad +
                                           "Global configuration file missing: " + cfg + "\r\n" + pad + "\r\n");

  trazvik::config::GlobalCfg record;
  record.settingsFile = l.folder.text() + "Mine.mcc";
  const auto bytes = trazvik::config::encodeGlobalCfg(record);
  writeFile(cfg, std::string(bytes.begin(), bytes.end()));
  std::filesystem::remove(l.folder / "Logs/Log_2024_06.txt");
  l.logs->log_start_app("/opt/trazvik/trazvik", "0.1.0.0");
  EXPECT_NE(l.text("Log_2024_06.txt")
                .find(pad + "Global configuration: " + cfg + "\r\n" + pad +
                      "Settings file missing: " + record.settingsFile + "\r\n"),
            std::string::npos);
  writeFile(record.settingsFile, "");
  l.logs->log_start_app("/opt/trazvik/trazvik", "0.1.0.0");
  EXPECT_NE(l.text("Log_2024_06.txt").find(pad + "Settings file: " + record.settingsFile + "\r\n"), std::string::npos);
}

TEST(EventLog, MessagesComeFromTheLanguageFile) {
  TempFolder folder;
  writeFile(folder / "Trazvik_PL.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<interface name=\"Trazvik\" version=\"0.1\">"
            "<JobLogger><ev_str_app_stop str=\"Zamknięcie programu.\"/>"
            "<ev_str_cut_time str=\"Czas: \"/></JobLogger></interface>");
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts(boxes);
  ASSERT_TRUE(texts.loadLanguageFile(folder.text(), "PL", "0.1"));
  FakeClock time({2024, 6, 14, 10, 11, 12});
  LogSetup setup;
  setup.dataDirectory = folder.text();
  setup.texts = &texts;
  setup.clock = time.clock();
  AppLogs logs(setup);
  logs.log_end_app();
  logs.log_cut_stop();  // its message key is missing: the texts' answer for a missing key
  EXPECT_EQ(readFile(folder / "Logs/Log_2024_06.txt"),
            "2024-06-14 10:11:12 - Zamknięcie programu.\r\n"
            "2024-06-14 10:11:12 - error\r\n" +
                std::string(12, ' ') + "Czas: 00:00:00\r\n");
}

TEST(EventLog, UnknownEventTypeGivesTheUnknownText) {
  TempFolder folder;
  TEventLogger logger(
      folder.text() + "log.txt", [] { return 0.0; }, isoDateTimeText);
  logger.FAppEvent.RegisterEvent(_END_EVENT_TYPE_ + 3);
  EXPECT_EQ(logger.EventMessage(), "Unknown event.");
  logger.FAppEvent.RegisterEvent(-1);
  EXPECT_EQ(logger.EventMessage(), "Unknown event.");
}

}  // namespace
}  // namespace trazvik::logging
