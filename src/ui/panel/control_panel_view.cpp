// What the control panel shows and how it takes the operator's input.
#include "control/panel_sliders.h"
#include "control/tster.h"
#include "texts/interfejs.h"

#include "panel/control_panel.h"

#include "dialogs/flt_edit_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

namespace trazvik::ui {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

using namespace panel;

void ControlPanel::applyCaptions() {
  for (const char* name :
       {"bazuj", "setbaza", "btnPrzesun", "pomiar", "zamknij", "ButtonWyjscia", "btnParametryFalownika"}) {
    buttons_[name]->setText(q(caption(std::string(name) + ".Caption")));
  }
  buttons_["btnSprawdzBaze"]->setText(q(texts_.dajTxt("Control_Panel", "btnSprawdzBaze.Caption")));
  for (const char* name :
       {"btnAktywujGlowice", "btnDeaktywujGlowice", "btnWlaczObroty", "btnWylaczObroty", "btnUstawObroty"}) {
    buttons_[name]->setText(q(caption(std::string(name) + ".caption")));
  }
  for (const char* name : {"btnPodsysOn", "btnOdkurzaczOn"}) buttons_[name]->setText(q(caption("wlacz")));
  for (const char* name : {"btnPodsysOff", "btnOdkurzaczOff"}) buttons_[name]->setText(q(caption("wylacz")));
  if (auto* vacuum = findChild<QGroupBox*>("gbPodsys")) vacuum->setTitle(q(caption("gbPodsys.caption")));
  if (auto* dust = findChild<QGroupBox*>("gbOdkurzacz")) dust->setTitle(q(caption("gbOdkurzacz.caption")));
  vScroll_->setToolTip(q(caption("VScroll.Hint")));
  pScroll_->setToolTip(q(caption("PScroll.Hint.Obroty")));
  tool_->setToolTip(q(caption("k_zalwyl.Hint.obroty")));
  pulseCaption_->setText(q(caption("lCzasImpulsu.caption")));
  inverterError_->setText(q(caption("bladFalownika")));
  const QString head = q(caption("lGlowica.caption"));
  if (heads_->count() == 0 && !head.isEmpty()) heads_->addItems({head + " 1", head + " 2", head + " 3"});
}

void ControlPanel::startMonitoring() {
  tster_.setTimerEnabled(true);
  timer_.start(tster_.interval());
}

void ControlPanel::stopMonitoring() {
  timer_.stop();
  tster_.setTimerEnabled(false);
}

void ControlPanel::timerEvent() {
  if (beforeStep) beforeStep();
  if (tster_.timerEnabled()) tster_.Timer1Timer();
  refresh();
  if (timer_.isActive() && timer_.interval() != tster_.interval()) timer_.setInterval(tster_.interval());
}

void ControlPanel::activatePanel() {
  if (actions_.resetJog) actions_.resetJog();
  tster_.FormActivate();
  // The sliders' ranges and positions as the machine stands now.
  if (sliderMachine) {
    const tSliderMachine m = sliderMachine();
    const tSliderRange range =
        speedSliderRange(m, selectedSpeedSlot ? selectedSpeedSlot() : 0, smoothing && smoothing());
    fromController_ = true;
    vScroll_->setRange(range.minimum, range.maximum);
    fromController_ = false;
    showSpeedAtActivation(m);
    fromController_ = true;
    const tPowerSlider power = powerSliderAtActivation(m, statusPower ? statusPower() : 0);
    pScroll_->setRange(power.minimum, power.maximum);
    pScroll_->setPageStep(power.largeStep);
    pScroll_->setSingleStep(power.smallStep);
    pScroll_->setValue(power.position);
    powerLabel_->setText(q(powerLabelText(m, power.position, '.')));
    pScroll_->setToolTip(
        q(texts_.dajTxt("Control_Panel", m.isLaser ? "PScroll.Hint.MocLaser" : "PScroll.Hint.Obroty")));
    tool_->setToolTip(q(texts_.dajTxt("Control_Panel", m.isLaser ? "k_zalwyl.Hint.laser" : "k_zalwyl.Hint.obroty")));
    fromController_ = false;
  }
  if (timer_.isActive()) timer_.setInterval(tster_.interval());
  refresh();
}

void ControlPanel::deactivatePanel() {
  tster_.FormDeactivate();
  if (timer_.isActive()) timer_.setInterval(tster_.interval());
}

void ControlPanel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) {
    tster_.show();
    activatePanel();
  }
}

