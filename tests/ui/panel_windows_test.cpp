// The control panel's service side in the desktop program, against the
// simulated controller over TCP on 127.0.0.1: the outputs window with the
// lubrication, the toolbar's tool measurement button, the multi-head side of
// the tool length window, the settings
// dialog's second-Y button, the inverter's parameter file, and the "Move" window's service tests that run
// until the operator presses a key.
#include "dialogs/flt_edit_widget.h"
#include "dialogs/settings_dialog.h"
#include "frame/machine_session.h"
#include "frame/main_window.h"
#include "frame/program_start.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"
#include "machine/state_bits.h"
#include "panel/control_panel.h"
#include "panel/move_window.h"
#include "panel/outputs_window.h"
#include "panel/tool_length_window.h"

#include "modal_answer.h"
#include "program_fixture.h"
#include "sim_server.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace trazvik::ui {
namespace {

using trazvik::testing::writeFile;

// Head i's tool touches the simulated sensor at machine Z kHeadTouchMm[i].
const std::vector<double> kHeadTouchMm{-80, -95, -70};

// The desktop program connected over Ethernet to an in-process simulated
// controller of the machine type under test.
class PanelWindowsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    program_.reset();
    if (server_) server_->stop();
  }

  void startConnected(sim::SimConfig config) {
    config.timeScale = 20;
    controller_ = std::make_shared<sim::SimController>(config);
    server_ = std::make_unique<sim::SimServer>(controller_, sim::ServerPorts{"127.0.0.1", 0, 0});
    server_->start();
    std::filesystem::create_directories(folder_ / "data");
    writeFile(folder_ / "data" / "IPPloter.txt", "127\r\n  0\r\n  0\r\n  1\r\n");
    writeFile(
        folder_ / "data" / "Settings.mcc",
        "IP1 := 127\r\nIP2 := 0\r\nIP3 := 0\r\nIP4 := 1\r\ncbEthernetConnection := cbChecked\r\n" + extraSettings_);
    Program::Options o = testing::programOptions(folder_, {"US", "95"});
    if (!programDirectory_.empty()) o.setup.programDirectory = programDirectory_.string() + "/";
    o.connectMachine = true;
    o.machinePorts = {server_->commandPort(), server_->identityPort()};
    program_ = std::make_unique<Program>(std::move(o));
    // Message boxes are recorded and closed; they never hang a test.
    boxWatcher_.setInterval(50);
    QObject::connect(&boxWatcher_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        boxes_.push_back(box->text().toStdString());
        box->done(QMessageBox::Cancel);
      }
    });
    boxWatcher_.start();
    ASSERT_TRUE(program_->start());
    ASSERT_TRUE(runUntil([&] { return connected(); }, 15000)) << "the program connected to 127.0.0.1";
    main().action("sterowanie")->trigger();
    session().step();
  }

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
  bool connected() { return session().facts().present && !session().connection().state().status.info1.empty(); }
  MachineSession& session() { return *program_->machine(); }
  MainWindow& main() { return program_->mainWindow(); }
  ControlPanel& panel() { return session().panelWindow(); }
  QPushButton* panelButton(const char* name) { return panel().findChild<QPushButton*>(name); }
  // Commands the controller received since the last clear, without status queries.
  std::vector<Bytes> received() const { return controller_->receivedCommands(); }
  void inMoveWindow(const std::function<void(QDialog&)>& act);
  bool receivedCommand(const Bytes& command) const {
    const std::vector<Bytes> all = received();
    return std::find(all.begin(), all.end(), command) != all.end();
  }

  trazvik::testing::TempFolder folder_;
  std::filesystem::path programDirectory_;  // empty: the source tree's language folder
  std::string extraSettings_;               // more lines of the settings file
  std::shared_ptr<sim::SimController> controller_;
  std::unique_ptr<sim::SimServer> server_;
  std::unique_ptr<Program> program_;
  QTimer boxWatcher_;
  std::vector<std::string> boxes_;
};

sim::SimConfig machineOf(const char* product) {
  sim::SimConfig config;
  config.product = product;
  return config;
}

