// The control panel's "Tool length": the tool length window over the
// core's commands that send the Z work zero.
#include "control/tool_controls.h"
#include "control/tool_length.h"
#include "frame/machine_session.h"
#include "link/setup_operations.h"
#include "machine/machine_capabilities.h"
#include "panel/control_panel.h"
#include "panel/tool_length_window.h"

namespace trazvik::ui {

void MachineSession::attachHeadPanel(ToolLengthSetup& setup) {
  tMachineOps& ops = connection_->ops();
  const tLinkState& link = ops.linkState();
  setup.headCount = ops.params().headCount;
  setup.remoteMultiHead = link.firmwareAtLeast(7, 17);
  setup.remoteSingleHead = setup.remoteMultiHead && isToolMeasureFamily(ops.machine);
  if (setup.headCount < 2) return;
  // The list shows what the controller holds.
  ops.status.readZeroPoint();
  setup.headZeros = [&ops] {
    return std::array<double, 3>{ops.st.pos0Z123[0], ops.st.pos0Z123[1], ops.st.pos0Z123[2]};
  };
  const tHeadSensor sensor{context_.settings().real("feuPomiarNarzX"), context_.settings().real("feuPomiarNarzZ")};
  setup.measureHeads = [this, &ops, sensor](const std::array<bool, 3>& checked) {
    const tToolLengthResult r =
        measureSelectedHeads(ops, checked, sensor, context_.switches(), control_->context.mainWindow.hourglass);
    return r == tToolLengthResult::set;
  };
  setup.setHeadZeros = [&ops](const std::array<double, 3>& mm) {
    return setHeadZeros(ops, mm) == tToolLengthResult::set;
  };
}

void MachineSession::attachToolLength() {
  panelWindow_->actions().toolLength = [this] {
    tMachineOps& ops = connection_->ops();
    // A busy or silent machine is told, and the window stays shut.
    if (!toolLengthWindowAllowed(ops)) return;
    const tMachineParams& p = ops.params();
    const tControlSettings& cs = control_->context.settings;
    const texts::tInterfejs& texts = context_.texts();
    ToolLengthSetup setup;
    setup.unit = cs.unitIndex;
    setup.separator = context_.settings().decimalSeparator();
    setup.distanceMm = ops.st.pos0.z / 100;
    setup.maxDistanceMm = ops.machine.machineType == "YRF" ? 1500 : 10000;
    setup.singleHeadButtons = p.headCount < 2 && !p.isLaser;
    setup.ok = [&ops, &texts](double mm) {
      const tToolLengthResult r = setTypedToolDistance(ops, mm);
      if (r == tToolLengthResult::tooFar)
        texts.messageBox(toolTooFarText(texts, mm, ops.linkState().workArea[2]), true);
      return r == tToolLengthResult::set;
    };
    setup.materialSurface = [&ops, &cs] {
      return touchMaterialSurface(ops, cs.materialThickness, cs.aboveTable) == tToolLengthResult::set;
    };
    setup.tableSurface = [&ops] { return touchTableSurface(ops) == tToolLengthResult::set; };
    // Controllers whose name starts with "U" have no length sensor input.
    if (ops.st.info1.empty() || ops.st.info1[0] != 'U') {
      tToolMeasureSettings plate;
      plate.plateThickness = context_.settings().real("GruboscPlytki");
      plate.platePlace = context_.settings().integer("PolozeniePlytki");
      plate.materialThickness = cs.materialThickness;
      plate.aboveTable = cs.aboveTable;
      setup.measure = [this, &ops, plate] {
        const tToolLengthResult r =
            measureToolLength(ops, plate, context_.switches(), control_->context.mainWindow.hourglass);
        return r == tToolLengthResult::set || r == tToolLengthResult::plateUnknown;
      };
    }
    setup.hasKnife = cs.hasKnife;
    if (cs.hasKnife) {
      // Only a USB controller reports the offset; elsewhere it shows as 0
      // and is written only when the operator changes it.
      const std::optional<std::int32_t> steps = ops.linkUp() ? ops.status.readKnifeOffset() : std::nullopt;
      setup.knifeOffsetRead = steps.has_value();
      setup.knifeDegrees = knifeOffsetDegrees(steps.value_or(0), p.knifeStepsPerTurn);
      setup.knifeHint = std::to_string(steps.value_or(0)) + " kroków";
      setup.knifeOffset = [&ops](double degrees) { sendKnifeOffset(ops, degrees); };
    }
    attachHeadPanel(setup);
    setup.remoteRequest = [&ops] { return remoteMeasureRequest(ops); };
    armToolMeasure(ops);
    // The panel's timer reads no state while the window talks to the controller.
    const bool timerWasOn = control_->panel.timerEnabled();
    control_->panel.setTimerEnabled(false);
    ToolLengthWindow window(texts, std::move(setup), panelWindow_.get());
    window.exec();
    control_->panel.setTimerEnabled(timerWasOn);
    if (panelWindow_) panelWindow_->refresh();
  };
}

}  // namespace trazvik::ui