void ControlPanel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isVisible()) {
    if (isActiveWindow())
      activatePanel();
    else
      deactivatePanel();
  }
  QWidget::changeEvent(event);
}

void ControlPanel::refresh() {
  const tPanelDisplay& d = tster_.display();
  setWindowTitle(q(d.caption));
  machineGroup_->setTitle(q(caption("gbWspMaszyny.Caption")));
  projectGroup_->setTitle(q(caption("gbWspProjektu.Caption")));
  for (const auto& [name, text] : {std::pair<const char*, const std::string&>{"wmx", d.wmx},
                                   {"wmy", d.wmy},
                                   {"wmz", d.wmz},
                                   {"wpx", d.wpx},
                                   {"wpy", d.wpy},
                                   {"wpz", d.wpz},
                                   {"wpV", d.wpV},
                                   {"eInverterStatus", d.inverterStatus},
                                   {"eInverterFreq", d.inverterFreq},
                                   {"eInverterAmper", d.inverterAmper},
                                   {"UsbError", d.usbErrors}}) {
    values_[name]->setText(q(text));
  }
  speedGroup_->setTitle(q(d.speedCaption.empty() ? caption("Szybkosc.Caption") : d.speedCaption));
  powerGroup_->setTitle(q(d.powerCaption.empty() ? caption("moc.Caption") : d.powerCaption));

  // The sliders follow the controller without sending anything back.
  fromController_ = true;
  if (d.speedSliderMax > d.speedSliderMin && vScroll_->maximum() <= vScroll_->minimum()) {
    vScroll_->setRange(d.speedSliderMin, d.speedSliderMax);
  }
  if (d.speedSliderPosition != 0 && d.speedSliderPosition != vScroll_->value())
    vScroll_->setValue(d.speedSliderPosition);
  if (d.powerSliderPosition != pScroll_->value()) pScroll_->setValue(d.powerSliderPosition);
  if (!d.powerLabel.empty()) powerLabel_->setText(q(d.powerLabel));
  fromController_ = false;
  tool_->setChecked(d.toolPressed);

  const tPanelTestBits& t = d.test;
  const std::pair<const char*, bool> bits[] = {{"cbSbRun", t.run},
                                               {"cbSbWork", t.work},
                                               {"cbSbPower", t.power},
                                               {"cbsb_bazowanie", t.homing},
                                               {"cbsb_wstrzymany", t.paused},
                                               {"cbSbZadanieStartu", t.startRequest},
                                               {"cbSbZadanieStopu", t.stopRequest},
                                               {"cbSbZadanieKontynuacji", t.continueRequest},
                                               {"cbsb_BMPAktywny", t.rasterActive},
                                               {"cbsb_ZadanieProgramowalne1", t.programmable1},
                                               {"cbsb_ZadanieProgramowalne2", t.programmable2},
                                               {"cbsb_DriverError", t.driverError}};
  for (const auto& [name, on] : bits) testBits_[name]->setChecked(on);
  values_["lbSelPwr"]->setText(QString::number(t.selPower));
  values_["lSelectedZ"]->setText(QString::number(t.selectedZ));
  values_["lSel_speed"]->setText(QString::number(t.selSpeed));
  values_["lSelectedV"]->setText(QString::number(t.selectedV));

  pulseCaption_->setVisible(d.pulseTimeVisible);
  pulseTime_->setVisible(d.pulseTimeVisible);
  pulseUnit_->setVisible(d.pulseTimeVisible);
  buttons_["btnSprawdzBaze"]->setVisible(d.baseCheckButtonVisible);
  buttons_["ButtonWyjscia"]->setVisible(d.outputsButtonVisible);
  buttons_["pomiar"]->setVisible(d.toolLengthButtonVisible);
  inverterError_->setVisible(d.inverterErrorVisible);
  controllerWait_->setText(q(d.controllerWait));
  controllerWait_->setVisible(!d.controllerWait.empty());
  lowerPart_->setVisible(d.panelHeight > 335);
  if (d.touchLayout != touchLayout_) applyTouchLayout(d.touchLayout);
  applyLocks();
  // The loop closed the panel (no link): the window goes as well.
  if (!d.shown && isVisible()) hide();
}