TEST_F(PanelWindowsTest, TheOutputsWindowSwitchesTheLubricationOfAMachineThatHasIt) {
  ASSERT_NO_FATAL_FAILURE(startConnected(machineOf("YFF 333")));
  QPushButton* outputs = panelButton("ButtonWyjscia");
  ASSERT_TRUE(outputs->isVisible()) << "the button belongs to this machine";
  ASSERT_TRUE(outputs->isEnabled());
  ASSERT_EQ(controller_->machineState().outputs & 0xC0, 0xC0) << "the lubrication starts off";

  // Opened, the box shows the state read; checking it sends "R" 0 0xC0.
  bool wasChecked = true, enabled = false;
  testing::answerNextModal([&](QWidget* modal) {
    auto* box = modal->findChild<QCheckBox*>("CheckBoxSmarowanie");
    if (box == nullptr) return modal->close(), void();
    wasChecked = box->isChecked();
    enabled = box->isEnabled();
    box->click();
    modal->close();
  });
  controller_->clearReceivedCommands();
  outputs->click();
  EXPECT_TRUE(enabled);
  EXPECT_FALSE(wasChecked);
  EXPECT_TRUE(receivedCommand(Bytes{'R', 0, 0xC0}));
  EXPECT_EQ(controller_->machineState().outputs & 0xC0, 0);

  // Opened again, it shows the lubrication on; unchecking sends "R" 1 0xC0.
  testing::answerNextModal([&](QWidget* modal) {
    auto* box = modal->findChild<QCheckBox*>("CheckBoxSmarowanie");
    if (box == nullptr) return modal->close(), void();
    wasChecked = box->isChecked();
    box->click();
    modal->close();
  });
  outputs->click();
  EXPECT_TRUE(wasChecked);
  EXPECT_EQ(controller_->machineState().outputs & 0xC0, 0xC0);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(PanelWindowsTest, OnAnotherMachineTheLubricationIsGreyedAndSendsNothing) {
  ASSERT_NO_FATAL_FAILURE(startConnected(machineOf("YFB 32")));
  EXPECT_FALSE(panelButton("ButtonWyjscia")->isVisible());
  bool enabled = true;
  testing::answerNextModal([&](QWidget* modal) {
    auto* box = modal->findChild<QCheckBox*>("CheckBoxSmarowanie");
    if (box == nullptr) return modal->close(), void();
    enabled = box->isEnabled();
    box->click();  // a greyed box takes no click
    modal->close();
  });
  controller_->clearReceivedCommands();
  panelButton("ButtonWyjscia")->click();
  EXPECT_FALSE(enabled);
  for (const Bytes& c : received()) EXPECT_NE(c.front(), 'R') << "no output switched";
}

TEST_F(PanelWindowsTest, TheToolbarsMeasureButtonOpensTheToolLengthWindowOnlyOnAStillMachine) {
  ASSERT_NO_FATAL_FAILURE(startConnected(machineOf("YFB 32")));
  main().UpdateMenuItems();
  QAction* measure = main().action("sbPomiarNarzedzia");
  ASSERT_TRUE(measure->isVisible()) << "a machine with a length sensor input";
  ASSERT_TRUE(measure->isEnabled());
  bool opened = false;
  testing::answerNextModal([&](QWidget* modal) {
    opened = qobject_cast<ToolLengthWindow*>(modal) != nullptr;
    modal->close();
  });
  measure->trigger();
  EXPECT_TRUE(opened);
  EXPECT_TRUE(boxes_.empty());

  // A moving machine: the operator is told to stop it and no window opens.
  tMachineOps& ops = session().connection().ops();
  moveSteps(ops, 1, std::lround(90000 * ops.params().axisFactorX), 0, 0);
  opened = false;
  testing::answerNextModal([&](QWidget* modal) {
    opened = qobject_cast<ToolLengthWindow*>(modal) != nullptr;
    if (opened) modal->close();
  });
  measure->trigger();
  EXPECT_FALSE(opened);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_.front(), program_->context().texts().dajTxt("Control_Panel", "msgZatrzyajPloter"));
}

TEST_F(PanelWindowsTest, TheSecondYButtonShiftsTheSecondGantryOfATwoHeadDrill) {
  ASSERT_NO_FATAL_FAILURE(startConnected(machineOf("RB2")));
  SettingsDialog* dialog = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<SettingsDialog*>(w)) dialog = d;
  ASSERT_NE(dialog, nullptr);
  // Shown, the dialog takes the identified machine's rules: the second-Y
  // page belongs to this drill.
  dialog->show();
  ASSERT_TRUE(runUntil([&] { return dialog->isVisible(); }, 2000));
  auto* offset = dialog->findChild<TFltEdit*>("feuOffsetY_RB2");
  ASSERT_NE(offset, nullptr);
  offset->editor()->setText("-3.25");
  offset->commit();
  auto* shift = dialog->findChild<QPushButton*>("btnRB2_przesunY2");
  ASSERT_NE(shift, nullptr);
  controller_->clearReceivedCommands();
  ASSERT_TRUE(shift->isEnabled());
  shift->click();
  dialog->hide();
  ASSERT_TRUE(runUntil([&] { return !boxes_.empty(); }, 3000));
  EXPECT_EQ(boxes_.front(), "Przesunięto głowicę Y2 o dysnas -3.25");
  const double factorY = session().connection().state().model.machineParams.axisFactorY;
  bool shifted = false;
  for (const Bytes& c : received()) {
    if (c.size() >= 7 && c[0] == 'S' && c[1] == 'y' && c[2] == 0x02) {
      const std::int32_t steps = c[3] | c[4] << 8 | c[5] << 16 | c[6] << 24;
      EXPECT_EQ(steps, std::lround(-325 * factorY));
      shifted = true;
    }
  }
  EXPECT_TRUE(shifted);
}

