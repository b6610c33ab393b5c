// The desktop program's machine side against the simulated controller over
// TCP on 127.0.0.1: the settings file's Ethernet box and address connect it,
// the control panel window ("sterowanie") shows the controller's positions
// and state and jogs it by button and key, and a lost controller shows in
// the panel's caption and the status bar while the window keeps answering.
#include "frame/machine_session.h"
#include "frame/program_start.h"
#include "link/machine_control_operations.h"
#include "machine/state_bits.h"
#include "dialogs/settings_dialog.h"
#include "frame/cutting_commands.h"
#include "link/move_operations.h"
#include "project/project_window.h"
#include "panel/control_panel.h"
#include "panel/base_points_window.h"
#include "panel/calibration_window.h"
#include "panel/tool_length_window.h"
#include "dialogs/flt_edit_widget.h"
#include "dialogs/radio_group_box.h"
#include "dialogs/multi_test_window.h"
#include "app/multi_test.h"
#include "modal_answer.h"

#include "machine_session_fixture.h"
#include "program_fixture.h"
#include "sim_server.h"
#include "usb_device.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

namespace trazvik::ui {
namespace {

using testing::programOptions;
using trazvik::testing::TempFolder;
using trazvik::testing::writeFile;

using testing::MachineSessionTest;

TEST_F(MachineSessionTest, TheSettingsEthernetBoxConnectsTheProgram) {
  writeSettings(true);
  startProgram();
  EXPECT_TRUE(program_->context().settings().flag("cbEthernetConnection"));
  EXPECT_TRUE(session().ethernetWanted());
  ASSERT_TRUE(runUntil([&] { return connected(); }, 15000)) << "the program connected to 127.0.0.1";
  EXPECT_EQ(main().statusPanel(0).toStdString(), texts().dajTxt("Ethernet_communication", "msgEthernetPodlaczony"));
  EXPECT_TRUE(main().action("sterowanie")->isEnabled());
  // The vacuum pump's menu items belong to machines that have one.
  ASSERT_EQ(machineState().model.machineParams.vacuumPump, 0) << "this router has no vacuum pump output";
  EXPECT_FALSE(main().action("miZalaczPompeProzniowa")->isVisible());
  machineState().model.machineParams.vacuumPump = 1;
  main().UpdateMenuItems();
  EXPECT_TRUE(main().action("miZalaczPompeProzniowa")->isVisible());
  EXPECT_TRUE(main().action("miZalaczPompeProzniowa")->isEnabled());
  controller_->clearReceivedCommands();
  main().action("miZalaczPompeProzniowa")->trigger();
  const std::vector<Bytes> received = controller_->receivedCommands();
  ASSERT_FALSE(received.empty());
  EXPECT_EQ(received.back(), (Bytes{'R', 1, 0x82}));
}

TEST_F(MachineSessionTest, WithTheEthernetBoxOffNoConnectionIsMade) {
  writeSettings(false);
  startProgram();
  EXPECT_FALSE(program_->context().settings().flag("cbEthernetConnection"));
  EXPECT_FALSE(session().ethernetWanted());
  runUntil([] { return false; }, 1500);
  EXPECT_FALSE(session().facts().present);
  EXPECT_EQ(server_->connectionCount(), 0u);
}

TEST_F(MachineSessionTest, ThePanelShowsTheControllerAndJogsItByKeyAndButton) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  main().action("sterowanie")->trigger();
  ASSERT_TRUE(panel().isVisible());
  // Opened, it shows the link at once (not the activation's no-link caption).
  const std::string ethernet = texts().dajTxt("Control_Panel", "Control_Panel.Ethernet");
  EXPECT_TRUE(panel().windowTitle().startsWith(QString::fromStdString(ethernet)))
      << panel().windowTitle().toStdString();
  ASSERT_FALSE(label("wmx").isEmpty());
  // The window system's activation of the panel arrives before the keys.
  runUntil([] { return false; }, 300);
  const auto shownX = [&] { return label("wmx").toDouble(); };
  const auto shownY = [&] { return label("wmy").toDouble(); };
  const double x0 = shownX(), y0 = shownY();
  EXPECT_NEAR(x0, controller_->toolPosition().x, 0.01);

  // A held arrow key moves the tool right until it is released ("Y").
  QTest::keyPress(&panel(), Qt::Key_Right);
  EXPECT_TRUE(session().jog().jogActive());
  ASSERT_TRUE(runUntil([&] { return controller_->toolPosition().x > x0 + 1; }, 5000));
  QTest::keyRelease(&panel(), Qt::Key_Right);
  EXPECT_FALSE(session().jog().jogActive());
  ASSERT_TRUE(runUntil([&] { return !controller_->stateBit(stateBit::motionRunning); }, 3000));
  const double stoppedAt = controller_->toolPosition().x;
  EXPECT_LT(stoppedAt, 1000 - 1) << "the release stopped it before the end of the travel";
  ASSERT_TRUE(runUntil([&] { return std::abs(shownX() - stoppedAt) < 0.01; }, 3000))
      << "the panel shows where it stands: " << label("wmx").toStdString();
  runUntil([] { return false; }, 300);
  EXPECT_DOUBLE_EQ(controller_->toolPosition().x, stoppedAt) << "it stands after the release";

