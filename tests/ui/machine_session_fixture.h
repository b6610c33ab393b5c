// The desktop program against an in-process simulated controller over TCP
// on 127.0.0.1: what the machine session's widget tests share.
#pragma once
#include "frame/machine_session.h"
#include "frame/program_start.h"
#include "link/machine_control_operations.h"
#include "dialogs/settings_dialog.h"

#include "panel/control_panel.h"
#include "program_fixture.h"
#include "sim_server.h"
#include "usb_device.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trazvik::ui::testing {

using trazvik::testing::TempFolder;
using trazvik::testing::writeFile;

// A program started over a data folder whose settings point its Ethernet
// connection at an in-process simulated controller.
class MachineSessionTest : public ::testing::Test {
 protected:
  // The simulated controller's machine; a fixture of another machine
  // changes it.
  virtual sim::SimConfig simConfig() const {
    sim::SimConfig config;
    config.timeScale = 20;  // jobs and jogs at twenty times the real pace
    return config;
  }
  void SetUp() override { useMachine(simConfig()); }
  // The simulated controller of `config` in place of the one before, until
  // the program starts.
  void useMachine(const sim::SimConfig& config) {
    if (server_) server_->stop();
    controller_ = std::make_shared<sim::SimController>(config);
    server_ = std::make_unique<sim::SimServer>(controller_, sim::ServerPorts{"127.0.0.1", 0, 0});
    server_->start();
  }
  void TearDown() override {
    program_.reset();
    if (server_) server_->stop();
  }

  void writeSettings(bool ethernetBox) {
    std::filesystem::create_directories(folder_ / "data");
    writeFile(folder_ / "data" / "IPPloter.txt", "127\r\n  0\r\n  0\r\n  1\r\n");
    writeFile(folder_ / "data" / "Settings.mcc",
              std::string("IP1 := 127\r\nIP2 := 0\r\nIP3 := 0\r\nIP4 := 1\r\ncbEthernetConnection := ") +
                  (ethernetBox ? "cbChecked" : "cbUnchecked") + "\r\n");
  }

  // `overUsb`: the simulated controller is plugged in as the USB device
  // (the TCP server still listens); otherwise there is no USB side.
  void startProgram(std::vector<std::string> arguments = {}, bool overUsb = false) {
    arguments.insert(arguments.begin(), "US");
    if (!overUsb) arguments.insert(arguments.begin() + 1, "95");
    Program::Options o = programOptions(folder_, std::move(arguments));
    if (!programDirectory_.empty()) o.setup.programDirectory = programDirectory_;
    if (overUsb) {
      o.hidService = [controller = controller_]() -> std::unique_ptr<tHidService> {
        auto service = std::make_unique<sim::ListedHidService>();
        service->devices.push_back(std::make_shared<sim::SimHidDevice>(controller, true));
        return service;
      };
    }
    o.connectMachine = true;
    o.machinePorts = {server_->commandPort(), server_->identityPort()};
    program_ = std::make_unique<Program>(std::move(o));
    // A message box must never hang a test: each is recorded and closed.
    boxWatcher_.setInterval(50);
    QObject::connect(&boxWatcher_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        boxes_.push_back(box->text().toStdString());
        box->done(QMessageBox::Cancel);
      }
    });
    boxWatcher_.start();
    ASSERT_TRUE(program_->start());
    ASSERT_NE(program_->machine(), nullptr);
  }
  std::string boxesShown() const {
    std::string all;
    for (const std::string& b : boxes_) all += b + "\n";
    return all;
  }

  MachineSession& session() { return *program_->machine(); }
  // What the program's connection knows about the machine.
  tMachineState& machineState() { return session().connection().state(); }
  MainWindow& main() { return program_->mainWindow(); }
  ControlPanel& panel() { return session().panelWindow(); }
  QString label(const char* name) { return panel().findChild<QLabel*>(name)->text(); }
  const texts::tInterfejs& texts() { return program_->context().texts(); }

  // The event loop (the program's own timers) until `done`, at most `ms`.
  bool runUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
      if (done()) return true;
      QApplication::processEvents(QEventLoop::AllEvents, 20);
      QTest::qWait(5);
    }
    return done();
  }
  bool connected() { return session().facts().present && !machineState().status.info1.empty(); }
  // The program started with the Ethernet box on and connected to the simulator.
  void startConnected() {
    writeSettings(true);
    startProgram();
    ASSERT_TRUE(runUntil([&] { return connected(); }, 15000)) << "the program connected to 127.0.0.1";
  }
  // The controller's work zero, millimetres.
  void setWorkZero(double x, double y, double z) {
    machineState().status.pos0.x = x * 100;
    machineState().status.pos0.y = y * 100;
    machineState().status.pos0.z = z * 100;
    setWorkZeroXY(session().connection().ops());
    setWorkZeroZ(session().connection().ops());
  }
  void checkLoss(const std::function<void()>& loseIt, qint64 longestWaitMs);

  TempFolder folder_;
  std::string programDirectory_;  // empty: the source tree's language folder
  std::shared_ptr<sim::SimController> controller_;
  std::unique_ptr<sim::SimServer> server_;
  std::unique_ptr<Program> program_;
  SettingsDialogHooks settingsHooks_;  // outlives the program, as the dialog's do
  QTimer boxWatcher_;
  std::vector<std::string> boxes_;  // the texts of the boxes the watcher closed
};

// The controller goes away by `loseIt`: the panel's caption and the status
// bar say so, the panel closes, and the interface thread is never held
// longer than `longestWaitMs`.
inline void MachineSessionTest::checkLoss(const std::function<void()>& loseIt, qint64 longestWaitMs) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  main().action("sterowanie")->trigger();
  ASSERT_TRUE(panel().isVisible());
  const std::string ethernet = texts().dajTxt("Control_Panel", "Control_Panel.Ethernet");
  ASSERT_TRUE(runUntil([&] { return panel().windowTitle().startsWith(QString::fromStdString(ethernet)); }, 3000))
      << panel().windowTitle().toStdString();

  // A timer of the interface thread measures the longest time it was kept waiting.
  QElapsedTimer sinceTick;
  sinceTick.start();
  qint64 longestGap = 0;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
  probe.start(20);
  loseIt();
  const std::string noLink = texts().dajTxt("Control_Panel", "ster.Caption.BrakLacznosci");
  ASSERT_TRUE(runUntil([&] { return !session().facts().present; }, 10000));
  EXPECT_TRUE(runUntil([&] { return session().control().panel.display().caption == noLink; }, 10000));
  const std::string closed = texts().dajTxt("Ethernet_communication", "msgEthernetRozlaczony");
  EXPECT_TRUE(runUntil([&] { return main().statusPanel(0).toStdString() == closed; }, 5000))
      << main().statusPanel(0).toStdString();
  // The panel closes with the link (the operator opens it again once the
  // controller is back); its caption says why.
  EXPECT_TRUE(runUntil([&] { return !panel().isVisible(); }, 5000));
  EXPECT_EQ(panel().windowTitle().toStdString(), noLink);
  // The link is retried in the background for a while: the window keeps answering.
  runUntil([] { return false; }, 4000);
  EXPECT_LT(longestGap, longestWaitMs) << "the interface thread was blocked for " << longestGap << " ms";
  EXPECT_FALSE(main().action("Start1")->isEnabled());
  EXPECT_EQ(boxesShown(), "") << "the loss is shown, not asked about";
}

}  // namespace trazvik::ui::testing