void ControlPanel::applyLocks() {
  const tPanelDisplay& d = tster_.display();
  for (auto& [button, widget] : motion_) {
    const bool z = button == PanelButton::kzu || button == PanelButton::kzd;
    widget->setEnabled(z ? d.zButtonsEnabled : d.jogButtonsEnabled);
  }
  tool_->setEnabled(d.jogButtonsEnabled);
  // A button whose window or command the program has not attached stays
  // disabled rather than doing nothing when pressed.
  struct SetUpButton {
    const char* name;
    std::function<void()> ControlPanelActions::*action;
    bool lockedByJob;
  };
  const SetUpButton setUp[] = {{"bazuj", &ControlPanelActions::home, true},
                               {"setbaza", &ControlPanelActions::setZero, true},
                               {"btnPrzesun", &ControlPanelActions::moveByDelta, true},
                               {"pomiar", &ControlPanelActions::toolLength, true},
                               {"btnSprawdzBaze", &ControlPanelActions::checkBase, false},
                               {"ButtonWyjscia", &ControlPanelActions::outputs, false},
                               {"btnParametryFalownika", &ControlPanelActions::inverterUpload, true}};
  for (const SetUpButton& b : setUp)
    buttons_[b.name]->setEnabled(static_cast<bool>(actions_.*b.action) && (!b.lockedByJob || d.jogButtonsEnabled));
  speedGroup_->setEnabled(d.cuttingParamsEnabled);
  powerGroup_->setEnabled(d.cuttingParamsEnabled);
  stop_->setEnabled(true);  // never disabled
}

// --- sliders ---

void ControlPanel::setSpeedSliderQuietly(int position) {
  const QSignalBlocker block(vScroll_);
  vScroll_->setValue(position);
}

void ControlPanel::showSpeedAtActivation(const panel::tSliderMachine& m) {
  const auto positionOf = [&m](std::int64_t feed) {
    return m.legacyJogScale ? static_cast<int>(feed) : speedToSlider(feed);
  };
  const std::int64_t reported = reportedFeed ? reportedFeed() : 0;
  if (reported > 0) {
    fromController_ = true;
    vScroll_->setValue(positionOf(reported));
    fromController_ = false;
  } else if (const std::int64_t feed = feedForEmptySlot ? feedForEmptySlot() : 0; feed > 0) {
    // The slider's change loads the feed into the slot.
    setSpeedSliderQuietly(positionOf(feed));
    speedSliderMoved(vScroll_->value());
  }
  showSpeedLabel(vScroll_->value());
}

void ControlPanel::showSpeedLabel(int position) {
  if (!sliderMachine) return;
  const int slot = selectedSpeedSlot ? selectedSpeedSlot() : 0;
  const tSpeedSliderChange change = speedSliderChanged(sliderMachine(), position, slot, smoothing && smoothing());
  speedLabel_->setText(q(speedLabelText(change.labelFeed, unitIndex ? unitIndex() : 0)));
}