  // The up button with the mouse, the same way.
  QToolButton* up = panel().findChild<QToolButton*>("ku");
  ASSERT_TRUE(up->isEnabled());
  QTest::mousePress(up, Qt::LeftButton);
  ASSERT_TRUE(runUntil([&] { return controller_->toolPosition().y > y0 + 1; }, 5000));
  QTest::mouseRelease(up, Qt::LeftButton);
  ASSERT_TRUE(runUntil([&] { return !controller_->stateBit(stateBit::motionRunning); }, 3000));
  const double stoppedY = controller_->toolPosition().y;
  EXPECT_LT(stoppedY, 600 - 1);
  EXPECT_TRUE(runUntil([&] { return std::abs(shownY() - stoppedY) < 0.01; }, 3000)) << label("wmy").toStdString();
}

// The switch "touchPanel" gives the panel its touch layout: large picture
// buttons that jog the machine as the plain ones do. Without it the panel
// keeps its plain buttons.
TEST_F(MachineSessionTest, TheTouchSwitchGivesThePanelPictureButtonsThatStillJog) {
  const char* const pictureButtons[] = {"kul", "ku",  "kur", "kl",  "kr",       "kdl",
                                        "kd",  "kdr", "kzu", "kzd", "k_zalwyl", "kstop"};
  for (const bool touch : {false, true}) {
    SCOPED_TRACE(touch ? "touch" : "plain");
    writeSettings(true);
    startProgram(touch ? std::vector<std::string>{"touchPanel"} : std::vector<std::string>{});
    ASSERT_TRUE(runUntil([&] { return connected(); }, 15000));
    main().action("sterowanie")->trigger();
    ASSERT_TRUE(panel().isVisible());
    EXPECT_EQ(panel().touchLayout(), touch);
    for (const char* name : pictureButtons) {
      SCOPED_TRACE(name);
      auto* button = panel().findChild<QToolButton*>(name);
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(!button->icon().isNull(), touch);
      EXPECT_EQ(button->text().isEmpty(), touch) << "a picture instead of the text";
      EXPECT_GE(button->height(), touch ? 80 : 40);
      EXPECT_LT(button->height(), touch ? 200 : 80);
    }
    // The right arrow still jogs: pressed, the tool moves right; released,
    // it stops.
    runUntil([] { return false; }, 300);
    const double x0 = controller_->toolPosition().x;
    QToolButton* right = panel().findChild<QToolButton*>("kr");
    ASSERT_TRUE(right->isEnabled());
    QTest::mousePress(right, Qt::LeftButton);
    ASSERT_TRUE(runUntil([&] { return controller_->toolPosition().x > x0 + 1; }, 5000));
    QTest::mouseRelease(right, Qt::LeftButton);
    ASSERT_TRUE(runUntil([&] { return !controller_->stateBit(stateBit::motionRunning); }, 3000));
    EXPECT_LT(controller_->toolPosition().x, 1000 - 1) << "the release stopped it";
    program_.reset();
  }
}

TEST_F(MachineSessionTest, HomeOnThePanelReturnsTheMachineToItsReferencePoint) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  main().action("sterowanie")->trigger();
  ASSERT_TRUE(panel().isVisible());
  moveRelative(session().connection().ops(), -3, 40, 120);
  ASSERT_TRUE(runUntil([&] { return !controller_->stateBit(stateBit::motionRunning); }, 5000));
  ASSERT_GT(controller_->toolPosition().x, 100);
  session().step();  // the panel's locks follow the machine at rest

  QPushButton* home = panel().findChild<QPushButton*>("bazuj");
  ASSERT_NE(home, nullptr);
  ASSERT_TRUE(home->isEnabled());
  // The window's own timers go on while the machine homes.
  int ticks = 0;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] { ++ticks; });
  probe.start(20);
  controller_->clearReceivedCommands();
  QTest::mouseClick(home, Qt::LeftButton);
  EXPECT_GT(ticks, 3) << "the window answered while the machine homed";
  EXPECT_FALSE(controller_->stateBit(stateBit::motionRunning));
  EXPECT_FALSE(controller_->stateBit(stateBit::homing));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone again";
  const sim::TracePoint p = controller_->toolPosition();
  EXPECT_NEAR(p.x, 0, 0.01);
  EXPECT_NEAR(p.y, 0, 0.01);
  EXPECT_NEAR(p.z, 0, 0.01);
  const std::vector<Bytes> received = controller_->receivedCommands();
  EXPECT_EQ(std::count_if(received.begin(), received.end(), [](const Bytes& b) { return !b.empty() && b[0] == 'B'; }),
            2);
  EXPECT_EQ(boxesShown(), "");
}

