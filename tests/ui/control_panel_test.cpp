// The control panel window against the simulated controller over TCP on
// 127.0.0.1: it shows the machine's positions, state and link, follows the
// locks, and turns the operator's keys and slider moves into actions.
#include "control_rig.h"

#include "control/panel_sliders.h"
#include "machine/state_bits.h"

#include "dialogs/window_grab.h"
#include "panel/control_panel.h"

#include "../common/temp_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace trazvik::ui {
namespace {

using control_test::ControlRig;
using control_test::RigOptions;
using namespace panel;

struct PanelFixture : ::testing::Test {
  std::unique_ptr<ControlRig> rig;
  std::unique_ptr<ControlPanel> panel;

  void SetUp() override {
    RigOptions options;
    options.config.timeScale = 1000;
    rig = std::make_unique<ControlRig>(options);
    ASSERT_TRUE(rig->connect());
    panel = std::make_unique<ControlPanel>(*rig->ster, *rig->texts);
    panel->beforeStep = [this] { rig->queue.runPending(); };
    panel->sliderMachine = [this] { return panel::sliderMachineOf(rig->machine, rig->link, rig->st.info1); };
    panel->selectedSpeedSlot = [this] { return int(rig->st.sel_speed); };
    panel->statusPower = [this] { return int(rig->st.power); };
  }
  void TearDown() override {
    panel.reset();
    rig.reset();
  }
  QString text(const char* name) { return panel->findChild<QLabel*>(name)->text(); }
  // Timer events of the panel until `done`, at most `timeout`.
  bool stepUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
      panel->timerEvent();
      if (done()) return true;
      std::this_thread::sleep_for(10ms);
    }
    return done();
  }
};

TEST_F(PanelFixture, ShowsTheMachinesPositionsCaptionAndLocks) {
  panel->show();
  panel->timerEvent();
  EXPECT_EQ(panel->windowTitle().toStdString(), rig->ster->display().caption);
  EXPECT_NE(panel->windowTitle().toStdString().find(rig->texts->dajTxt("Control_Panel", "ster.Caption.BrakLacznosci")),
            0u)
      << "linked over Ethernet, the caption says so";
  EXPECT_TRUE(panel->findChild<QToolButton*>("ku")->isEnabled());

  // A short job moves the machine to 12, 10 mm; the panel shows where it stands.
  rig->writeJob(control_test::shortJob(rig->machine, rig->link, 3));
  ASSERT_TRUE(rig->trans->start());
  ASSERT_TRUE(stepUntil([&] { return rig->count(tControlEventKind::jobEnded) > 0; }, 10s));
  panel->timerEvent();
  EXPECT_TRUE(text("wmx").startsWith("12.")) << text("wmx").toStdString();
  EXPECT_TRUE(text("wmy").startsWith("10.")) << text("wmy").toStdString();
  EXPECT_EQ(text("wpx"), text("wmx"));
  EXPECT_TRUE(panel->findChild<QToolButton*>("ku")->isEnabled());
  EXPECT_TRUE(panel->findChild<QToolButton*>("kstop")->isEnabled());
  EXPECT_EQ(panel->findChild<QGroupBox*>("gbWspMaszyny")->title().toStdString(),
            rig->texts->dajTxt("Control_Panel", "gbWspMaszyny.Caption") + " [mm]");
}

TEST_F(PanelFixture, CanBePictured) {
  panel->show();
  panel->timerEvent();
  testing::TempFolder folder;
  const QString path = QString::fromStdString((folder / "control_panel.png").string());
  ASSERT_TRUE(grabWindowToPng(panel.get(), path));
  EXPECT_EQ(QImage(path).size(), panel->size());
  if (const char* keep = std::getenv("TRAZVIK_KEEP_PICTURES")) {
    grabWindowToPng(panel.get(), QString(keep) + "/control_panel.png");
    panel->testPanel()->show();
    panel->adjustSize();
    grabWindowToPng(panel.get(), QString(keep) + "/control_panel_test.png");
  }
}

