// The control panel jogs the simulated controller: a held key moves the
// tool until it is released, a motion button the same with the mouse.
#include "control/jog_panel.h"
#include "control_rig.h"
#include "link/machine_ops.h"
#include "machine/state_bits.h"

#include "panel/control_panel.h"
#include "panel/panel_machine.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace trazvik::ui {
namespace {

TEST(ControlPanelJog, AHeldKeyMovesTheMachineAndItsReleaseStopsIt) {
  control_test::RigOptions options;
  options.config.timeScale = 1;
  control_test::ControlRig rig(options);
  ASSERT_TRUE(rig.connect());
  tMachineOps ops(*rig.machineLink, *rig.reader, rig.state);
  tJogPanel jog(ops);
  ControlPanel panel(*rig.ster, *rig.texts);
  panel.beforeStep = [&] { rig.queue.runPending(); };
  panel.sliderMachine = [&] { return panel::sliderMachineOf(rig.machine, rig.link, rig.st.info1); };
  panel.selectedSpeedSlot = [&] { return int(rig.st.sel_speed); };
  connectPanelToMachine(panel, ops, jog, rig.flags);
  panel.show();
  panel.timerEvent();
  const auto stepFor = [&](std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) {
      panel.timerEvent();
      std::this_thread::sleep_for(10ms);
    }
  };
  const auto x = [&] { return panel.findChild<QLabel*>("wmx")->text().toDouble(); };
  ASSERT_DOUBLE_EQ(x(), 0);

  QTest::keyPress(&panel, Qt::Key_Right);
  EXPECT_TRUE(jog.jogActive());
  stepFor(400ms);
  QTest::keyRelease(&panel, Qt::Key_Right);
  EXPECT_FALSE(jog.jogActive());
  stepFor(300ms);
  const double stoppedAt = x();
  EXPECT_GT(stoppedAt, 0) << "the key moved the tool to the right";
  EXPECT_LT(stoppedAt, rig.link.workArea[0]) << "the release stopped it before the end of the travel";
  stepFor(300ms);
  EXPECT_DOUBLE_EQ(x(), stoppedAt) << "it stands after the release";
  EXPECT_FALSE(rig.st.bit(stateBit::motionRunning));

  // The up button with the mouse.
  const auto y = [&] { return panel.findChild<QLabel*>("wmy")->text().toDouble(); };
  QTest::mousePress(panel.findChild<QToolButton*>("ku"), Qt::LeftButton);
  stepFor(300ms);
  QTest::mouseRelease(panel.findChild<QToolButton*>("ku"), Qt::LeftButton);
  stepFor(300ms);
  EXPECT_GT(y(), 0);
  EXPECT_LT(y(), rig.link.workArea[1]);
}

}  // namespace
}  // namespace trazvik::ui