TEST_F(MachineSessionTest, MoveByTheGivenValueMovesTheMachineByThatDistance) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  main().action("sterowanie")->trigger();
  ASSERT_TRUE(panel().isVisible());
  moveRelative(session().connection().ops(), 0, 40, 120);
  ASSERT_TRUE(runUntil([&] { return !controller_->stateBit(stateBit::motionRunning); }, 5000));
  session().step();
  const sim::TracePoint before = controller_->toolPosition();

  QPushButton* move = panel().findChild<QPushButton*>("btnPrzesun");
  ASSERT_NE(move, nullptr);
  ASSERT_TRUE(move->isEnabled());
  bool answered = false;
  testing::answerNextModal([&](QWidget* window) {
    ASSERT_EQ(window->objectName(), "Tprzesun");
    auto* mode = window->findChild<RadioGroupBox*>("Przesun");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->index(), 2) << "the window opens on the move by the given value";
    EXPECT_EQ(window->findChild<QLabel*>("lXjm")->text(), "[mm]");
    // Typed and not yet left: Execute takes it all the same.
    auto* x = window->findChild<TFltEditU*>("delta_x");
    ASSERT_NE(x, nullptr);
    x->editor()->selectAll();
    QTest::keyClicks(x->editor(), "10");
    auto* z = window->findChild<TFltEditU*>("delta_z");
    z->editor()->selectAll();
    QTest::keyClicks(z->editor(), "-2");  // "Bez osi Z" is on: Z stays
    answered = true;
    window->findChild<QPushButton*>("Wykonaj")->click();
  });
  QTest::mouseClick(move, Qt::LeftButton);
  ASSERT_TRUE(answered);
  EXPECT_FALSE(controller_->stateBit(stateBit::motionRunning)) << "the move waited for the machine";
  const sim::TracePoint after = controller_->toolPosition();
  EXPECT_NEAR(after.x - before.x, 10, 0.01);
  EXPECT_NEAR(after.y, before.y, 0.01);
  EXPECT_NEAR(after.z, before.z, 0.01);
  EXPECT_EQ(boxesShown(), "");
}

TEST_F(MachineSessionTest, AControllerThatClosesTheConnectionShowsAsLost) {
  checkLoss([&] { server_->stop(); }, 2000);
}

TEST_F(MachineSessionTest, AConnectionEndedByASocketErrorShowsAsLost) {
  // The error event says nothing itself; the status bar must still change.
  checkLoss(
      [&] {
        session().connection().ethernet().TcpClient1Error(ECONNRESET);
        server_->stop();
      },
      2000);
}

TEST_F(MachineSessionTest, AControllerThatFallsSilentShowsAsLost) {
  // Each silent exchange waits the receive time-out (1 s); three in a row
  // end the link, at most two of them within one monitoring step.
  checkLoss([&] { controller_->setStalled(true); }, 3500);
}

