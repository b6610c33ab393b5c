// The control panel as an operator meets it, against the simulated
// controller over TCP: the caption keeps telling the link, a jog that goes
// nowhere says why, the layout does not grow off a 1280 x 800 screen, Esc
// closes it, held keys show their button pressed, message boxes open
// above it, and the speed label tells the feed from the first opening.
#include "link/speed_operations.h"
#include "machine/state_bits.h"
#include "modal_answer.h"

#include "machine_session_fixture.h"

#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QToolButton>

#include <fstream>

namespace trazvik::ui {
namespace {

using testing::MachineSessionTest;

struct OperatorPanelTest : MachineSessionTest {
  void showPanel() {
    ASSERT_NO_FATAL_FAILURE(startConnected());
    main().action("sterowanie")->trigger();
    ASSERT_TRUE(panel().isVisible());
    session().step();
    // The window system's activation of the panel arrives before the keys.
    runUntil([] { return false; }, 300);
  }
};

TEST_F(OperatorPanelTest, TheCaptionTellsTheLinkAfterAWindowInFrontOfItCloses) {
  ASSERT_NO_FATAL_FAILURE(showPanel());
  const QString ethernet = QString::fromStdString(texts().dajTxt("Control_Panel", "Control_Panel.Ethernet"));
  ASSERT_TRUE(runUntil([&] { return panel().windowTitle().startsWith(ethernet); }, 3000));
  // A modal window (tool length, base points) in front and closed again:
  // the panel is deactivated and activated.
  panel().deactivatePanel();
  panel().activatePanel();
  panel().refresh();
  EXPECT_TRUE(panel().windowTitle().startsWith(ethernet)) << panel().windowTitle().toStdString();
}

TEST_F(OperatorPanelTest, ZWithoutAZeroSaysWhyAndWhatToDo) {
  ASSERT_NO_FATAL_FAILURE(showPanel());
  ASSERT_EQ(machineState().status.pos0.z, 0) << "a fresh machine has no Z zero";
  QTest::keyPress(&panel(), Qt::Key_PageDown);
  QTest::keyRelease(&panel(), Qt::Key_PageDown);
  EXPECT_EQ(panel().jogInfo().toStdString(), texts().dajTxt("Control_Panel", "msgJogBrakZeraZ"));
  // A jog that moves clears the line.
  QTest::keyPress(&panel(), Qt::Key_Right);
  runUntil([] { return false; }, 200);
  QTest::keyRelease(&panel(), Qt::Key_Right);
  EXPECT_TRUE(panel().jogInfo().isEmpty()) << panel().jogInfo().toStdString();
}

TEST_F(OperatorPanelTest, HeldKeysShowTheirButtonPressedAndEscCloses) {
  ASSERT_NO_FATAL_FAILURE(showPanel());
  QToolButton* right = panel().findChild<QToolButton*>("kr");
  ASSERT_NE(right, nullptr);
  QTest::keyPress(&panel(), Qt::Key_Right);
  EXPECT_TRUE(right->isDown());
  QTest::keyRelease(&panel(), Qt::Key_Right);
  EXPECT_FALSE(right->isDown());
  QTest::keyClick(&panel(), Qt::Key_Escape);
  EXPECT_FALSE(panel().isVisible());
}

TEST_F(OperatorPanelTest, TheLayoutStaysPutAndFitsA1280By800Screen) {
  ASSERT_NO_FATAL_FAILURE(showPanel());
  QSlider* speed = panel().speedSlider();
  speed->setValue(speed->minimum());
  QApplication::processEvents();
  const QSize first = panel().frameGeometry().size();
  for (int v = speed->minimum(); v <= speed->maximum(); v += std::max(1, (speed->maximum() - speed->minimum()) / 20)) {
    speed->setValue(v);
    QApplication::processEvents();
    EXPECT_EQ(panel().frameGeometry().size(), first) << "speed slider at " << v;
  }
  EXPECT_LE(first.width(), 1280);
  EXPECT_LE(first.height(), 800);
  QPushButton* close = panel().findChild<QPushButton*>("zamknij");
  ASSERT_NE(close, nullptr);
  EXPECT_GE(close->width(), close->sizeHint().width()) << "the Close button shows its whole caption";
}

TEST_F(OperatorPanelTest, MessageBoxesOpenAboveThePanel) {
  ASSERT_NO_FATAL_FAILURE(showPanel());
  QApplication::setActiveWindow(&panel());
  QWidget* owner = nullptr;
  testing::answerNextModal([&](QWidget* modal) {
    owner = modal->parentWidget();
    modal->close();
  });
  boxWatcher_.stop();
  texts().messageBox("a question of the panel", true);
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(owner->window(), &panel());
  EXPECT_FALSE(panel().windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << "nothing may hide a question";
}

TEST_F(OperatorPanelTest, TheLinkMessageStaysAfterAnOpen) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  const QString linked = QString::fromStdString(texts().dajTxt("Ethernet_communication", "msgEthernetPodlaczony"));
  ASSERT_TRUE(runUntil([&] { return main().statusPanel(0) == linked; }, 5000)) << main().statusPanel(0).toStdString();
  ASSERT_NE(main().OtworzProjekt(testing::sample("star.plt")), nullptr);
  EXPECT_EQ(main().statusPanel(0), linked);
}

// A fresh controller's slot holds no feed: the panel gives it the travel
// feed and says so. A slot loaded beforehand is shown as it is.
TEST_F(OperatorPanelTest, TheSpeedLabelTellsTheSlotsFeedFromTheFirstOpening) {
  writeSettings(true);
  std::ofstream(folder_ / "data" / "Settings.mcc", std::ios::app) << "przespeed := 800\r\n";
  startProgram();
  ASSERT_TRUE(runUntil([&] { return connected(); }, 15000));
  tMachineOps& ops = session().connection().ops();
  ASSERT_EQ(ops.st.speed, 0) << "the simulated controller starts with empty slots";
  auto* label = panel().findChild<QLabel*>("speedlabel");
  ASSERT_NE(label, nullptr);

  main().action("sterowanie")->trigger();
  EXPECT_EQ(label->text(), "800");
  ops.status.readSpeeds();
  EXPECT_NEAR(periodToSpeed(ops, ops.st.speed), 800, 16) << "the controller runs a jog at the feed shown";

  panel().hide();
  loadSpeedSlot(ops, ops.st.sel_speed, 1200);
  main().action("sterowanie")->trigger();
  EXPECT_EQ(label->text(), "1200");
  runUntil([] { return false; }, 500);
  EXPECT_EQ(label->text(), "1200") << "the loop's reading keeps it";
}

}  // namespace
}  // namespace trazvik::ui
