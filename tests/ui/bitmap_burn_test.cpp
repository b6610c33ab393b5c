// Closing a bitmap's window, or the program, while the picture burns on the
// simulated laser over TCP on 127.0.0.1: the operator is asked first; No
// leaves the burn going, Yes ends it cleanly (the beam off, the raster mode
// left, the worker's thread joined) and the window goes.
#include "frame/machine_session.h"
#include "frame/program_start.h"
#include "link/machine_control_operations.h"
#include "machine/state_bits.h"
#include "project/project_window.h"
#include "modal_answer.h"

#include "program_fixture.h"
#include "sim_server.h"

#include "../import/bmp_fixtures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace trazvik::ui {
namespace {

using testing::pressInNextBox;
using testing::SeenBox;
using trazvik::testing::TempFolder;
using trazvik::testing::writeFile;

class BitmapBurnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::SimConfig config;
    config.product = "WTK32";  // a laser
    config.timeScale = 4;      // a line takes long enough to close a window in the middle
    controller_ = std::make_shared<sim::SimController>(config);
    server_ = std::make_unique<sim::SimServer>(controller_, sim::ServerPorts{"127.0.0.1", 0, 0});
    server_->start();
    std::filesystem::create_directories(folder_ / "data");
    writeFile(folder_ / "data" / "IPPloter.txt", "127\r\n  0\r\n  0\r\n  1\r\n");
    writeFile(folder_ / "data" / "Settings.mcc",
              "IP1 := 127\r\nIP2 := 0\r\nIP3 := 0\r\nIP4 := 1\r\ncbEthernetConnection := cbChecked\r\n");
    Program::Options o = testing::programOptions(folder_, {"US", "95"});
    o.connectMachine = true;
    o.machinePorts = {server_->commandPort(), server_->identityPort()};
    program_ = std::make_unique<Program>(std::move(o));
    ASSERT_TRUE(program_->start());
    ASSERT_NE(program_->machine(), nullptr);
    ASSERT_TRUE(runUntil([&] { return session().facts().present && !state().status.info1.empty(); }, 15000));
    // Work zero 20, 20, 0 mm: room for the run-ups on the table.
    state().status.pos0.x = 2000;
    state().status.pos0.y = 2000;
    state().status.pos0.z = 0;
    setWorkZeroXY(session().connection().ops());
    setWorkZeroZ(session().connection().ops());
  }
  void TearDown() override {
    program_.reset();
    server_->stop();
  }

  MachineSession& session() { return *program_->machine(); }
  tMachineState& state() { return session().connection().state(); }
  MainWindow& main() { return program_->mainWindow(); }
  tEngraving& engraving() { return session().cuttingSession().engraving; }
  const texts::tInterfejs& texts() { return program_->context().texts(); }

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

  // A picture of greys opened and burning, a line or two done.
  ProjectWindow* startBurning() {
    trazvik::testing::BmpLayout layout;
    layout.width = 48;
    layout.height = 30;
    for (int y = 0; y < layout.height; ++y)
      for (int x = 0; x < layout.width; ++x) layout.values.push_back(((x * 37 + y * 11) % 256) * 0x010101u);
    const std::vector<std::uint8_t> bytes = trazvik::testing::bmpFile(layout);
    const std::filesystem::path path = folder_ / "grey.bmp";
    writeFile(path, std::string(bytes.begin(), bytes.end()));
    // Small enough for the table beside the run-ups.
    program_->context().settings().set("SzerokoscObrazu", 6.75);
    ProjectWindow* w = main().OtworzProjekt(path.string());
    if (w == nullptr) return nullptr;
    QApplication::processEvents();
    main().action("WypalBMP1")->trigger();
    const tBMPThread* worker = engraving().worker();
    if (worker == nullptr) return nullptr;
    if (!runUntil([&] { return worker->linesDone() >= 1; }, 20000)) return nullptr;
    return w;
  }

  // The burn has ended cleanly: no worker, the flag down, the controller
  // out of raster mode with the beam off and at rest.
  void expectBurnEnded() {
    EXPECT_EQ(engraving().worker(), nullptr);
    EXPECT_FALSE(session().control().context.flags.engravingRunning);
    const sim::MachineState m = controller_->machineState();
    EXPECT_FALSE(m.beamOn);
    EXPECT_FALSE(m.raster);
    EXPECT_FALSE(controller_->stateBit(stateBit::motionRunning));
  }

  TempFolder folder_;
  std::shared_ptr<sim::SimController> controller_;
  std::unique_ptr<sim::SimServer> server_;
  std::unique_ptr<Program> program_;
};

TEST_F(BitmapBurnTest, ClosingTheBitmapWindowAsksAndStopsTheBurn) {
  ProjectWindow* w = startBurning();
  ASSERT_NE(w, nullptr);
  auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
  ASSERT_NE(sub, nullptr);
  const std::string question = texts().dajTxt("Main_window", "msgPrzerwacWypalanie");

  SeenBox kept;
  pressInNextBox(QMessageBox::No, &kept);
  EXPECT_FALSE(sub->close());
  EXPECT_EQ(kept.text.toStdString(), question);
  ASSERT_NE(engraving().worker(), nullptr);
  const tBMPThread& worker = *engraving().worker();
  const int linesBefore = worker.linesDone();
  EXPECT_TRUE(runUntil([&] { return worker.linesDone() > linesBefore; }, 20000)) << "the burn goes on";

  SeenBox stopped;
  pressInNextBox(QMessageBox::Yes, &stopped);
  EXPECT_TRUE(sub->close());
  EXPECT_EQ(stopped.text.toStdString(), question);
  expectBurnEnded();
  QApplication::processEvents();
  EXPECT_TRUE(main().projectWindows().empty());
}

TEST_F(BitmapBurnTest, ClosingTheProgramAsksAndStopsTheBurn) {
  ASSERT_NE(startBurning(), nullptr);
  SeenBox seen;
  pressInNextBox(QMessageBox::Yes, &seen);
  EXPECT_TRUE(main().close());
  EXPECT_EQ(seen.text.toStdString(), texts().dajTxt("Main_window", "msgPrzerwacWypalanie"));
  expectBurnEnded();
}

}  // namespace
}  // namespace trazvik::ui
