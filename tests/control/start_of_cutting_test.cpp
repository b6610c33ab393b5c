#include "start_fixture.h"

#include "job/job_machine.h"
#include "job/job_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace trazvik {
namespace {

using trazvik::testing::StartFixture;
using trazvik::testing::writeFile;

struct Start : StartFixture {
  TMDIChild& star() { return open(std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt"); }
  tStartOutcome run() { return start->Start1Click(project.get()); }
};

TEST(StartOfCutting, WithoutProjectNothingHappens) {
  Start s;
  EXPECT_EQ(s.run(), tStartOutcome::noProject);
  EXPECT_TRUE(s.machine.log.empty());
  EXPECT_TRUE(s.boxes.messages().empty());
  EXPECT_EQ(s.runRequests, 0);
}

TEST(StartOfCutting, WithoutLinkOrWhileBusyNothingIsSent) {
  Start s;
  s.star();
  s.machine.up = false;
  EXPECT_EQ(s.run(), tStartOutcome::noLink);
  EXPECT_EQ(s.machine.state_.pos0.x, 1000);
  EXPECT_EQ(s.machine.state_.pos0.y, 1000);
  EXPECT_EQ(s.machine.log, std::vector<std::string>{"readState"});

  for (int bit : {0, 1}) {
    Start b;
    b.star();
    b.machine.state_.StateExtend = std::uint64_t{1} << bit;
    EXPECT_EQ(b.run(), tStartOutcome::machineBusy) << bit;
    EXPECT_EQ(b.machine.log, std::vector<std::string>{"readState"});
    EXPECT_EQ(b.messageTexts(), std::vector<std::string>{b.txt("Main_window", "msgStartMaszynaWRuchu")}) << bit;
    EXPECT_FALSE(b.jobWritten());
  }
}

// A start while a job runs or is paused would replace it: it says why and
// touches neither the machine nor the run flags.
TEST(StartOfCutting, AStartDuringAJobSaysWhyAndTouchesNothing) {
  Start s;
  s.star();
  s.context->jobActive = [] { return true; };
  EXPECT_EQ(s.run(), tStartOutcome::machineBusy);
  EXPECT_TRUE(s.machine.log.empty());
  EXPECT_EQ(s.messageTexts(), std::vector<std::string>{s.txt("Main_window", "msgStartPodczasZadania")});
  EXPECT_EQ(s.runRequests, 0);
  EXPECT_FALSE(s.jobWritten());
}

TEST(StartOfCutting, PreparesWritesAndHandsOverTheJob) {
  Start s;
  s.star();
  s.settings.set("przespeed", 900);
  s.machine.open = true;  // a transfer left running is stopped first
  ASSERT_EQ(s.run(), tStartOutcome::started) << ::testing::PrintToString(s.messageTexts());
  EXPECT_TRUE(s.boxes.messages().empty());
  EXPECT_EQ(s.start->plan().outputMode, kOutputDrawing);
  EXPECT_EQ(s.start->jobFilePath(), s.jobFile().string());
  EXPECT_GT(std::filesystem::file_size(s.jobFile()), 1000u) << "the whole star is written";
  // The drawing travels at the outline's height: 10 + 0.49 + 5 mm.
  EXPECT_DOUBLE_EQ(s.travelHeight, 15.49);
  const std::vector<std::string> expected{
      "readState",
      "stopTransfer",
      "V 00 84 03 00 00",  // travel feed 900 (the recording machine's code is the feed; 32 bits wide)
      "F 00",
      "powers 100.000000 100.000000",
      "sleep 3000",
      "move 0 z15.490000 y0.000000 x0.000000",
      "C",
      "wait",
      "Q",
      "sleep 10",
      "wait",
      "Q",
      "sleep 10",
      "wait",
      "C",
      "sleep 10",
      "wait",
      "move 0 z15.490000 y0.000000 x0.000000",
      "startTransfer"};
  EXPECT_EQ(s.machine.log, expected);
  ASSERT_EQ(s.started.size(), 1u);
  EXPECT_EQ(s.started[0].projectCaption, std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt");
  EXPECT_EQ(s.started[0].settingsCaption, "/cfg/Settings.mcc");
  EXPECT_EQ(s.started[0].machine, "YFB 32");
  EXPECT_EQ(s.started[0].workSpeed, s.settings.real("WorkSpeed"));
  EXPECT_EQ(s.started[0].toolDiameter, 3);
  EXPECT_GT(s.started[0].cuttingLength, 0);
  EXPECT_EQ(s.runRequests, 1);
}

TEST(StartOfCutting, AreaAndZeroChecksRefuseWithTheirMessage) {
  struct Case {
    const char* name;
    double areaX, zeroX, zeroZ;
    const char* section;
    const char* key;
    tStartOutcome outcome;
  };
  // star.plt is 100 mm wide; the tool is 3 mm, so 103 mm are needed beside a
  // zero of at least 1.5 mm.
  const Case cases[] = {
      {"area too small", 102, 100, 50, "Main_window", "msgProjektZaDuzy", tStartOutcome::preflight},
      {"zero too far", 200, 100, 50, "Main_window", "msgBlednyPunktZero", tStartOutcome::preflight},
      {"zero too near the edge", 1000, 1, 50, "Control_Panel", "msgProjektZaDuzyNiewlasciweZero",
       tStartOutcome::preflight},
      {"Z zero under the travel height", 1000, 100, 4, "Main_window", "msgZoutOfRange", tStartOutcome::zRange},
      {"no Z zero yet: the tool length sets it", 1000, 100, 0, "Main_window", "msgBrakZeraZ", tStartOutcome::zRange},
  };
  for (const Case& c : cases) {
    Start s;
    s.star();
    s.machine.link_.workArea[0] = c.areaX;
    s.machine.state_.pos0.x = c.zeroX * 100;
    s.machine.state_.pos0.z = c.zeroZ * 100;
    EXPECT_EQ(s.run(), c.outcome) << c.name;
    ASSERT_EQ(s.boxes.messages().size(), 1u) << c.name;
    EXPECT_EQ(s.boxes.messages()[0].text.rfind(s.txt(c.section, c.key), 0), 0u) << c.name;
    EXPECT_TRUE(s.boxes.messages()[0].error) << c.name;
    EXPECT_FALSE(s.jobWritten()) << c.name;
    EXPECT_FALSE(s.machine.contains("startTransfer")) << c.name;
    if (c.outcome == tStartOutcome::preflight) {
      EXPECT_EQ(s.machine.log.back(), "F 02") << c.name;
    }
  }
}

// plate.dxf holds four 7 mm holes in a 120 x 80 mm plate: a 10 mm cutter
// cannot cut them, a 6 mm one can. The start names them before it moves the
// machine and cuts the rest only when told to.
TEST(StartOfCutting, FiguresNarrowerThanTheToolAreNamedAndTheStartAsks) {
  const auto plate = std::string(TRAZVIK_SOURCE_DIR) + "/samples/plate.dxf";
  auto prepared = [&](Start& s, double tool) {
    s.settings.set("doOutline", true);
    s.settings.set("srednica", tool);
    s.machine.state_.pos0.x = s.machine.state_.pos0.y = 2000;
    return std::ref(s.open(plate));
  };
  {
    Start no;
    TMDIChild& p = prepared(no, 10);
    int narrow = 0;
    for (const auto& f : p.fig) narrow += f->narrowerThanTool ? 1 : 0;
    EXPECT_EQ(narrow, 4);
    no.boxes.prepareAnswer(texts::DialogButton::No);
    EXPECT_EQ(no.run(), tStartOutcome::narrowFigures);
    ASSERT_EQ(no.boxes.questions().size(), 1u);
    const std::string& q = no.boxes.questions()[0].text;
    EXPECT_EQ(q.rfind(no.txt("Project_window", "msgFiguryWezszeOdNarzedzia") + " 4", 0), 0u) << q;
    EXPECT_NE(q.find("X 105.00 Y 15.00 mm, 7.00 x 7.00 mm, tool 10.00 mm"), std::string::npos) << q;
    EXPECT_NE(q.find(no.txt("Main_window", "msgCzyCiacPozostale")), std::string::npos) << q;
    EXPECT_EQ(no.machine.log, std::vector<std::string>{"readState"}) << "nothing moves before the answer";
    EXPECT_FALSE(no.jobWritten());
  }
  {
    Start yes;
    prepared(yes, 10);
    yes.boxes.prepareAnswer(texts::DialogButton::Yes);
    EXPECT_EQ(yes.run(), tStartOutcome::started) << ::testing::PrintToString(yes.messageTexts());
    EXPECT_TRUE(yes.jobWritten());
  }
  {
    Start fits;
    TMDIChild& p = prepared(fits, 6);
    for (const auto& f : p.fig) EXPECT_FALSE(f->narrowerThanTool);
    EXPECT_EQ(fits.run(), tStartOutcome::started) << ::testing::PrintToString(fits.messageTexts());
    EXPECT_TRUE(fits.boxes.questions().empty());
  }
}

TEST(StartOfCutting, ExactFitPasses) {
  Start s;
  TMDIChild& p = s.star();
  const double width = p.size_x / 40.0;
  // The project, half the tool and the zero fill the area exactly.
  s.machine.state_.pos0.x = 150;
  s.machine.link_.workArea[0] = width + 1.5 + 1.5;
  EXPECT_EQ(s.run(), tStartOutcome::started) << ::testing::PrintToString(s.messageTexts());
  Start over;
  over.star();
  over.machine.state_.pos0.x = 150;
  over.machine.link_.workArea[0] = width + 1.5 + 1.5 - 0.01;
  EXPECT_EQ(over.run(), tStartOutcome::preflight);
}

TEST(StartOfCutting, ZRangeMessageNamesTheSettings) {
  Start s;
  s.star();
  s.machine.state_.pos0.z = 400;  // 4 mm below a travel height of 15.49 mm
  ASSERT_EQ(s.run(), tStartOutcome::zRange);
  const std::string text = s.boxes.messages().at(0).text;
  EXPECT_NE(text.find("[15.49 mm]"), std::string::npos) << text;
  EXPECT_NE(text.find(s.txt("Main_window", "msgMaxZrange") + " 4.00 mm"), std::string::npos) << text;
  EXPECT_EQ(text.find('&'), std::string::npos) << text;
  EXPECT_FALSE(s.machine.contains("C"));
}

TEST(StartOfCutting, UnwrittenJobIsNeverSent) {
  Start s;
  s.star();
  // Something that is not a job file stands where the job goes.
  std::filesystem::create_directories(s.jobFile() / "in the way");
  EXPECT_EQ(s.run(), tStartOutcome::writeFailed);
  EXPECT_FALSE(s.machine.contains("startTransfer"));
  EXPECT_TRUE(s.started.empty());
  ASSERT_EQ(s.boxes.messages().size(), 1u);
  const std::string text = s.boxes.messages()[0].text;
  EXPECT_EQ(text.rfind(s.txt("Project_window", "msgBladZapisuZadania"), 0), 0u) << text;
  EXPECT_NE(text.find(s.jobFile().string()), std::string::npos) << text;
  EXPECT_EQ(s.machine.log.back(), "F 02");
}

TEST(StartOfCutting, AJobThatCannotBeWrittenLeavesNoEarlierJobToSend) {
  Start s;
  // A stroke far beyond any controller's position fields.
  writeFile(s.folder / "far.plt", "IN;SP1;PU0,0;PD900000000,0;PU;");
  s.open((s.folder / "far.plt").string());
  s.settings.setChecked("doOutline", false);
  s.machine.link_.workArea = {1e9, 1e9, 120};
  writeFile(s.jobFile(), "stale job");
  EXPECT_EQ(s.run(), tStartOutcome::writeFailed) << ::testing::PrintToString(s.messageTexts());
  EXPECT_FALSE(s.jobWritten()) << "the earlier job is gone";
  EXPECT_FALSE(s.machine.contains("startTransfer"));
  EXPECT_EQ(s.machine.log.back(), "F 02");
}

TEST(StartOfCutting, OpenEnclosureStopsTheStart) {
  Start s;
  s.star();
  s.machine.model_.safetyEnclosure = true;
  s.machine.link_.machineInputs = 0x08;
  EXPECT_EQ(s.run(), tStartOutcome::enclosureOpen);
  EXPECT_EQ(s.stops, 1);
  ASSERT_EQ(s.boxes.messages().size(), 1u);
  EXPECT_EQ(s.boxes.messages()[0].caption, "Stop");
  EXPECT_EQ(s.boxes.messages()[0].text, s.txt("Main_window", "msgSafetyEnclouserOpened"));
  EXPECT_FALSE(s.jobWritten());
}

TEST(StartOfCutting, FailedStartPositionSelectsTheManualSlot) {
  Start s;
  s.star();
  s.machine.moveSucceeds = false;
  EXPECT_EQ(s.run(), tStartOutcome::startPositionFailed);
  EXPECT_FALSE(s.machine.contains("startTransfer"));
  EXPECT_FALSE(s.jobWritten());
}

TEST(StartOfCutting, GcodeProgramUsesItsOwnHeightAndNoToolMargins) {
  Start s;
  TMDIChild& p = s.open(std::string(TRAZVIK_SOURCE_DIR) + "/samples/pocket.nc");
  // A zero nearer the edge than half the tool is fine for a program.
  s.machine.state_.pos0.x = std::max(0.0, -p.GcodPar.minX) * 100 + 10;
  s.machine.state_.pos0.y = std::max(0.0, -p.GcodPar.minY) * 100 + 10;
  s.machine.state_.pos0.z = (p.GcodPar.maxZ + 1) * 100;
  ASSERT_EQ(s.run(), tStartOutcome::started) << ::testing::PrintToString(s.messageTexts());
  EXPECT_EQ(s.start->plan().outputMode, kOutputProgram);
  EXPECT_EQ(s.travelHeight, p.GcodPar.maxZ);
}

// The check reads the positions the written job reaches: the back-off
// before each cut of the flying start lies left of a zero on the edge.
TEST(StartOfCutting, FlyingStartNeedsRoomToBackOff) {
  Start s;
  s.star();
  const tMachineState laser = jobMachineFor("WTK32", 7, 20);
  s.machine.model_ = laser.model;
  s.machine.link_ = laser.link;
  s.machine.link_.workArea = {1000, 600, 0};
  s.settings.setChecked("LotnyStart", true);
  s.settings.setChecked("doOutline", false);
  s.machine.state_.pos0.x = 0;
  EXPECT_EQ(s.run(), tStartOutcome::flyingStart) << ::testing::PrintToString(s.messageTexts());
  ASSERT_EQ(s.boxes.messages().size(), 1u);
  const std::string text = s.boxes.messages()[0].text;
  EXPECT_EQ(text.rfind(s.txt("Main_window", "msgBrakMożliwościCofniecia"), 0), 0u) << text;
  EXPECT_NE(text.find("min X: -"), std::string::npos) << text;
  EXPECT_FALSE(s.machine.contains("startTransfer"));

  Start room;
  room.star();
  room.machine.model_ = laser.model;
  room.machine.link_ = laser.link;
  room.machine.link_.workArea = {1000, 600, 0};
  room.settings.setChecked("LotnyStart", true);
  room.settings.setChecked("doOutline", false);
  EXPECT_EQ(room.run(), tStartOutcome::started) << ::testing::PrintToString(room.messageTexts());
  EXPECT_EQ(room.travelHeight, 0) << "a laser without a focus axis travels at 0";
}

TEST(StartOfCutting, PlotterClassControllerStartsASmallJob) {
  Start s;
  s.star();
  s.machine.link_.cncMachine = false;
  EXPECT_EQ(s.run(), tStartOutcome::started) << ::testing::PrintToString(s.messageTexts());
  EXPECT_TRUE(s.machine.contains("startTransfer"));
}

}  // namespace
}  // namespace trazvik