TEST_F(PanelFixture, KeysGoToTheJogAndReleasesStopIt) {
  std::vector<std::string> seen;
  panel->actions().keyDown = [&](int code) {
    seen.push_back("down " + std::to_string(code));
    return true;
  };
  panel->actions().keyUp = [&](int code) {
    seen.push_back("up " + std::to_string(code));
    return true;
  };
  panel->show();
  QTest::keyPress(panel.get(), Qt::Key_Right);
  QTest::keyPress(panel.get(), Qt::Key_Right, Qt::NoModifier);  // held: repeats
  QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(panel.get(), &repeatRelease);
  QTest::keyRelease(panel.get(), Qt::Key_Right);
  QTest::keyPress(panel.get(), Qt::Key_9, Qt::KeypadModifier);
  QTest::keyRelease(panel.get(), Qt::Key_9, Qt::KeypadModifier);
  QTest::keyPress(panel.get(), Qt::Key_PageUp);
  QTest::keyPress(panel.get(), Qt::Key_Insert);
  const std::vector<std::string> expected{"down 39", "down 39", "up 39", "down 105", "up 105", "down 33", "down 45"};
  EXPECT_EQ(seen, expected);

  // Shift+Alt+F12 shows and hides the test panel with the state bits.
  EXPECT_FALSE(panel->testPanel()->isVisible());
  QTest::keyPress(panel.get(), Qt::Key_F12, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_TRUE(panel->testPanel()->isVisible());
  QTest::keyPress(panel.get(), Qt::Key_F12);
  EXPECT_TRUE(panel->testPanel()->isVisible()) << "F12 alone does nothing";
  QTest::keyPress(panel.get(), Qt::Key_F12, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_FALSE(panel->testPanel()->isVisible());
}

TEST_F(PanelFixture, MotionButtonsJogWhilePressedAndStopOnRelease) {
  std::vector<std::string> seen;
  panel->actions().buttonDown = [&](PanelButton b) { seen.push_back("down " + std::to_string(int(b))); };
  panel->actions().buttonUp = [&](PanelButton b) { seen.push_back("up " + std::to_string(int(b))); };
  int stops = 0;
  panel->actions().stopPressed = [&] { ++stops; };
  panel->show();
  QTest::mousePress(panel->findChild<QToolButton*>("kdr"), Qt::LeftButton);
  QTest::mouseRelease(panel->findChild<QToolButton*>("kdr"), Qt::LeftButton);
  QTest::mouseClick(panel->findChild<QToolButton*>("kzu"), Qt::LeftButton);
  QTest::mouseClick(panel->findChild<QToolButton*>("kstop"), Qt::LeftButton);
  const std::vector<std::string> expected{"down 7", "up 7", "down 8", "up 8"};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(stops, 1);
  EXPECT_TRUE(rig->ster->zatrzymaj()) << "the STOP click reaches the monitoring step";
}

TEST_F(PanelFixture, TheFeedSliderLoadsSnappedFeedsButNotWhatTheControllerReports) {
  std::vector<std::int64_t> loaded;
  panel->actions().loadFeed = [&](std::int64_t feed) { loaded.push_back(feed); };
  panel->show();
  panel->timerEvent();
  const tSliderMachine m = panel->sliderMachine();
  ASSERT_FALSE(m.legacyJogScale) << "this test is about the non-linear scale";
  loaded.clear();  // whatever following the controller did
  QSlider* slider = panel->speedSlider();
  slider->setMaximum(std::max(slider->maximum(), 330));
  slider->setValue(253);  // 7300 mm/min
  ASSERT_FALSE(loaded.empty());
  EXPECT_EQ(loaded.back(), 7500);
  EXPECT_EQ(slider->value(), 255);
  EXPECT_EQ(panel->findChild<QLabel*>("speedlabel")->text(), "7500");
  // Numpad + moves it one position and loads that feed; at the machine's
  // fastest jog it stays there.
  ASSERT_GT(m.maxFeedXY, 2100);
  slider->setValue(200);
  QTest::keyPress(panel.get(), Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(slider->value(), 201);
  EXPECT_EQ(loaded.back(), 2100);
  slider->setValue(speedToSlider(m.maxFeedXY));
  QTest::keyPress(panel.get(), Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(slider->value(), speedToSlider(m.maxFeedXY));
  QTest::keyPress(panel.get(), Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(slider->value(), speedToSlider(m.maxFeedXY) - 1);
}

TEST(ControlPanelJob, JogButtonsLockWhileAJobRunsAndTheSlidersStayUsable) {
  RigOptions options;
  options.config.timeScale = 5;
  ControlRig rig(options);
  ASSERT_TRUE(rig.connect());
  ControlPanel panel(*rig.ster, *rig.texts);
  panel.beforeStep = [&] { rig.queue.runPending(); };
  panel.actions().home = [] {};
  panel.show();
  panel.timerEvent();
  EXPECT_TRUE(panel.findChild<QToolButton*>("kl")->isEnabled());
  EXPECT_TRUE(panel.findChild<QWidget*>("bazuj")->isEnabled());
  EXPECT_FALSE(panel.findChild<QWidget*>("setbaza")->isEnabled()) << "no work zero window attached";
  rig.writeJob(control_test::squareJob(rig.machine, rig.link, 200));
  ASSERT_TRUE(rig.trans->start());
  const auto stepUntil = [&](const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!done() && std::chrono::steady_clock::now() < end) {
      panel.timerEvent();
      std::this_thread::sleep_for(10ms);
    }
    return done();
  };
  ASSERT_TRUE(stepUntil([&] { return rig.st.bit(stateBit::jobRunning); }));
  rig.controller()->holdBufferFull(true);  // the transfer waits, the status stage runs
  ASSERT_TRUE(stepUntil([&] { return !rig.flags.transferActive; }));
  panel.timerEvent();
  EXPECT_FALSE(panel.findChild<QToolButton*>("kl")->isEnabled());
  EXPECT_FALSE(panel.findChild<QToolButton*>("kzd")->isEnabled());
  EXPECT_FALSE(panel.findChild<QWidget*>("bazuj")->isEnabled());
  EXPECT_TRUE(panel.findChild<QWidget*>("Szybkosc")->isEnabled()) << "feed override during the job";
  EXPECT_TRUE(panel.findChild<QWidget*>("moc")->isEnabled());
  EXPECT_TRUE(panel.findChild<QToolButton*>("kstop")->isEnabled());
  EXPECT_TRUE(panel.findChild<QCheckBox*>("cbSbWork")->isChecked()) << "the test panel shows the running bit";
}

}  // namespace
}  // namespace trazvik::ui
