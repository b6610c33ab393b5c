// The control panel's service windows on the connection: the outputs
// window, the main window's tool measurement button that opens the same
// tool length window as the panel, and the "Move" window's service tests.
#include "control/inverter_upload.h"
#include "control/machine_tests.h"
#include "control/scan_picture.h"
#include "control/tool_controls.h"
#include "frame/machine_session.h"
#include "frame/main_window.h"
#include "link/tool_operations.h"
#include "machine/machine_capabilities.h"
#include "panel/control_panel.h"
#include "frame/operator_interrupt.h"
#include "panel/move_window.h"
#include "panel/outputs_window.h"
#include "texts/interfejs.h"

#include <filesystem>
#include <fstream>

namespace trazvik::ui {

void MachineSession::attachPanelWindows() {
  ControlPanelActions& a = panelWindow_->actions();
  a.outputs = [this] {
    tMachineOps& ops = connection_->ops();
    OutputsSetup setup;
    if (ops.linkUp()) ops.status.readState();
    // Without an answer the mask is stale: the box is shown but not offered.
    const bool answered = ops.linkUp() && ops.status.lastReadAnswered();
    setup.lubricationEnabled = answered && lubricationBoxEnabled(ops);
    setup.lubricationOn = lubricationBoxChecked(ops);
    setup.lubrication = [this, &ops](bool on) {
      if (!waiting() && ops.linkUp()) lubrication(ops, on);
    };
    TWyjsciaForm window(context_.texts(), std::move(setup), panelWindow_.get());
    window.exec();
  };
  a.inverterUpload = [this] {
    const texts::tInterfejs& t = context_.texts();
    const std::string caption = t.dajTxt("Control_Panel", "btnParametryFalownika.Caption");
    control_->context.hourglass(true);
    const tInverterUpload upload = uploadInverterParameters(connection_->ops(), context_.frame.programDirectory());
    control_->context.hourglass(false);
    switch (upload.result) {
      case tInverterUploadResult::sent:
        t.messageBox(t.dajTxt("Control_Panel", "msgParametryFalownikaWyslane") + ": " + upload.file.string(), false,
                     caption);
        break;
      case tInverterUploadResult::noFile:
        t.messageBox(t.dajTxt("Control_Panel", "msgBrakPlikuFalownika") + ": " + upload.file.string(), true, caption);
        break;
      case tInverterUploadResult::failed: t.messageBox(upload.error, true, caption); break;
      case tInverterUploadResult::noLink:
      case tInverterUploadResult::notPacketLink:
        t.messageBox(t.dajTxt("Control_Panel", "msgBrakLacznosci"), true, caption);
        break;
    }
  };
  // The toolbar's button belongs to the machines with a length sensor input.
  attach("sbPomiarNarzedzia", unlessWaiting([this] {
           if (!isToolMeasureFamily(machine_.model)) return;
           if (const auto& toolLength = panelWindow_->actions().toolLength) toolLength();
         }));
}

MoveWindowTests MachineSession::moveWindowTests() {
  // Each test runs with the panel's timer off (the test reads the state
  // itself) and ends on a key press or a left click.
  const auto run = [this](const std::function<void(tMachineOps&, const tOperatorInterrupt&)>& test) {
    tMachineOps& ops = connection_->ops();
    if (waiting()) return;
    const bool timerWasOn = control_->panel.timerEnabled();
    control_->panel.setTimerEnabled(false);
    {
      OperatorInterrupt interrupt;
      test(ops, [&interrupt] { return interrupt.take(); });
    }
    control_->panel.setTimerEnabled(timerWasOn);
    if (panelWindow_) panelWindow_->refresh();
  };
  const auto noLink = [this] {
    const texts::tInterfejs& t = context_.texts();
    t.messageBox(t.dajTxt("Control_Panel", "msgBrakLacznosci"), true, t.dajTxt("Tool_moving", "Przesun.Caption"));
  };
  MoveWindowTests tests;
  tests.backAndForth = [run, noLink](const tMoveRequest& r) {
    run([&](tMachineOps& ops, const tOperatorInterrupt& interrupted) {
      if (backAndForthTest(ops, r.x, r.y, r.z, interrupted) == tServiceTestResult::noLink) noLink();
    });
  };
  tests.scan = [this, run, noLink](const tMoveRequest& r) {
    run([&](tMachineOps& ops, const tOperatorInterrupt& interrupted) {
      // The program's working folder, where the operator started it.
      const std::filesystem::path path = std::filesystem::current_path() / "scan.txt";
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      if (!out) {
        context_.texts().messageBox(path.string() + ": cannot be written", true, std::string("scan"));
        return;
      }
      const tScanOutcome outcome = surfaceScan(ops, {r.x, r.y, r.z}, out, interrupted);
      out.close();
      if (outcome.result == tServiceTestResult::noLink) noLink();
      if (!out) context_.texts().messageBox(path.string() + ": cannot be written", true, std::string("scan"));
      // The table's shape at a glance, beside the file; a scan ended
      // before its first probe has nothing to draw.
      if (outcome.points.empty()) return;
      std::string error;
      if (!writeScanPicture(drawScanPicture(outcome.points), (path.parent_path() / "scan.png").string(), error))
        context_.texts().messageBox(error, true, std::string("scan"));
    });
  };
  tests.heater = [this, run, noLink] {
    const double runUp = context_.settings().real("CzasRozruchu");
    run([&](tMachineOps& ops, const tOperatorInterrupt& interrupted) {
      if (heaterTest(ops, runUp, interrupted) == tServiceTestResult::noLink) noLink();
    });
  };
  // Only a laser's tool output fires a beam; elsewhere it starts the spindle.
  if (!connection_->ops().params().isLaser) return tests;
  tests.laser = [this, run, noLink] {
    const auto& s = context_.settings();
    const tLaserTestSettings laser{s.real("work_power"), s.real("SpoczynkowaMocLasera"), s.real("CzasImpulsu")};
    run([&](tMachineOps& ops, const tOperatorInterrupt& interrupted) {
      if (laserTest(ops, laser, interrupted) == tServiceTestResult::noLink) noLink();
    });
  };
  return tests;
}

}  // namespace trazvik::ui