// The "Move" window opened from the panel; `act` runs inside it.
void PanelWindowsTest::inMoveWindow(const std::function<void(QDialog&)>& act) {
  bool opened = false;
  testing::answerNextModal([&](QWidget* modal) {
    auto* window = qobject_cast<Tprzesun*>(modal);
    if (window == nullptr) return modal->close(), void();
    opened = true;
    act(*window);
    if (window->isVisible()) window->reject();
  });
  panelButton("btnPrzesun")->click();
  EXPECT_TRUE(opened);
}

void typeMove(QDialog& window, double x, double y, double z) {
  window.findChild<TFltEditU*>("delta_x")->setValue(x);
  window.findChild<TFltEditU*>("delta_y")->setValue(y);
  window.findChild<TFltEditU*>("delta_z")->setValue(z);
}

// A key pressed into the window after `ms` milliseconds.
void pressKeyLater(QWidget& window, int ms) {
  QTimer::singleShot(ms, &window, [&window] { QTest::keyClick(&window, Qt::Key_Space); });
}

TEST_F(PanelWindowsTest, TheMoveWindowsTestsRunUntilAKeyIsPressed) {
  ASSERT_NO_FATAL_FAILURE(startConnected(machineOf("YFB 32")));
  const sim::TracePoint start = controller_->toolPosition();
  std::vector<Bytes> sent;
  bool stillOpen = false, laserOffered = true;
  inMoveWindow([&](QDialog& window) {
    laserOffered = window.findChild<QPushButton*>("ButtonTestLasera")->isEnabled();
    typeMove(window, 40, 25, 0);
    controller_->clearReceivedCommands();
    pressKeyLater(window, 1500);
    window.findChild<QPushButton*>("test")->click();
    sent = received();
    stillOpen = window.isVisible();
  });
  EXPECT_FALSE(laserOffered) << "this router has no laser to fire";
  EXPECT_TRUE(stillOpen);
  std::vector<Bytes> moves;
  for (const Bytes& c : sent)
    if (c[0] == 'A') moves.push_back(c);
  ASSERT_GE(moves.size(), 2u);
  EXPECT_EQ(moves.size() % 2, 0u) << "every move there has its move back";
  const sim::TracePoint end = controller_->toolPosition();
  EXPECT_NEAR(end.x, start.x, 0.01);
  EXPECT_NEAR(end.y, start.y, 0.01);

  // The heater test switches output 0x02 until the key and leaves it off
  // (a short run-up keeps the test quick).
  program_->context().settings().set("CzasRozruchu", 0.2);
  inMoveWindow([&](QDialog& window) {
    controller_->clearReceivedCommands();
    pressKeyLater(window, 500);
    window.findChild<QPushButton*>("TestGrzalki")->click();
    sent = received();
  });
  EXPECT_NE(std::find(sent.begin(), sent.end(), Bytes{'R', 1, 2}), sent.end());
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), (Bytes{'R', 0, 2}));
  EXPECT_EQ(controller_->machineState().outputs & 0x02, 0);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(PanelWindowsTest, TheScanWritesTheTablesHeightsIntoTheWorkingFolder) {
  sim::SimConfig config = machineOf("YFB 32");
  config.workArea = {100, 100, 120};
  config.tableSurface = sim::TableSurface{-90, 0.02, -0.01, 0.5};
  ASSERT_NO_FATAL_FAILURE(startConnected(config));
  tMachineOps& ops = session().connection().ops();
  ops.st.pos0.z = 9000;  // the table's corner at the shown height 0
  setWorkZeroZ(ops);
  const std::filesystem::path working = std::filesystem::current_path();
  std::filesystem::current_path(folder_.path());
  bool closed = false;
  inMoveWindow([&](QDialog& window) {
    typeMove(window, 40, 10, 5);
    pressKeyLater(window, 2500);
    window.findChild<QPushButton*>("scan")->click();
    closed = !window.isVisible();
  });
  std::filesystem::current_path(working);
  EXPECT_TRUE(closed) << "the scan closes the window";
  const std::string text = trazvik::testing::readFile(folder_ / "scan.txt");
  const double step = 1 / (100 * ops.params().axisFactorZ);
  int lines = 0;
  for (std::size_t at = 0; at < text.size(); at += 26, ++lines) {
    ASSERT_EQ(text.substr(at + 24, 2), "\r\n") << text;
    const double x = std::stod(text.substr(at, 8)), y = std::stod(text.substr(at + 8, 8));
    const double z = std::stod(text.substr(at + 16, 8));
    EXPECT_NEAR(z, 90 + config.tableSurface->heightAt(x, y, 100, 100), step + 0.005) << text.substr(at, 24);
  }
  EXPECT_GE(lines, 1);
  EXPECT_LT(lines, 15) << "the key ended the scan before the table was covered";
  // Its height map beside it.
  const std::string picture = trazvik::testing::readFile(folder_ / "scan.png");
  ASSERT_GT(picture.size(), 8u);
  EXPECT_EQ(picture.substr(1, 3), "PNG");
  const sim::TracePoint home = controller_->toolPosition();
  EXPECT_NEAR(home.x, 0, 0.01);
  EXPECT_NEAR(home.y, 0, 0.01);
  EXPECT_NEAR(home.z, 0, 0.01);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(PanelWindowsTest, TheInverterButtonSendsTheParameterFileOrSaysThereIsNone) {
  // The program's folder with its language files and, later, the file.
  programDirectory_ = folder_ / "program";
  std::filesystem::create_directories(programDirectory_);
  for (const char* language : {"Trazvik_US.xml", "Trazvik_PL.xml"})
    std::filesystem::copy_file(std::string(TRAZVIK_SOURCE_DIR) + "/lang/" + language, programDirectory_ / language);
  ASSERT_NO_FATAL_FAILURE(startConnected(machineOf("YFB 32")));
  QPushButton* upload = panelButton("btnParametryFalownika");
  ASSERT_TRUE(upload->isVisible()) << "a machine on the packet link";
  ASSERT_TRUE(upload->isEnabled());
  const texts::tInterfejs& t = program_->context().texts();
  EXPECT_EQ(upload->text().toStdString(), t.dajTxt("Control_Panel", "btnParametryFalownika.Caption"));

  controller_->clearReceivedCommands();
  upload->click();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0],
            t.dajTxt("Control_Panel", "msgBrakPlikuFalownika") + ": " + (programDirectory_ / "3g3jv.dat").string());
  for (const Bytes& c : received()) EXPECT_NE(c.front(), '[');

  // "YFB 32": not 'F' as the third character, so the 3G3JV file.
  writeFile(programDirectory_ / "3g3jv.dat", "1025 300 maximum frequency\r\n\r\n2 7\r\n");
  upload->click();
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[1].rfind(t.dajTxt("Control_Panel", "msgParametryFalownikaWyslane"), 0), 0u) << boxes_[1];
  std::vector<Bytes> parameters;
  for (const Bytes& c : received())
    if (c.front() == '[') parameters.push_back(c);
  EXPECT_EQ(parameters, (std::vector<Bytes>{{'[', 0x01, 0x04, 0x2C, 0x01}, {'[', 0x02, 0x00, 0x07, 0x00}}));

  // A line the reader cannot take is named and nothing of the file goes out.
  writeFile(programDirectory_ / "3g3jv.dat", "1025 300\r\n2 seven\r\n");
  controller_->clearReceivedCommands();
  upload->click();
  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_NE(boxes_[2].find("3g3jv.dat"), std::string::npos) << boxes_[2];
  EXPECT_NE(boxes_[2].find("2"), std::string::npos) << boxes_[2];
  for (const Bytes& c : received()) EXPECT_NE(c.front(), '[');
}

}  // namespace
}  // namespace trazvik::ui

