#include "control/jog_panel.h"

#include "control/panel_sliders.h"
#include "control/tool_controls.h"
#include "link/machine_control_operations.h"
#include "link/speed_operations.h"
#include "machine/state_bits.h"

namespace trazvik {

tJogDirection directionOfButton(tJogButton button) {
  switch (button) {
    case tJogButton::kul: return tJogDirection::upLeft;
    case tJogButton::ku: return tJogDirection::up;
    case tJogButton::kur: return tJogDirection::upRight;
    case tJogButton::kl: return tJogDirection::left;
    case tJogButton::kr: return tJogDirection::right;
    case tJogButton::kdl: return tJogDirection::downLeft;
    case tJogButton::kd: return tJogDirection::down;
    case tJogButton::kdr: return tJogDirection::downRight;
    case tJogButton::kzu: return tJogDirection::zUp;
    case tJogButton::kzd: return tJogDirection::zDown;
  }
  return tJogDirection::up;
}

void tJogPanel::reset() {
  jogActive_ = false;
  repetycja_ = false;
  lastKey_ = 0;
}

void tJogPanel::startJog(tJogDirection direction) {
  jogActive_ = true;
  // The machine must stand before the move is measured from its position.
  if (waitWhileBusy(ops_) != tWaitResult::idle) return;
  // Released while the wait ran the window's events: no move at all.
  if (!jogActive_) return;
  ops_.status.readPositions();
  if (blocked) {
    const tJogDelta d = jogDelta(direction, ops_.st, ops_.linkState(), ops_.machine);
    blocked(jogBlockOf(direction, d, ops_.st, ops_.machine));
  }
  jogTo(ops_, direction, hasKnife);
}

void tJogPanel::stopJog() {
  stopManualMotion(ops_);
  jogActive_ = false;
}

bool tJogPanel::keyDown(int keyCode, bool shift, bool alt) {
  repetycja_ = keyCode == lastKey_;
  lastKey_ = keyCode;
  if (keyCode == jogKey::ctrl) {
    if (repetycja_) return true;
    vnorm_ = sliderFeed ? sliderFeed() : 0;
    setSpeed(ops_, speedToPeriod(ops_, vnorm_ / 10));
    return true;
  }
  if (jogActive_) return false;
  if (const auto direction = jogDirectionOfKey(keyCode)) {
    startJog(*direction);
    return true;
  }
  switch (keyCode) {
    case jogKey::numpad5: stopManualMotion(ops_); return true;
    case jogKey::insert:
    case jogKey::numpad0:
      toolKey(ops_, pulseTimeMs);
      if (redraw) redraw();
      return true;
    case jogKey::numpadPlus:
    case jogKey::numpadMinus:
      speedKey(keyCode == jogKey::numpadPlus ? 1 : -1);
      if (redraw) redraw();
      return true;
    case jogKey::f12:
      if (!shift || !alt) return false;
      if (toggleTestPanel) toggleTestPanel();
      return true;
    default: return false;
  }
}

void tJogPanel::speedKey(int step) {
  if (!sliderPosition || !setSliderPosition) return;
  const int position = panel::speedSliderKeyStep(panel::sliderMachineOf(ops_.machine, ops_.linkState(), ops_.st.info1),
                                                 sliderPosition(), step);
  setSliderPosition(position);
  // On the legacy scale the position is the feed, loaded here.
  if (ops_.params().legacyJogScale) setSpeed(ops_, speedToPeriod(ops_, position));
}

bool tJogPanel::keyUp(int keyCode) {
  if (keyCode == jogKey::ctrl) {
    setSpeed(ops_, speedToPeriod(ops_, vnorm_));
    lastKey_ = 0;
    return true;
  }
  if (!jogDirectionOfKey(keyCode)) return false;
  stopJog();
  return true;
}

void tJogPanel::buttonDown(tJogButton button) {
  if (jogActive_) return;
  startJog(directionOfButton(button));
}

void tJogPanel::buttonUp(tJogButton) { stopJog(); }

bool tJogPanel::stopButtonDown(bool engravingRunning, bool& engravingStopRequested) {
  if (ops_.st.bit(stateBit::jobRunning)) return false;
  if (engravingRunning) {
    engravingStopRequested = true;
    return false;
  }
  stopManualMotion(ops_);
  return true;
}

}  // namespace trazvik