TEST_F(MachineSessionTest, StartStreamsTheOpenedProjectToTheControllerToItsEnd) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  // Room for the tool's radius around the design and above the material.
  setWorkZero(20, 20, 60);
  ProjectWindow* window = main().OtworzProjekt(testing::sample("star.plt"));
  ASSERT_NE(window, nullptr);
  QApplication::processEvents();
  ASSERT_TRUE(main().action("Start1")->isEnabled());
  ASSERT_TRUE(main().action("SpeedStart")->isEnabled());

  main().action("SpeedStart")->trigger();
  ASSERT_EQ(session().cutting().lastOutcome(), tStartOutcome::started)
      << startOutcomeName(session().cutting().lastOutcome()) << "\n"
      << boxesShown();
  const std::string jobFile = session().control().transfer.jobFilePath();
  const auto jobBytes = std::filesystem::file_size(jobFile);
  ASSERT_GT(jobBytes, 0u);
  EXPECT_TRUE(session().control().transfer.isOpen);
  EXPECT_TRUE(session().facts().transferOpen);
  EXPECT_FALSE(main().close()) << "no closing while the job is being sent";
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find(texts().dajTxt("Main_window", "msgZamknacPrzyZadaniu")), std::string::npos) << boxes_[0];
  boxes_.clear();

  // The monitoring timer streams the whole file; the controller runs the
  // job to its end and the program notices.
  const std::string finished = texts().dajTxt("Main_window", "msgKoniecObrobki");
  ASSERT_TRUE(runUntil([&] { return main().statusPanel(0).toStdString() == finished; }, 90000))
      << "sent " << session().control().transfer.licznik
      << " commands; status: " << main().statusPanel(0).toStdString();
  EXPECT_FALSE(session().control().transfer.isOpen);
  EXPECT_DOUBLE_EQ(session().control().context.flags.transmissionPercent, 100);
  const sim::SimCounters counters = controller_->counters();
  EXPECT_EQ(counters.jobsEnded, 1u);
  EXPECT_EQ(counters.droppedJobCommands, 0u);
  EXPECT_EQ(counters.jobExecuted, counters.jobCommands) << "every command sent was executed";
  EXPECT_GT(counters.jobCommands, 10u);
  EXPECT_FALSE(controller_->stateBit(stateBit::jobRunning));
  // What the machine ran is the project, from the work zero on: its size
  // (plot units, 40 per mm) widened by the tool's outline.
  sim::TraceBounds job;
  const sim::ToolTrace trace = controller_->trace();  // a copy: it has to outlive the loop
  for (const sim::TraceSegment& seg : trace.segments()) {
    if (seg.source != sim::TraceSource::job) continue;
    job.include(seg.from);
    job.include(seg.to);
  }
  ASSERT_FALSE(job.empty);
  EXPECT_NEAR(job.min.x, 20, 0.01);
  EXPECT_NEAR(job.min.y, 20, 0.01);
  const double width = window->project().size_x / 40, height = window->project().size_y / 40;
  EXPECT_GE(job.max.x - job.min.x, width);
  EXPECT_LE(job.max.x - job.min.x, width + 5);
  EXPECT_GE(job.max.y - job.min.y, height);
  EXPECT_LE(job.max.y - job.min.y, height + 5);
  EXPECT_TRUE(main().action("Start1")->isEnabled()) << "ready for the next job";
  EXPECT_EQ(boxesShown(), "");
}

// A job cut off by a lost link: when the controller answers again the
// program tells where the machine stopped and offers to go on from figure
// N; Yes takes the job up there and it runs to its end.
TEST_F(MachineSessionTest, ALinkThatComesBackOffersToTakeTheInterruptedJobUp) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  setWorkZero(20, 20, 60);
  ProjectWindow* window = main().OtworzProjekt(testing::sample("star.plt"));
  ASSERT_NE(window, nullptr);
  QApplication::processEvents();
  const std::string offer = texts().dajTxt("Main_window", "msgKontynuowacOdFigury");
  QString asked;
  // Other boxes (the lost link) are closed; the offer is taken with Yes (or
  // OK when the figure had not begun and there is one way only).
  auto answer = std::make_shared<std::function<void(QWidget*)>>();
  *answer = [&, answer](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr || !box->text().contains(QString::fromStdString(offer))) {
      if (box) boxes_.push_back(box->text().toStdString());
      modal->close();
      testing::answerNextModal(*answer, 60000);
      return;
    }
    asked = box->text();
    box->button(box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok)->click();
  };
  testing::answerNextModal(*answer, 60000);

  controller_->schedule(
      {sim::FaultAction::dropLink, 1, static_cast<std::int64_t>(controller_->counters().commands) + 150, {}});
  main().action("SpeedStart")->trigger();
  ASSERT_EQ(session().cutting().lastOutcome(), tStartOutcome::started) << boxesShown();
  ASSERT_TRUE(runUntil([&] { return !asked.isEmpty(); }, 60000)) << "no offer; boxes: " << boxesShown();
  EXPECT_TRUE(asked.contains("Figure ")) << asked.toStdString();
  EXPECT_TRUE(asked.contains(QString::fromStdString(window->project().sciezka))) << asked.toStdString();

  const std::string finished = texts().dajTxt("Main_window", "msgKoniecObrobki");
  ASSERT_TRUE(runUntil([&] { return main().statusPanel(0).toStdString() == finished; }, 90000))
      << main().statusPanel(0).toStdString() << "\n"
      << boxesShown();
  EXPECT_NE(trazvik::testing::readFile(session().control().transfer.jobFilePath() + ".run").find("state finished"),
            std::string::npos);
}

