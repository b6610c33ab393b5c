// The machine session's commands on the main window, and the link
// operations' waits and message boxes bound to the interface thread.
#include "control/homing.h"
#include "control/move_by_delta.h"
#include "dialogs/settings_dialog.h"
#include "frame/cutting_commands.h"
#include "frame/machine_session.h"
#include "frame/main_window.h"
#include "machine/machine_capabilities.h"
#include "link/head_operations.h"
#include "link/setup_operations.h"
#include "link/tool_operations.h"
#include "panel/control_panel.h"
#include "panel/calibration_window.h"
#include "panel/move_window.h"
#include "project/project_window.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>

namespace trazvik::ui {

namespace {

// Wraps every set action of a panel so that it does nothing while `busy`.
template <class R, class... A>
void refuseWhile(std::function<R(A...)>& action, const std::function<bool()>& busy) {
  if (!action) return;
  action = [inner = std::move(action), busy](A... args) -> R {
    if (busy()) return R();
    return inner(args...);
  };
}

}  // namespace

std::function<void()> MachineSession::unlessWaiting(std::function<void()> command) {
  return [this, command = std::move(command)] {
    if (!waiting()) command();
  };
}

void MachineSession::pumpWhileWaiting(std::chrono::milliseconds duration) {
  ++waiting_;
  QElapsedTimer elapsed;
  elapsed.start();
  do {
    const qint64 left = duration.count() - elapsed.elapsed();
    QApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(std::clamp<qint64>(left, 0, 50)));
  } while (elapsed.elapsed() < duration.count());
  --waiting_;
}

void MachineSession::bindInterface() {
  tMachineOps& ops = connection_->ops();
  // Waits paint the windows and take the STOP button; other machine
  // commands are refused until the wait ends.
  ops.pumpEvents = [this] { pumpWhileWaiting(std::chrono::milliseconds(0)); };
  connection_->link().sleep = [this](std::chrono::milliseconds d) { pumpWhileWaiting(d); };
  ops.stopRequested = [this] { return control_->panel.zatrzymaj(); };
  const texts::tInterfejs& t = context_.texts();
  ops.errorBox = [&t](const tTextRef& text, const tTextRef& caption) {
    t.messageBox(t.dajTxt(text.section, text.key), true, t.dajTxt(caption.section, caption.key));
  };
  ops.informationBox = [&t](const std::string& text) { t.messageBox(text, false); };
  connection_->link().messageBox = [&t](const std::string& section, const std::string& key,
                                        const std::string& caption) {
    t.messageBox(t.dajTxt(section, key), true, caption);
  };
}

void MachineSession::attach(const std::string& name, std::function<void()> command) {
  main_.setCommand(name, std::move(command));
  attached_.push_back(name);
}

void MachineSession::detach() {
  // The main window and the settings dialog outlive the session.
  for (const std::string& name : attached_) main_.setCommand(name, nullptr);
  attached_.clear();
  main_.setMachineFacts(nullptr);
  main_.setCloseQuery(nullptr);
  main_.setProjectCloseQuery(nullptr);
  main_.setSettingsClosed(nullptr);
  if (settingsHooks_) {
    SettingsDialogHooks& h = *settingsHooks_;
    h.usbPresent = nullptr;
    h.sendCommand = nullptr;
    h.restartEthernet = nullptr;
    h.currentPosition = nullptr;
    h.defaultAcceleration = nullptr;
    h.setAcceleration = nullptr;
    h.currentRampStep = nullptr;
    h.calibrationFactors = nullptr;
    h.calibrate = nullptr;
    h.sendY2Offset = nullptr;
    settingsHooks_ = nullptr;
  }
}

