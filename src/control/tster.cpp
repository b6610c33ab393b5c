#include "control/tster.h"

#include "config/flt_edit.h"
#include "control/machine_type_cache.h"
#include "base/text.h"
#include "machine/commands_immediate.h"
#include "machine/state_bits.h"

namespace trazvik {

Tster::Tster(tControlContext& context, TTransArm& transArm) : ctx_(context), trans_(transArm) {}

Tster::~Tster() { FormDestroy(); }

// ----- life cycle -----

void Tster::FormCreate(const base::StartupSwitches& switches) {
  switches_ = switches;
  if (ctx_.panelMakesWatchdog && ctx_.link.ethernet && !ctx_.watchdog && !watchdog_)
    watchdog_ = std::make_unique<tEthernetCzuwanie>(*ctx_.link.ethernet);

  const std::string filter = ctx_.link.usb ? ctx_.link.usb->machineFilter : switches.machineFilter;
  display_.caption = ctx_.text("Control_Panel", "ster.Caption") + "   " + filter;
  for (const char* key : {"bazuj.Caption",
                          "setbaza.Caption",
                          "moc.Caption",
                          "VScroll.Hint",
                          "PScroll.Hint.Obroty",
                          "btnPrzesun.Caption",
                          "pomiar.Caption",
                          "kzu.Hint",
                          "kzd.Hint",
                          "k_zalwyl.Hint.obroty",
                          "zamknij.Caption",
                          "ButtonWyjscia.Caption",
                          "btnParametryFalownika.Caption",
                          "btnAktywujGlowice.caption",
                          "btnDeaktywujGlowice.caption",
                          "btnWlaczObroty.caption",
                          "btnWylaczObroty.caption",
                          "btnUstawObroty.caption",
                          "gbPodsys.caption",
                          "gbOdkurzacz.caption",
                          "bladFalownika"})
    display_.captions[key] = ctx_.text("Control_Panel", key);
  unitCaptions();
  for (const char* key : {"lCzasImpulsu.caption", "lGlowica.caption"})
    display_.captions[key] = ctx_.text("Configuration", key);
  for (const char* key : {"wlacz", "wylacz"}) display_.captions[key] = ctx_.text("Other", key);

  // The machine type cache lets the panel know the machine before the
  // controller answers.
  // A controller already identified over a live link is not overridden.
  auto cached = ctx_.linkUp() ? std::nullopt : readMachineTypeCache(machineTypeCachePath());
  if (cached) {
    ctx_.st.info1 = *cached;
    setVerParam();
  } else if (ctx_.link.usb && ctx_.link.usb->DornelisFrezExist()) {
    ctx_.linkState().cncMachine = true;
  }
  ctx_.linkState().cncMachine = true;  // no direct port access on this system

  if (ctx_.linkUp()) ctx_.reader.readState();
  if (ctx_.linkUp() && ctx_.reader.lastReadAnswered()) {
    ctx_.reader.readMachineInfo(switches);
    // A controller that told nothing must not wipe the cache.
    if (ctx_.reader.lastReadAnswered() && !base::trimmed(ctx_.st.info1).empty())
      writeMachineTypeCache(machineTypeCachePath(), ctx_.st.info1);
    setVerParam();
  }
  interval_ = inactiveInterval;
  display_.pulseTimeVisible = ctx_.params().isLaser != 0;
  display_.panelHeight = ctx_.params().headCount < 2 ? 335 : 604;
  display_.touchLayout = switches.touchPanel && ctx_.machine.machineType != "YJB";
  display_.baseCheckButtonVisible = switches.showBaseCheck;
  if (switches.checkBaseMode) {
    ctx_.flags.checkBaseMode = true;
    ctx_.flags.checkBaseInterval = switches.checkBaseInterval > 0 ? switches.checkBaseInterval : 60;
  }
  ctx_.flags.saveLastPos = switches.saveLastPos;
  lastPosName_ = ctx_.dataDirectory + "LastPosition.txt";
  zatrzymaj_ = false;
}

void Tster::unitCaptions() {
  const std::string unit(config::unitName(ctx_.settings.unitIndex));
  display_.captions["gbWspMaszyny.Caption"] = ctx_.text("Control_Panel", "gbWspMaszyny.Caption") + " [" + unit + "]";
  display_.captions["gbWspProjektu.Caption"] = ctx_.text("Control_Panel", "gbWspProjektu.Caption") + " [" + unit + "]";
  display_.captions["Szybkosc.Caption"] = ctx_.text("Control_Panel", "Szybkosc.Caption") + " [" + unit + "/min]";
}

void Tster::FormActivate() {
  display_.active = true;
  display_.shown = true;
  unitCaptions();
  timerEnabled_ = false;
  if (ctx_.linkUp()) ctx_.reader.readState();
  if (ctx_.linkUp() && ctx_.reader.lastReadAnswered()) {
    ctx_.send(letterCommand(immediate::stateQuery));
    ctx_.reader.readMachineInfo(switches_);
    setVerParam();
    ctx_.reader.readPower();
    ctx_.reader.readSpeeds();
    ctx_.reader.readPositions();
    ctx_.reader.readZeroPoint();
    shownPowerSlot_ = 255;
  }
  interval_ = monitorInterval;
  ctx_.send(letterCommand(immediate::stateQuery));
  // The caption tells the link over either transport; a window closing in
  // front of the panel activates it again and must not make it say
  // "no connection" over Ethernet.
  linkCaption();
  timerEnabled_ = true;
  const auto& p = ctx_.params();
  display_.outputsButtonVisible = !p.isLaser && base::trimmed(ctx_.st.info1) == "YFF 333";
  display_.toolLengthButtonVisible = !p.isLaser || p.laserZAxis;
  // The machine may have become known only now (no type cached at the
  // panel's creation): the head groups and the touch layout follow it.
  display_.panelHeight = p.headCount < 2 ? 335 : 604;
  display_.touchLayout = switches_.touchPanel && ctx_.machine.machineType != "YJB";
  const bool inverterOk = !ctx_.st.bit(stateBit::inverterError);
  display_.inverterErrorVisible = !inverterOk;
  ctx_.statusBar(1, inverterOk ? std::string() : ctx_.text("Control_Panel", "bladFalownika"));
}

void Tster::FormDeactivate() {
  display_.active = false;
  interval_ = inactiveInterval;
}

void Tster::FormDestroy() {
  timerEnabled_ = false;
  if (watchdog_) {
    watchdog_->Terminate();
    watchdog_.reset();
  }
}

void Tster::close() {
  if (!display_.shown) return;
  display_.shown = false;
  display_.active = false;
  if (ctx_.mainWindow.panelClosed) ctx_.mainWindow.panelClosed();
}

void Tster::setVerParam() {
  identifyMachine(ctx_.machine, ctx_.linkState(), ctx_.st,
                  ctx_.identifyEnvironment ? ctx_.identifyEnvironment() : tIdentifyEnvironment{});
  const auto& p = ctx_.params();
  display_.speedSliderMin = p.minFeed;
  display_.speedSliderMax = p.legacyJogScale ? p.maxFeedXY : p.maxJogSpeed;
}

// ----- the timer event -----

void Tster::Timer1Timer() {
  if (ctx_.flags.engravingHoldsLink) return;
  if (ctx_.settings.ethernetConnection && watchdog() && !commandLinkConnected()) watchdog()->Resume();
  interval_ = trans_.isOpen || display_.active ? activeInterval : monitorInterval;
  // Echoes of commands sent since the last event (the operator's, the
  // pause's) belong to those operations, not to the job's next command.
  reportEchoFaults();
  if (trans_.isOpen) trans_.Tick();
  if (!ctx_.flags.engravingRunning || ctx_.flags.engravingStopRequested) Tick();
  reportEchoFaults();
  watchLinkFault();
  watchStall();
  if (ctx_.mainWindow.baseCheckMonitor) ctx_.mainWindow.baseCheckMonitor(false);
  if (ctx_.flags.saveLastPos) lastPositionCheck();
}

void Tster::kstopClick() {
  if (ctx_.flags.engravingRunning) ctx_.flags.engravingStopRequested = true;
  zatrzymaj_ = true;
  ctx_.report(tControlEventKind::jobPaused, 0, "STOP");
}

void Tster::Tick() {
  if (!stageA()) return;
  if (ctx_.linkState().cncMachine && !stageB()) return;
  if (!ctx_.flags.transferActive && !messageWaiting()) stageC();
}

bool Tster::stageA() {
  if (!zatrzymaj_) return true;
  zatrzymaj_ = false;
  if (ctx_.flags.engravingRunning) {
    ctx_.flags.engravingStopRequested = true;
    SterBlokadaParamCiecia(true);
    return false;
  }
  ctx_.reader.readState();
  if (ctx_.st.bit(stateBit::jobRunning) && wstrzymaj) {
    ctx_.hourglass(true);
    wstrzymaj();
    ctx_.hourglass(false);
  }
  return true;
}

bool Tster::stageB() {
  const auto& link = ctx_.linkState();
  if (ctx_.machine.machineType == "YJB") {
    ctx_.reader.readInverter();
    display_.inverterStatus = std::to_string(link.inverterStatus[0]);
    display_.inverterFreq = std::to_string(link.inverterStatus[1]);
    display_.inverterAmper = std::to_string(link.inverterStatus[2]);
  }
  if (ctx_.machine.safetyEnclosure) {
    ctx_.reader.readInputs();
    if ((link.machineInputs & 0x08) && ctx_.st.bit(stateBit::jobRunning) && ctx_.flags.runRequested) {
      if (ctx_.mainWindow.pauseCommand) ctx_.mainWindow.pauseCommand();
      const std::string text = ctx_.text("Main_window", "msgSafetyEnclouserOpened") + "\n\r" +
                               ctx_.text("Main_window", "msgCloseSafetyEnclouser");
      ctx_.report(tControlEventKind::enclosureOpened, 0, text);
      ctx_.errorBox(text, "Stop");
      return false;
    }
  }
  linkCaption();
  // A dead link answers nothing; reading it would only raise its error again.
  if (ctx_.linkUp()) ctx_.reader.readStateOnly();
  if (ctx_.link.usbPresent() || commandLinkConnected()) {
    const std::uint64_t seen = ctx_.flags.requestsSeen;
    ctx_.flags.requestsSeen = 0;
    // A status read that got no answer tells nothing about the buttons.
    if (ctx_.linkUp() && ctx_.reader.lastReadAnswered())
      requestBits(ctx_.st.StateExtend | seen);
    else
      requestBits(seen);
  } else {
    ctx_.flags.requestsSeen = 0;
    interval_ = noLinkInterval;
    close();
  }
  return true;
}

void Tster::linkCaption() {
  const auto& usb = ctx_.link.usb;
  if (usb && usb->DornelisFrezExist())
    display_.caption = ctx_.text("Control_Panel", "ster.Caption.USB") + "   " + usb->machineFilter;
  else if (ctx_.linkState().ethernetActive)
    display_.caption = ctx_.text("Control_Panel", "Control_Panel.Ethernet") + "   " +
                       (usb ? usb->machineFilter : switches_.machineFilter);
  else
    display_.caption = ctx_.text("Control_Panel", "ster.Caption.BrakLacznosci");
}

void Tster::requestBits(std::uint64_t bits) {
  auto has = [bits](int bit) { return (bits & stateBit::mask(bit)) != 0; };
  if (has(stateBit::startRequest) && ctx_.mainWindow.startCommand) ctx_.mainWindow.startCommand();
  if (has(stateBit::stopRequest)) {
    if (ctx_.mainWindow.pauseCommand) ctx_.mainWindow.pauseCommand();
    ctx_.flags.pausedFromMachine = true;
    ctx_.flags.pausedFromPc = false;
    ctx_.report(tControlEventKind::pausedByMachine);
    if (has(stateBit::spindleOverload)) {
      const std::string text = ctx_.text("Control_Panel", "msgPrzeciazenieWrzeciona");
      ctx_.report(tControlEventKind::spindleOverload, 0, text);
      ctx_.errorBox(text, "Stop");
    }
  }
  driverError(has(stateBit::axisDriverError));
  if (has(stateBit::continueRequest)) {
    const bool heldEmpty = has(stateBit::heldForEmptyBuffer);
    if (!heldEmpty || (!ctx_.flags.pausedFromPc && !ctx_.flags.pausedFromMachine))
      if (ctx_.mainWindow.continueCommand) ctx_.mainWindow.continueCommand();
  }
}

void Tster::driverError(bool set) {
  if (!set) {
    ctx_.flags.driverErrorShown = false;
    return;
  }
  if (ctx_.flags.driverErrorShown) return;
  ctx_.flags.driverErrorShown = true;
  // A drive in fault has lost its steps: the job must not run on. The
  // description the operator reads says the job has been paused.
  if (ctx_.flags.jobStarted && !ctx_.flags.jobPaused && ctx_.mainWindow.pauseCommand) ctx_.mainWindow.pauseCommand();
  // The axes come in a report the controller gives over USB only; over the
  // network the error is told without them rather than as "(0)".
  const bool axesKnown = !ctx_.linkState().ethernetActive;
  if (axesKnown) ctx_.reader.readDriverError();
  const std::int32_t axes = axesKnown ? ctx_.linkState().driverErrorAxes : 0;
  std::string names;
  if (axes & 0x01) names += "X ";
  if (axes & 0x02) names += "Y1 ";
  if (axes & 0x08) names += "Y2 ";
  if (axes & 0x04) names += "Z ";
  const std::string which =
      axesKnown ? " (" + std::to_string(axes) + ") : " + names : " (axes not reported over Ethernet)";
  const std::string text =
      ctx_.text("Other", "driverError") + which + "\n\r" + ctx_.text("Other", "driverErrorDescription");
  ctx_.report(tControlEventKind::driverError, axes, text);
  ctx_.errorBox(text, "Stop");
}

bool Tster::commandLinkConnected() const { return ctx_.link.ethernet && ctx_.link.ethernet->commandConnected(); }

bool Tster::messageWaiting() const {
  if (ctx_.interfaceQueue && ctx_.interfaceQueue->pending()) return true;
  return ctx_.mainWindow.inputWaiting && ctx_.mainWindow.inputWaiting();
}

void Tster::SterBlokadaPrzyciskow(bool bMozna) {
  display_.jogButtonsEnabled = bMozna;
  display_.zButtonsEnabled = bMozna && (!ctx_.params().isLaser || ctx_.params().laserZAxis);
}

void Tster::SterBlokadaParamCiecia(bool bMoznaZmieniac) { display_.cuttingParamsEnabled = bMoznaZmieniac; }

}  // namespace trazvik