TEST_F(MachineSessionTest, CutSelectedSendsOnlyTheSelectedFigure) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  setWorkZero(20, 20, 60);
  ProjectWindow* window = main().OtworzProjekt(testing::sample("star.plt"));
  ASSERT_NE(window, nullptr);
  QApplication::processEvents();
  ASSERT_TRUE(main().action("Tnijwybran1")->isEnabled());

  // Nothing selected: the message and nothing else.
  window->project().selected = -1;
  main().action("Tnijwybran1")->trigger();
  EXPECT_EQ(session().cutting().lastVariantOutcome(), tVariantOutcome::noSelection);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find(texts().dajTxt("Main_window", "msgNajpierwWybierzFigure")), std::string::npos);
  boxes_.clear();
  EXPECT_EQ(controller_->counters().jobCommands, 0u);

  // The star's 20 mm square (second in cutting order) alone.
  window->project().selected = 1;
  main().action("Tnijwybran1")->trigger();
  ASSERT_EQ(session().cutting().lastVariantOutcome(), tVariantOutcome::started)
      << variantOutcomeName(session().cutting().lastVariantOutcome()) << "\n"
      << boxesShown();
  const std::string finished = texts().dajTxt("Main_window", "msgKoniecObrobki");
  ASSERT_TRUE(runUntil([&] { return main().statusPanel(0).toStdString() == finished; }, 60000))
      << main().statusPanel(0).toStdString();
  EXPECT_EQ(controller_->counters().jobsEnded, 1u);
  sim::TraceBounds job;
  const sim::ToolTrace trace = controller_->trace();  // a copy: it has to outlive the loops
  for (const sim::TraceSegment& seg : trace.segments()) {
    if (seg.source != sim::TraceSource::job || seg.from.z == seg.to.z) continue;
    // Plunges and lifts mark where the tool went into the material.
    job.include(seg.from);
  }
  ASSERT_FALSE(job.empty);
  EXPECT_LE(job.max.x - job.min.x, 25) << "one figure, not the whole star";
  EXPECT_LE(job.max.y - job.min.y, 25);
  // At the cutting depth the tool went once round the square (80 mm).
  double depth = 1e9, cut = 0;
  for (const sim::TraceSegment& seg : trace.segments())
    if (seg.source == sim::TraceSource::job) depth = std::min({depth, seg.from.z, seg.to.z});
  for (const sim::TraceSegment& seg : trace.segments())
    if (seg.source == sim::TraceSource::job && seg.from.z == depth && seg.to.z == depth)
      cut += std::hypot(seg.to.x - seg.from.x, seg.to.y - seg.from.y);
  EXPECT_NEAR(cut, 80, 10);
  EXPECT_EQ(boxesShown(), "");
}

TEST_F(MachineSessionTest, TheSettingsDialogsControllerActionsReachTheController) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  SettingsDialogHooks& hooks = settingsHooks_;
  session().bindSettingsDialog(hooks);
  ASSERT_TRUE(moveToMachinePoint(session().connection().ops(), 0, 50, 120));
  const auto position = hooks.currentPosition();
  ASSERT_TRUE(position.has_value());
  EXPECT_NEAR(position->first, 12000, 1);
  EXPECT_NEAR(position->second, 5000, 1);

  controller_->clearReceivedCommands();
  ASSERT_TRUE(hooks.setAcceleration(5));
  bool sent = false;
  for (const Bytes& c : controller_->receivedCommands()) sent = sent || (c.size() >= 2 && c[0] == 'S' && c[1] == 'A');
  EXPECT_TRUE(sent) << "the acceleration record went out";
  const std::array<double, 3> factors = hooks.calibrationFactors();
  EXPECT_GT(factors[0], 0);
  EXPECT_EQ(factors[0], machineState().link.calibrationFactors[0]);

  // Without a controller nothing is claimed.
  server_->stop();
  ASSERT_TRUE(runUntil([&] { return !session().facts().present; }, 10000));
  EXPECT_FALSE(hooks.setAcceleration(5));
  EXPECT_FALSE(hooks.currentPosition().has_value());
}