void ControlPanel::speedSliderMoved(int position) {
  if (!sliderMachine) return;
  const tSliderMachine m = sliderMachine();
  const int slot = selectedSpeedSlot ? selectedSpeedSlot() : 0;
  const tSpeedSliderChange change = speedSliderChanged(m, position, slot, smoothing && smoothing());
  speedLabel_->setText(q(speedLabelText(change.labelFeed, unitIndex ? unitIndex() : 0)));
  vScroll_->setPageStep(change.largeStep);
  vScroll_->setSingleStep(change.smallStep);
  if (change.position != position) setSpeedSliderQuietly(change.position);
  if (!fromController_ && actions_.loadFeed) actions_.loadFeed(change.feedToLoad);
}

void ControlPanel::powerSliderMoved(int position) {
  if (!sliderMachine) return;
  const tSliderMachine m = sliderMachine();
  if (m.isLaser) powerLabel_->setText(q(powerLabelText(m, position, '.')));
  if (!fromController_ && actions_.sendPower) actions_.sendPower(powerFromPosition(m, position));
}

// --- keys ---

int ControlPanel::keyCode(int key, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers & Qt::KeypadModifier;
  if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) return 96 + (key - Qt::Key_0);
  if (keypad && key == Qt::Key_Plus) return 107;
  if (keypad && key == Qt::Key_Minus) return 109;
  switch (key) {
    case Qt::Key_PageUp: return keypad ? 105 : 33;
    case Qt::Key_PageDown: return keypad ? 99 : 34;
    case Qt::Key_End: return keypad ? 97 : 0;
    case Qt::Key_Home: return keypad ? 103 : 0;
    case Qt::Key_Clear: return 101;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return keypad ? 96 : 45;
    case Qt::Key_Control: return 17;
    case Qt::Key_F12: return 123;
    default: return 0;
  }
}

namespace {

// The motion button a jog key stands for, shown pressed while it is held.
std::optional<PanelButton> buttonOfKey(int code) {
  switch (code) {
    case 33: return PanelButton::kzu;
    case 34: return PanelButton::kzd;
    case 37:
    case 100: return PanelButton::kl;
    case 39:
    case 102: return PanelButton::kr;
    case 38:
    case 104: return PanelButton::ku;
    case 40:
    case 98: return PanelButton::kd;
    case 97: return PanelButton::kdl;
    case 99: return PanelButton::kdr;
    case 103: return PanelButton::kul;
    case 105: return PanelButton::kur;
    default: return std::nullopt;
  }
}

}  // namespace

bool ControlPanel::handleKey(int qtKey, Qt::KeyboardModifiers modifiers, bool press, bool autoRepeat) {
  if (qtKey == Qt::Key_Escape && press) {
    // Esc closes the panel as its Close button does.
    tster_.zamknijClick();
    hide();
    return true;
  }
  const int code = keyCode(qtKey, modifiers);
  if (code == 0) return false;
  if (const auto button = buttonOfKey(code); button && !autoRepeat) {
    if (const auto it = motion_.find(*button); it != motion_.end()) it->second->setDown(press);
  }
  if (code == 123) {
    if (press && (modifiers & Qt::ShiftModifier) && (modifiers & Qt::AltModifier)) {
      testPanel_->setVisible(!testPanel_->isVisible());
      adjustSize();
      return true;
    }
    return false;
  }
  if (!press) {
    // Held keys repeat their releases; only the real release stops the jog.
    if (autoRepeat) return true;
    return actions_.keyUp && actions_.keyUp(code);
  }
  if (code == 107 || code == 109) {
    // The numpad steps the feed slider; its handler loads the feed.
    if (!sliderMachine) return true;
    const int next = speedSliderKeyStep(sliderMachine(), vScroll_->value(), code == 107 ? 1 : -1);
    vScroll_->setValue(next);
    return true;
  }
  return actions_.keyDown && actions_.keyDown(code);
}

bool ControlPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    // A numeric field being typed into keeps its keys.
    if (qobject_cast<TFltEdit*>(watched) == nullptr &&
        handleKey(key->key(), key->modifiers(), event->type() == QEvent::KeyPress, key->isAutoRepeat())) {
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace trazvik::ui