void MachineSession::attachCommands() {
  cutting_ = std::make_unique<CuttingCommands>(context_, main_, *cuttingSession_);
  attach("Start1", unlessWaiting([this] {
           const tStartOutcome outcome = cutting_->start();
           if (outcome == tStartOutcome::started) {
             track_->clear();
             const ProjectWindow* w = main_.activeProjectWindow();
             jobEstimateSeconds_ = w ? w->project().GetEstimatedCuttingTime() * 60.0 : 0;
           }
           showJobState();
         }));
  attach("Tnijwybran1", unlessWaiting([this] { cutting_->cutSelected(tJobScope::selectedFigure); }));
  attach("Startodwybranej1", unlessWaiting([this] { cutting_->cutSelected(tJobScope::fromSelectedFigure); }));
  attach("WypalBMP1", unlessWaiting([this] { cutting_->burn(); }));
  attach("sterowanie", [this] { showPanel(); });
  attachMultiTest();
  attach("Wstrzymaj1", unlessWaiting([this] { control_->commands.Wstrzymaj1Click(); }));
  attach("Kontynuacja1", unlessWaiting([this] { control_->commands.Kontynuacja1Click(); }));
  attach("miZatrzymajZadanie", unlessWaiting([this] { control_->commands.ZatrzymajZadanieClick(); }));
  attach("Powtrz1", unlessWaiting([this] { control_->commands.Powtrz1Click(); }));
  attach("miZalaczPompeProzniowa", unlessWaiting([this] { vacuumPumpSwitch(connection_->ops(), true); }));
  attach("miWylaczPompeProzniowa", unlessWaiting([this] { vacuumPumpSwitch(connection_->ops(), false); }));
  attach("sWylaczPowiadomienia", [this] {
    stopEndOfJobSignal(control_->context.flags);
    main_.UpdateMenuItems();
  });

  // The panel's buttons and keys likewise; STOP and the releases stay usable.
  ControlPanelActions& a = panelWindow_->actions();
  a.home = [this] {
    tHomingOptions options;
    options.hasKnife = control_->context.settings.hasKnife;
    options.switches = context_.switches();
    options.hourglass = control_->context.mainWindow.hourglass;
    bazujClick(connection_->ops(), options);
    // Homing while a base-checked job is paused goes into its report.
    if (control_->flags.checkBaseMode && control_->flags.jobPaused)
      cuttingSession_->baseCheck.appendTimed("   BAZOWANIE");
  };
  a.checkBase = [this] { cuttingSession_->baseCheck.btnSprawdzBazeClick(); };
  attachSetZero();
  // The window only collects the move; the machine moves once it is closed,
  // so the panel's STOP can end the move.
  a.moveByDelta = [this] {
    if (moveWindow_ == nullptr) moveWindow_ = new Tprzesun(context_.texts(), panelWindow_.get());
    moveWindow_->setTests(moveWindowTests());
    moveWindow_->setUnit(control_->context.settings.unitIndex);
    if (moveWindow_->exec() != QDialog::Accepted) return;
    WykonajClick(connection_->ops(), moveWindow_->request());
  };
  attachToolLength();
  attachPanelWindows();
  const std::function<bool()> busy = [this] { return waiting(); };
  // Releases always go through: they stop a jog ("Y").
  refuseWhile(a.keyDown, busy);
  refuseWhile(a.buttonDown, busy);
  refuseWhile(a.toolButton, busy);
  refuseWhile(a.loadFeed, busy);
  refuseWhile(a.sendPower, busy);
  refuseWhile(a.setSpindleSpeed, busy);
  refuseWhile(a.spindleOn, busy);
  refuseWhile(a.spindleOff, busy);
  refuseWhile(a.activateHead, busy);
  refuseWhile(a.releaseHead, busy);
  refuseWhile(a.vacuum, busy);
  refuseWhile(a.dustExtraction, busy);
  refuseWhile(a.setPulseTime, busy);
  refuseWhile(a.home, busy);
  refuseWhile(a.checkBase, busy);
  refuseWhile(a.setZero, busy);
  refuseWhile(a.moveByDelta, busy);
  refuseWhile(a.toolLength, busy);
  refuseWhile(a.outputs, busy);
  refuseWhile(a.inverterUpload, busy);
}

void MachineSession::bindSettingsDialog(SettingsDialogHooks& hooks) {
  settingsHooks_ = &hooks;
  hooks.usbPresent = [this] { return connection_->link().usbPresent(); };
  hooks.sendCommand = [this](const std::string& command) {
    if (waiting()) return;
    const Bytes bytes(command.begin(), command.end());
    connection_->ops().send(bytes);
  };
  hooks.restartEthernet = [this] { connection_->restart(context_.configuration.globals().machineAddress); };
  hooks.currentPosition = [this]() -> std::optional<std::pair<double, double>> {
    tMachineOps& ops = connection_->ops();
    if (waiting() || !ops.linkUp()) return std::nullopt;
    ops.status.readPositions();
    if (!ops.status.lastReadAnswered()) return std::nullopt;
    return std::make_pair(static_cast<double>(ops.st.abspos.x), static_cast<double>(ops.st.abspos.y));
  };
  hooks.defaultAcceleration = [this] {
    std::string product;
    const int value = defaultAcceleration(connection_->link().usbPresent(), machine_.model, machine_.status, product);
    return std::make_pair(value, product);
  };
  hooks.setAcceleration = [this](int value) {
    tMachineOps& ops = connection_->ops();
    if (waiting() || !ops.linkUp()) return false;
    setAcceleration(ops, value);
    return true;
  };
  hooks.sendY2Offset = [this](double mm) {
    if (!waiting() && connection_->ops().linkUp()) shiftSecondY(connection_->ops(), mm);
  };
  hooks.currentRampStep = [this] { return static_cast<int>(machine_.model.machineParams.rampStep); };
  // The group shows the factors the controller keeps (1 when uncalibrated),
  // not the axis scales they divide.
  hooks.calibrationFactors = [this] {
    const std::array<float, 3>& f = connection_->ops().linkState().calibrationFactors;
    return std::array<double, 3>{f[0], f[1], f[2]};
  };
  hooks.calibrate = [this] {
    if (waiting()) return;
    QWidget* parent = QApplication::activeModalWidget();
    TCalibration window(
        context_.texts(),
        [this](const std::array<float, 3>& factors) {
          return !waiting() && storeAxisCalibration(connection_->ops(), factors);
        },
        parent != nullptr ? parent : &main_);
    const tLinkState& link = connection_->ops().linkState();
    window.activate(link.calibrationFactors, link.workArea, control_->context.settings.unitIndex);
    window.exec();
  };
}

}  // namespace trazvik::ui