// "Set project zero" on the panel: the base points window's zero reaches
// the controller, its list is kept in base.txt at the end, and taking the
// machine's position fills the fields (one head: and closes the window).
TEST_F(MachineSessionTest, TheBasePointsWindowSetsTheControllersWorkZero) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  main().action("sterowanie")->trigger();
  ASSERT_TRUE(panel().isVisible());
  session().step();
  QPushButton* setZero = panel().findChild<QPushButton*>("setbaza");
  ASSERT_NE(setZero, nullptr);
  ASSERT_TRUE(setZero->isEnabled());
  const double factorX = machineState().model.machineParams.axisFactorX;
  const double factorY = machineState().model.machineParams.axisFactorY;
  ASSERT_GT(factorX, 0);

  bool typed = false;
  testing::answerNextModal([&](QWidget* modal) {
    auto* window = qobject_cast<BasePointsWindow*>(modal);
    if (window == nullptr) {
      modal->close();
      return;
    }
    window->findChild<TFltEditU*>("pbx")->setValue(120.5);
    window->findChild<TFltEditU*>("pby")->setValue(80);
    window->findChild<QLineEdit*>("komentarz")->setText("corner");
    window->findChild<QPushButton*>("Dodaj")->click();
    typed = true;
    window->findChild<QPushButton*>("ustaw")->click();
  });
  QTest::mouseClick(setZero, Qt::LeftButton);
  ASSERT_TRUE(typed) << "the base points window opened";
  EXPECT_EQ(controller_->machineState().zeroPoint[0], std::lround(12050 * factorX));
  EXPECT_EQ(controller_->machineState().zeroPoint[1], std::lround(8000 * factorY));
  EXPECT_EQ(session().basePoints().entries(), std::vector<std::string>{"X=  120.500   Y=   80.000 corner"});
  EXPECT_TRUE(session().control().panel.timerEnabled()) << "the panel's timer runs again";

  ASSERT_TRUE(moveToMachinePoint(session().connection().ops(), 0, 50, 120));
  double shownX = -1, shownY = -1;
  testing::answerNextModal([&](QWidget* modal) {
    auto* window = qobject_cast<BasePointsWindow*>(modal);
    if (window == nullptr) {
      modal->close();
      return;
    }
    window->findChild<QPushButton*>("wpa")->click();
    shownX = window->findChild<TFltEditU*>("pbx")->valueMm();
    shownY = window->findChild<TFltEditU*>("pby")->valueMm();
    if (window->isVisible()) window->reject();
  });
  QTest::mouseClick(setZero, Qt::LeftButton);
  EXPECT_NEAR(shownX, 120, 0.01);
  EXPECT_NEAR(shownY, 50, 0.01);
  EXPECT_NEAR(controller_->machineState().zeroPoint[0], 12000 * factorX, factorX);
  EXPECT_NEAR(controller_->machineState().zeroPoint[1], 5000 * factorY, factorY);
  EXPECT_EQ(boxesShown(), "");

  program_.reset();
  EXPECT_EQ(trazvik::testing::readFile(folder_ / "data" / "base.txt"), "X=  120.500   Y=   80.000 corner\n");
}

TEST_F(MachineSessionTest, TheToolLengthWindowSetsTheControllersZeroZ) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  main().action("sterowanie")->trigger();
  ASSERT_TRUE(panel().isVisible());
  session().step();
  QPushButton* toolLength = panel().findChild<QPushButton*>("pomiar");
  ASSERT_NE(toolLength, nullptr);
  ASSERT_TRUE(toolLength->isEnabled());
  const double factorZ = machineState().model.machineParams.axisFactorZ;
  ASSERT_GT(factorZ, 0);
  // The Z travel as a controller that reports it does.
  const double travel = 120;
  machineState().link.secondWorkArea[2] = travel;
  machineState().link.workArea[2] = travel;

  // A distance beyond the Z travel is refused and the window stays open;
  // the corrected one is sent and closes it.
  bool stayedOpen = false, closed = false;
  testing::answerNextModal([&](QWidget* modal) {
    auto* window = qobject_cast<ToolLengthWindow*>(modal);
    if (window == nullptr) {
      modal->close();
      return;
    }
    auto* tool = window->findChild<TFltEditU*>("tool");
    QPushButton* ok = window->findChild<QPushButton*>("OK");
    tool->setValue(travel + 5);
    ok->click();
    stayedOpen = window->isVisible();
    tool->setValue(87.65);
    ok->click();
    closed = !window->isVisible();
  });
  QTest::mouseClick(toolLength, Qt::LeftButton);
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(closed);
  EXPECT_EQ(controller_->machineState().zeroPoint[2], std::lround(8765 * factorZ));
  ASSERT_EQ(boxes_.size(), 1u) << boxesShown();
  EXPECT_NE(boxes_[0].find(texts().dajTxt("Dlugosc_narzedzai", "msgZaDuzaDlugoscNarzedzia")), std::string::npos)
      << boxes_[0];
  EXPECT_TRUE(session().control().panel.timerEnabled()) << "the panel's timer runs again";

  // The automatic measurement with the default plate, 15 mm on the table:
  // the simulated sensor is touched at machine Z -80 mm.
  bool measured = false;
  testing::answerNextModal([&](QWidget* modal) {
    auto* window = qobject_cast<ToolLengthWindow*>(modal);
    if (window == nullptr) {
      modal->close();
      return;
    }
    QPushButton* pomiar = window->findChild<QPushButton*>("pomiar");
    if (!pomiar->isEnabled()) {
      window->reject();
      return;
    }
    pomiar->click();
    measured = !window->isVisible();
  });
  QTest::mouseClick(toolLength, Qt::LeftButton);
  EXPECT_TRUE(measured) << "the measurement ran and closed the window";
  EXPECT_EQ(controller_->machineState().zeroPoint[2], std::lround((1500 + 8000) * factorZ));
  EXPECT_NEAR(controller_->toolPosition().z, 0, 0.02);
  EXPECT_EQ(boxes_.size(), 1u) << boxesShown();
}

