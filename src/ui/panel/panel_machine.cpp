#include "control/control_state.h"
#include "control/jog_panel.h"
#include "control/tool_controls.h"
#include "link/head_operations.h"
#include "link/speed_operations.h"
#include "machine/state_bits.h"
#include "link/tool_operations.h"

#include "panel/panel_machine.h"

#include <QSlider>

#include <cmath>

namespace trazvik::ui {

namespace {

tJogButton jogButtonOf(PanelButton button) { return static_cast<tJogButton>(static_cast<int>(button)); }

}  // namespace

void connectPanelToMachine(ControlPanel& panel, tMachineOps& ops, tJogPanel& jog, tControlState& flags) {
  ControlPanelActions& a = panel.actions();
  QSlider* feedSlider = panel.speedSlider();
  jog.sliderFeed = [&panel, feedSlider] {
    return panel.sliderMachine
               ? static_cast<std::int32_t>(panel::sliderFeed(panel.sliderMachine(), feedSlider->value()))
               : 0;
  };
  jog.redraw = [&panel] { panel.refresh(); };
  jog.blocked = [&panel](tJogBlock block) { panel.showJogBlock(block); };
  a.keyDown = [&jog](int code) { return jog.keyDown(code); };
  a.keyUp = [&jog](int code) { return jog.keyUp(code); };
  a.buttonDown = [&jog](PanelButton b) { jog.buttonDown(jogButtonOf(b)); };
  a.buttonUp = [&jog](PanelButton b) { jog.buttonUp(jogButtonOf(b)); };
  a.stopPressed = [&ops, &jog, &flags] {
    if (ops.st.bit(stateBit::jobRunning)) return;  // the click pauses the job instead
    bool stopRequested = flags.engravingStopRequested;
    jog.stopButtonDown(flags.engravingRunning, stopRequested);
    flags.engravingStopRequested = stopRequested;
  };
  a.resetJog = [&jog] { jog.reset(); };
  a.toolButton = [&ops, &jog] { toolButton(ops, jog.pulseTimeMs); };
  a.loadFeed = [&ops](std::int64_t feed) { setSpeed(ops, speedToPeriod(ops, feed)); };
  a.sendPower = [&ops](int power) {
    ops.st.power = static_cast<std::uint16_t>(std::clamp(power, 0, 65535));
    applyPowerFromStatus(ops);
  };
  a.setSpindleSpeed = [&ops](const std::string& text) { return setSpindleSpeedFromText(ops, text); };
  a.spindleOn = [&ops] { spindleOn(ops); };
  a.spindleOff = [&ops] { spindleOff(ops); };
  a.activateHead = [&ops](int entry) { activateHeadEntry(ops, entry); };
  a.releaseHead = [&ops] { releaseHead(ops); };
  a.vacuum = [&ops](bool on) { vacuumPumpSwitch(ops, on); };
  a.dustExtraction = [&ops](bool on) { dustExtraction(ops, on); };
  a.setPulseTime = [&ops, &jog](int ms) {
    jog.pulseTimeMs = ms;
    setLaserPulseTime(ops, static_cast<std::uint32_t>(std::max(ms, 0)));
  };
}

}  // namespace trazvik::ui