namespace trazvik::ui {
namespace {

TEST_F(PanelWindowsTest, TheHeadPanelMeasuresTheCheckedHeadsAndSetsTypedZeros) {
  // A three-head machine; the fixed sensor 15 mm above the table at X 300,
  // head 3 standing 240 mm to the left of head 1.
  sim::SimConfig config = machineOf("YJB");
  config.headProbeTouchMm = kHeadTouchMm;
  extraSettings_ = "feuPomiarNarzX := 300\r\nfeuPomiarNarzZ := 15\r\nfeuOffsetXGlowica3 := -240\r\n";
  ASSERT_NO_FATAL_FAILURE(startConnected(config));
  // No machine type was cached before: the panel learns the heads when it
  // opens and shows their groups.
  EXPECT_TRUE(panel().findChild<QWidget*>("eObrotyWartosc")->isVisible());
  const double factorZ = session().connection().ops().params().axisFactorZ;
  ASSERT_GT(factorZ, 0);
  const auto zeroOf = [&](int head) { return controller_->machineState().headZeros[static_cast<std::size_t>(head)]; };

  struct Seen {
    bool headPanel = false, singleHeadButtons = true;
    QStringList heads, zerosBefore, zerosMeasured, zerosTyped;
    bool manualHidden = false;
  } seen;
  const auto lines = [](QListWidget* list) {
    QStringList l;
    for (int i = 0; i < list->count(); ++i) l << list->item(i)->text();
    return l;
  };
  testing::answerNextModal([&](QWidget* modal) {
    auto* window = qobject_cast<ToolLengthWindow*>(modal);
    if (window == nullptr) return modal->close(), void();
    seen.headPanel = !window->findChild<QWidget*>("pWieloGlowicowy")->isHidden();
    seen.singleHeadButtons = !window->findChild<QWidget*>("pPrzyciskiSrodkowe")->isHidden();
    auto* checks = window->findChild<QListWidget*>("clbGlowica");
    auto* zeros = window->findChild<QListWidget*>("lbGlowicaDlugosc");
    seen.heads = lines(checks);
    seen.zerosBefore = lines(zeros);
    // Heads 1 and 3 measured.
    checks->item(0)->setCheckState(Qt::Checked);
    checks->item(2)->setCheckState(Qt::Checked);
    window->findChild<QPushButton*>("btnPomiarNarzedziaWybranychGlowic")->click();
    seen.zerosMeasured = lines(zeros);
    // The manual panel, with a comma typed where the separator is a point.
    auto* toggle = window->findChild<QToolButton*>(QString::fromUtf8("sbRęczneUstDlNarz"));
    auto* manual = window->findChild<QWidget*>("pReczneUstDlNarzWielu");
    toggle->click();
    window->findChild<QLineEdit*>("eDlugoscNarzedzie1")->setText("123.45");
    window->findChild<QLineEdit*>("eDlugoscNarzedzie2")->setText("1,5");
    window->findChild<QPushButton*>("btnUstawDlugosc3Narzedzi")->click();
    const bool refusedStaysOpen = manual->isVisible();
    window->findChild<QLineEdit*>("eDlugoscNarzedzie2")->setText("99.5");
    window->findChild<QPushButton*>("btnUstawDlugosc3Narzedzi")->click();
    seen.zerosTyped = lines(zeros);
    seen.manualHidden = refusedStaysOpen && manual->isHidden();
    window->reject();
  });
  panelButton("pomiar")->click();

  EXPECT_TRUE(seen.headPanel);
  EXPECT_FALSE(seen.singleHeadButtons);
  const QString head = QString::fromStdString(program_->context().texts().dajTxt("Configuration", "lGlowica.caption"));
  EXPECT_EQ(seen.heads, (QStringList{head + " 1", head + " 2", head + " 3"}));
  ASSERT_EQ(seen.zerosBefore.size(), 3);
  ASSERT_EQ(seen.zerosMeasured.size(), 3);
  // The tip on the sensor's top, 15 mm above the table, at machine Z -80
  // (head 1) and -70 (head 3): the top stands 95 and 85 mm above the table.
  EXPECT_EQ(seen.zerosMeasured[0], "95");
  EXPECT_EQ(seen.zerosMeasured[1], seen.zerosBefore[1]) << "head 2 was not checked";
  EXPECT_EQ(seen.zerosMeasured[2], "85");
  EXPECT_TRUE(seen.manualHidden) << "a bad number kept the panel open, the good ones closed it";
  EXPECT_EQ(seen.zerosTyped, (QStringList{"123.45", "99.5", "210"}));
  // The zeros queue behind the pause that released the last head.
  runUntil([&] { return !controller_->stateBit(stateBit::motionRunning); }, 3000);
  EXPECT_EQ(zeroOf(0), std::lround(12345 * factorZ));
  EXPECT_EQ(zeroOf(1), std::lround(9950 * factorZ));
  EXPECT_EQ(zeroOf(2), std::lround(21000 * factorZ));
  ASSERT_EQ(boxes_.size(), 1u) << "the bad number only";
  EXPECT_NE(boxes_[0].find("'1,5'"), std::string::npos) << boxes_[0];
}

}  // namespace
}  // namespace trazvik::ui