// What the program knows of the machine from its own start stays when the
// control panel identifies the machine again on opening: the switch
// "SafetyEnclosure" (a "YFB" type from firmware 6.2 on) makes the start look
// at the enclosure, and the axis calibration of "kalibracja.txt" beside the
// program stays applied. The enclosure input is read over USB only, so the
// simulated controller is the USB device here.
TEST_F(MachineSessionTest, ThePanelsIdentificationKeepsTheEnclosureCheckAndTheCalibration) {
  const std::filesystem::path program = folder_ / "program";
  std::filesystem::create_directories(program);
  for (const char* language : {"Trazvik_US.xml", "Trazvik_PL.xml"})
    std::filesystem::copy_file(std::string(TRAZVIK_SOURCE_DIR) + "/lang/" + language, program / language);
  writeFile(program / "kalibracja.txt", "1.25\r\n0.8\r\n1\r\n");
  programDirectory_ = program.string() + "/";
  writeSettings(false);
  ASSERT_NO_FATAL_FAILURE(startProgram({"SafetyEnclosure"}, true));
  ASSERT_TRUE(runUntil([&] { return connected(); }, 15000)) << "the program found the USB controller";
  const tMachineModel& machine = machineState().model;
  ASSERT_EQ(machine.machineType, "YFB 32");
  ASSERT_TRUE(machine.safetyEnclosure);
  ASSERT_DOUBLE_EQ(machine.machineParams.axisFactorX, 10 / 1.25);

  // The operator opens the control panel, which reads and identifies the machine.
  main().action("sterowanie")->trigger();
  ASSERT_TRUE(panel().isVisible());
  runUntil([] { return false; }, 300);
  EXPECT_TRUE(machine.safetyEnclosure);
  EXPECT_DOUBLE_EQ(machine.machineParams.axisFactorX, 10 / 1.25);
  EXPECT_DOUBLE_EQ(machine.machineParams.axisFactorY, 10 / 0.8);
  EXPECT_DOUBLE_EQ(machine.machineParams.axisFactorZ, 10);
  panel().hide();

  // With the enclosure open the start refuses and sends no job.
  setWorkZero(20, 20, 60);
  ASSERT_NE(main().OtworzProjekt(testing::sample("star.plt")), nullptr);
  QApplication::processEvents();
  controller_->setEnclosureOpen(true);
  boxes_.clear();
  main().action("Start1")->trigger();
  EXPECT_EQ(session().cutting().lastOutcome(), tStartOutcome::enclosureOpen)
      << startOutcomeName(session().cutting().lastOutcome()) << "\n"
      << boxesShown();
  EXPECT_NE(boxesShown().find(texts().dajTxt("Main_window", "msgSafetyEnclouserOpened")), std::string::npos)
      << boxesShown();
  EXPECT_EQ(controller_->counters().jobCommands, 0u);
}

// The settings dialog's calibration: the window offers the work area, an
// emptied measured field is refused with the message and focused, and a
// measured distance typed and saved reaches the controller as its factor.
TEST_F(MachineSessionTest, TheCalibrationWindowStoresTheFactorInTheController) {
  // A drilling machine: the family the settings dialog offers calibration for.
  sim::SimConfig config;
  config.product = "YNB 30";
  useMachine(config);
  ASSERT_NO_FATAL_FAILURE(startConnected());
  SettingsDialogHooks& hooks = settingsHooks_;
  session().bindSettingsDialog(hooks);
  ASSERT_TRUE(hooks.calibrate);

  bool answered = false;
  QString focusedAfterRefusal;
  testing::answerNextModal([&](QWidget* window) {
    ASSERT_EQ(window->objectName(), "TCalibration");
    auto* calibration = static_cast<TCalibration*>(window);
    const QString sep(QChar(calibration->model().separator()));
    auto* givenX = window->findChild<TFltEditU*>("feGivenDisatansX");
    auto* givenZ = window->findChild<TFltEditU*>("feGivenDisatansZ");
    auto* measuredX = window->findChild<TFltEditU*>("feRealizedDistanceX");
    auto* measuredY = window->findChild<TFltEditU*>("feRealizedDistanceY");
    auto* factorX = window->findChild<QLineEdit*>("txtCalibrationX");
    auto* factorY = window->findChild<QLineEdit*>("txtCalibrationY");
    ASSERT_TRUE(givenX && givenZ && measuredX && measuredY && factorX && factorY);
    EXPECT_DOUBLE_EQ(givenX->valueMm(), 1000);  // the simulated 1000 x 600 x 120 mm
    EXPECT_DOUBLE_EQ(givenZ->valueMm(), 120);

    measuredX->editor()->selectAll();
    QTest::keyClicks(measuredX->editor(), "1002" + sep + "5");
    EXPECT_EQ(factorX->text(), "1" + sep + "00250000");
    measuredY->editor()->selectAll();
    QTest::keyClick(measuredY->editor(), Qt::Key_Delete);
    EXPECT_EQ(factorY->text(), "1" + sep + "00000000");
    window->findChild<QPushButton*>("btnSet")->click();  // refused: the box is closed by the watcher
    if (QWidget* f = window->focusWidget())
      focusedAfterRefusal = (f == measuredY || measuredY->isAncestorOf(f)) ? "feRealizedDistanceY" : f->objectName();
    QTest::keyClicks(measuredY->editor(), "599");
    answered = true;
    window->findChild<QPushButton*>("btnSet")->click();
  });
  hooks.calibrate();
  ASSERT_TRUE(answered);
  EXPECT_EQ(focusedAfterRefusal, "feRealizedDistanceY");
  EXPECT_NE(boxesShown().find(texts().dajTxt("Form_Calibration", "msgInvalidValue")), std::string::npos);

  std::array<float, 3> stored{};
  auto readStored = [&] {
    const auto params = controller_->machineState().parameters;
    for (std::size_t axis = 0; axis < 3; ++axis) {
      std::uint32_t bits = 0;
      for (std::size_t i = 0; i < 4; ++i) bits |= std::uint32_t{params[68 + 4 * axis + i]} << (8 * i);
      std::memcpy(&stored[axis], &bits, sizeof bits);
    }
    return stored[0] != 1.0f;
  };
  ASSERT_TRUE(runUntil(readStored, 5000));
  EXPECT_FLOAT_EQ(stored[0], 1.0025f);
  EXPECT_FLOAT_EQ(stored[1], 599.0f / 600.0f);
  EXPECT_FLOAT_EQ(stored[2], 1.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(hooks.calibrationFactors()[0]), 1.0025f);
}

