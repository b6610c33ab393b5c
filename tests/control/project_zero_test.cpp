// Setting the project's work zero: the zero reaches the simulated
// controller, and the project is checked against it afterwards, every
// check only warning.
#include "control/project_zero.h"

#include "../link/ops_rig.h"

#include "config/tdlgkonfig.h"
#include "machine/state_bits.h"
#include "link/tool_operations.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <cmath>

namespace trazvik {
namespace {

using test::SimRig;
using test::Transport;

struct ZeroFixture {
  TDlgkonfig settings{'.'};
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts{boxes};
  TMDIChild project{settings, texts};
  std::array<double, 3> area{600, 400, 100};

  ZeroFixture() {
    EXPECT_TRUE(texts.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
    settings.set("skala", 100);
    settings.set("doOutline", 0);
    settings.set("polerowanie", 0);
    settings.set("bezramki", 0);
    settings.set("negatyw", 0);
    // A drawing of 100 x 50 mm (DXF units: hundredths).
    project.ImportFileType = 2;
    project.size_x = 10000;
    project.size_y = 5000;
  }
  std::string txt(const char* section, const char* key) const { return texts.dajTxt(section, key); }
  tProjectZeroCheck check(double x0, double y0) {
    return checkProjectAgainstZero(project, settings, texts, x0, y0, area);
  }
};

TEST(ProjectZeroChecks, SizeAndZeroAgainstTheArea) {
  ZeroFixture f;
  const std::string wrongZero = f.txt("Control_Panel", "msgProjektZaDuzyNiewlasciweZero");
  ASSERT_FALSE(wrongZero.empty());
  // Fits: no warning, the timer runs again.
  tProjectZeroCheck c = f.check(10, 10);
  EXPECT_TRUE(c.warnings.empty());
  EXPECT_TRUE(c.restartTimer);

  // The zero pushes the drawing out at the right.
  c = f.check(500.5, 10);
  EXPECT_EQ(c.warnings, std::vector<std::string>{wrongZero});
  EXPECT_TRUE(c.restartTimer);

  // At 700 % the drawing itself (700 mm) is wider than the area.
  f.settings.set("skala", 700);
  c = f.check(10, 10);
  ASSERT_FALSE(c.warnings.empty());
  EXPECT_EQ(c.warnings[0], f.txt("Control_Panel", "msgZbytDuzyProjekt"));
  EXPECT_TRUE(c.restartTimer);
}

TEST(ProjectZeroChecks, GcodeExtentsBelowZeroStopTheChecksAndTheTimer) {
  ZeroFixture f;
  f.project.ImportFileType = 3;
  f.project.size_x = 1000;  // 10 mm
  f.project.size_y = 1000;
  f.project.GcodPar.minX = -1;
  f.project.GcodPar.maxX = 9;
  f.project.GcodPar.minY = 0;
  f.project.GcodPar.maxY = 10;
  tProjectZeroCheck c = f.check(0.5, 0);
  EXPECT_EQ(c.warnings, std::vector<std::string>{f.txt("Control_Panel", "msgProjektZaDuzyNiewlasciweZero")});
  EXPECT_FALSE(c.restartTimer);
  // One millimetre is enough; the tool's allowance does not count for G-code.
  f.settings.set("doOutline", 1);
  f.settings.set("srednica", 6);
  c = f.check(1, 0);
  EXPECT_TRUE(c.warnings.empty());
  EXPECT_TRUE(c.restartTimer);
}

TEST(ProjectZeroChecks, MarginForTheToolAndThePolishing) {
  ZeroFixture f;
  f.settings.set("doOutline", 1);
  f.settings.set("srednica", 6);
  const std::string margin = f.txt("Control_Panel", "msgProjektZaDuzyNiewlasciweZero") + "\n\r" +
                             f.txt("Main_window", "msgUwzglednijSredniceIpoler");
  EXPECT_EQ(f.check(2, 10).warnings, std::vector<std::string>{margin});
  EXPECT_TRUE(f.check(3, 3).warnings.empty());  // exactly the tool's radius
  // Polishing adds its thickness on every side.
  f.settings.set("polerowanie", 1);
  f.settings.set("poler_grubosc", 1);
  EXPECT_EQ(f.check(3, 3).warnings, std::vector<std::string>{margin});
  // The tool does not count for a negative.
  f.settings.set("polerowanie", 0);
  f.settings.set("negatyw", 1);
  EXPECT_TRUE(f.check(2, 10).warnings.empty());
}

class ProjectZero : public ::testing::TestWithParam<Transport> {};

TEST_P(ProjectZero, ChosenZeroReachesTheControllerAndIsCheckedAfterwards) {
  SimRig rig(GetParam());  // "YFB 32": 10 steps per 0.01 mm
  ZeroFixture f;
  f.settings.set("doOutline", 1);
  f.settings.set("srednica", 6);
  std::vector<std::string> boxes;
  std::vector<bool> timer;
  tProjectZeroHooks hooks;
  hooks.chooseZero = [] { return std::array<double, 2>{2, 80.25}; };
  hooks.panelTimer = [&](bool on) { timer.push_back(on); };
  hooks.errorBox = [&](const std::string& text) { boxes.push_back(text); };

  EXPECT_TRUE(setbazaClick(rig.ops(), &f.project, f.settings, f.texts, f.area, hooks));
  const sim::MachineState m = rig.controller->machineState();
  EXPECT_EQ(m.zeroPoint[0], 2000);
  EXPECT_EQ(m.zeroPoint[1], 80250);
  EXPECT_DOUBLE_EQ(rig.st.pos0.x, 200);
  EXPECT_DOUBLE_EQ(rig.st.pos0.y, 8025);
  // The margin warns, the zero stays and the timer runs again.
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find(f.txt("Main_window", "msgUwzglednijSredniceIpoler")), std::string::npos);
  EXPECT_EQ(timer, (std::vector<bool>{false, true}));