// Service mode with base checks: the test window opened from the menu cuts
// a folder of three projects unattended, each with its settings file, and
// the status bar tells the end of the run; each job has its report and its
// line in the global report.
TEST_F(MachineSessionTest, TheTestWindowCutsAFolderOfProjectsUnattended) {
  sim::SimConfig config;
  config.timeScale = 600;
  useMachine(config);
  const auto set = folder_ / "set1";
  std::filesystem::create_directories(set);
  for (const char* f : {"star.plt", "plate.dxf", "pocket.nc"}) std::filesystem::copy_file(testing::sample(f), set / f);
  const std::string link = "IP1 := 127\r\nIP2 := 0\r\nIP3 := 0\r\nIP4 := 1\r\ncbEthernetConnection := cbChecked\r\n";
  writeFile(set / "star.mcc", link + "WorkSpeed=800\r\nCzasRozruchu=0\r\n");
  writeFile(set / "set1.mcc", link + "WorkSpeed=600\r\nCzasRozruchu=0\r\n");
  writeSettings(true);
  startProgram({"service", "CHECKBASE=1"});
  ASSERT_TRUE(runUntil([&] { return connected(); }, 15000));
  setWorkZero(20, 20, 60);
  ASSERT_TRUE(main().action("miMultiTesty")->isVisible());
  main().action("miMultiTesty")->trigger();
  auto* window = main().findChild<MultiTestWindow*>("dlgMultiTestList");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->isVisible());
  window->chooseFolder = [&](const std::string&) { return set.string(); };
  window->findChild<QPushButton*>("btnWybierzFolder")->click();
  // In the program's language (English here), not the Polish of the reports.
  EXPECT_EQ(main().statusPanel(1).toStdString(), texts().dajTxt("MultiTest", "msgWczytanoScenariusz"));
  EXPECT_NE(main().statusPanel(1).toStdString(), app::kMultiTestLoaded);
  ASSERT_NE(window->findChild<QTableWidget*>("sgLista"), nullptr);
  EXPECT_EQ(window->findChild<QTableWidget*>("sgLista")->rowCount(), 3);

  window->findChild<QPushButton*>("btnMultiTestStart")->click();
  const std::string end = texts().dajTxt("MultiTest", "msgKoniecTestow");
  ASSERT_TRUE(runUntil([&] { return main().statusPanel(1).toStdString() == end; }, 120000))
      << main().statusPanel(1).toStdString() << "\n"
      << boxesShown();
  EXPECT_EQ(controller_->counters().jobsEnded, 3u);
  std::ifstream in(folder_ / "data" / "CheckBase_GlobalRaport.txt", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 4u);
  for (const char* project : {";star.plt;Ok;", ";plate.dxf;Ok;", ";pocket.nc;Ok;"}) {
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.find(project) != std::string::npos;
    })) << project;
  }
}

}  // namespace
}  // namespace trazvik::ui