  // Cancelled without a project: nothing sent, the timer back on.
  rig.takeSent();
  hooks.chooseZero = [] { return std::nullopt; };
  timer.clear();
  EXPECT_FALSE(setbazaClick(rig.ops(), nullptr, f.settings, f.texts, f.area, hooks));
  for (const Bytes& b : rig.takeSent()) EXPECT_NE(b.at(0), 'U');
  EXPECT_EQ(rig.controller->machineState().zeroPoint[0], 2000);
  EXPECT_EQ(timer, (std::vector<bool>{false, true}));
  EXPECT_EQ(boxes.size(), 1u);
  // Cancelled with the project open: the zero is as it was, nothing is said.
  EXPECT_FALSE(setbazaClick(rig.ops(), &f.project, f.settings, f.texts, f.area, hooks));
  EXPECT_EQ(boxes.size(), 1u);
}

// The work zero is checked against the area the controller reports, over
// USB and over Ethernet alike (the Ethernet status has no area of its own
// for the zero).
TEST_P(ProjectZero, TheZerosAreaIsTheOneTheControllerReports) {
  SimRig rig(GetParam());
  rig.ops().status.readState();
  const tLinkState& link = rig.ops().linkState();
  EXPECT_GT(link.workArea[0], 100);
  EXPECT_GT(link.workArea[1], 100);
  EXPECT_EQ(link.secondWorkArea, link.workArea);
}

TEST_P(ProjectZero, FrameTooCloseSwitchesTheToolOffAndKeepsTheTimerStopped) {
  SimRig rig(GetParam());
  ZeroFixture f;
  // A frame with one figure inside it whose left edge lies 1 mm inside
  // the frame's: cut without the frame the tool's radius reaches 2 mm
  // left of the zero at X 1.
  f.project.pp = {0, 0};
  f.project.pk = {10000, 5000};
  auto frame = std::make_unique<tfigura>();
  frame->ramka = true;
  auto inner = std::make_unique<tfigura>();
  inner->poziom = 1;
  inner->fig_pp = {100, 100};
  inner->fig_pk = {9000, 4000};
  f.project.fig.push_back(std::move(frame));
  f.project.fig.push_back(std::move(inner));
  f.project.jestRamka = true;
  for (const char* s : {"bezramki", "doOutline", "negatyw"}) f.settings.set(s, 1);
  f.settings.set("srednica", 6);
  std::vector<std::string> boxes;
  std::vector<bool> timer;
  tProjectZeroHooks hooks;
  hooks.chooseZero = [] { return std::array<double, 2>{1, 10}; };
  hooks.panelTimer = [&](bool on) { timer.push_back(on); };
  hooks.errorBox = [&](const std::string& text) { boxes.push_back(text); };
  rig.st.sel_power = 1;
  spindleOn(rig.ops());
  rig.ops().wait(std::chrono::milliseconds(50));
  rig.ops().status.readState();
  ASSERT_TRUE(rig.controller->machineState().toolOn());
  ASSERT_TRUE(setbazaClick(rig.ops(), &f.project, f.settings, f.texts, f.area, hooks));
  EXPECT_FALSE(rig.controller->machineState().toolOn());
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back(),
            f.txt("Main_window", "msgBlednyPunktZero") + "\n\r" + f.txt("Main_window", "msgOdsunFiguryOdRamki"));
  EXPECT_EQ(timer, std::vector<bool>{false});
  EXPECT_EQ(rig.controller->machineState().zeroPoint[0], 1000);
}

INSTANTIATE_TEST_SUITE_P(Transports, ProjectZero, ::testing::Values(Transport::tcp, Transport::usb),
                         test::transportName);

}  // namespace
}  // namespace trazvik
