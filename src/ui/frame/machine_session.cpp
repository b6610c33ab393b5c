#include "frame/machine_session.h"

#include "control/panel_sliders.h"
#include "frame/cutting_commands.h"
#include "frame/main_window.h"
#include "link/hid_service.h"
#include "link/speed_operations.h"
#include "machine/link_state.h"
#include "machine/machine_capabilities.h"
#include "machine/plot_state.h"
#include "panel/control_panel.h"
#include "panel/panel_machine.h"
#include "geometry/units.h"
#include "project/project_view.h"
#include "project/project_window.h"

#include <filesystem>
#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace trazvik::ui {

MachineSession::MachineSession(ProgramContext& context, MainWindow& mainWindow, MachinePorts ports,
                               logging::AppLogs* logs, const HidServiceFactory& hidService)
    : context_(context), main_(mainWindow), ports_(ports), appLogs_(logs) {
  const base::StartupSwitches& sw = context_.switches();
  std::unique_ptr<tHidService> hid;
  if (!sw.skipUsb) hid = hidService ? hidService() : makeHidapiService();
  connection_ = std::make_unique<tMachineConnection>(machine_, std::move(hid));
  cuttingSession_ = std::make_unique<tCuttingSession>(
      *connection_, context_.settings(), context_.texts(),
      tCuttingSessionSetup{context_.frame.dataDirectory(), sw, appLogs_, context_.frame.caption()});
  control_ = &cuttingSession_->control;
}

MachineSession::~MachineSession() {
  shutdown();
  detach();
  panelWindow_.reset();
}

void MachineSession::start() {
  const base::StartupSwitches& sw = context_.switches();
  connection_->text = [this](const std::string& section, const std::string& key) {
    return context_.texts().dajTxt(section, key);
  };
  connection_->statusBarText = [this](const std::string& t) { main_.setStatusPanel(0, QString::fromStdString(t)); };
  connection_->machineIdentified = [this] {
    // The settings take the identified machine's limits (the job writer and
    // the settings dialog read them).
    context_.settings().SetParam(machineContextOf(machine_.model, machine_.link, machine_.status, true));
    main_.UpdateMenuItems();
  };
  connection_->menuUpdate = [this] { main_.UpdateMenuItems(); };

  tMainWindowHooks& hooks = control_->context.mainWindow;
  hooks.statusBar = [this](int panel, const std::string& t) { main_.setStatusPanel(panel, QString::fromStdString(t)); };
  hooks.updateMenuItems = [this] { main_.UpdateMenuItems(); };
  hooks.hourglass = [](bool busy) {
    if (busy)
      QApplication::setOverrideCursor(Qt::BusyCursor);
    else
      QApplication::restoreOverrideCursor();
  };
  hooks.endOfJobSignal = [this] {
    QApplication::beep();
    main_.UpdateMenuItems();
  };
  hooks.activeProjectType = [this] {
    const ProjectWindow* w = main_.activeProjectWindow();
    return w ? w->project().ImportFileType : 0;
  };
  hooks.lastOpenedFile = [this] { return context_.configuration.globalCfg().openDir; };

  // The settings first: the connection takes its Ethernet switch from them
  // when it is created.
  takeSettings();
  tConnectionOptions options;
  options.createUsb = !sw.skipUsb;
  options.machineFilter = sw.machineFilter;
  options.machineAddress = context_.configuration.globals().machineAddress;
  options.ethernetEnabled = ethernetWanted();
  options.commandPort = ports_.command;
  options.identityPort = ports_.identity;
  options.switches = sw;
  options.programDirectory = context_.frame.programDirectory();
  bindInterface();
  connection_->FormCreate(options);
  cuttingSession_->createPanel();
  createPanelWindow();
  loadBasePoints();
  main_.setSettingsClosed([this] { takeSettings(); });
  attachCommands();
  main_.setMachineFacts([this] { return facts(); });
  main_.setCloseQuery([this] { return mayClose(); });
  main_.setProjectCloseQuery(
      [this](ProjectWindow* w) { return cuttingSession_->engraving.mayClose(w ? &w->project() : nullptr); });
}

void MachineSession::createPanelWindow() {
  jog_ = std::make_unique<tJogPanel>(connection_->ops());
  jog_->hasKnife = control_->context.settings.hasKnife;
  panelWindow_ = std::make_unique<ControlPanel>(control_->panel, context_.texts(), &main_);
  ControlPanel& w = *panelWindow_;
  // The touch layout's own pictures, when the program's folder has them.
  w.setIconFolder(
      QString::fromStdString((std::filesystem::path(context_.frame.programDirectory()) / "Ikony").string()));
  w.sliderMachine = [this] { return panel::sliderMachineOf(machine_.model, machine_.link, machine_.status.info1); };
  w.selectedSpeedSlot = [this] { return static_cast<int>(machine_.status.sel_speed); };
  w.statusPower = [this] { return static_cast<int>(machine_.status.power); };
  w.reportedFeed = [this]() -> std::int64_t {
    const tMachineOps& ops = connection_->ops();
    return ops.st.speed != 0 ? periodToSpeed(ops, ops.st.speed) : 0;
  };
  w.feedForEmptySlot = [this]() -> std::int64_t {
    return connection_->connected() ? static_cast<std::int64_t>(control_->context.settings.travelFeed) : 0;
  };
  w.unitIndex = [this] { return control_->context.settings.unitIndex; };
  w.smoothing = [this] { return control_->context.settings.smoothing; };
  connectPanelToMachine(w, connection_->ops(), *jog_, control_->context.flags);
}

void MachineSession::showPanel() {
  panelWindow_->show();
  if (!panelPlaced_) {
    // The first time at the main window's top right corner, clear of the
    // drawing's left part where projects open, and inside the screen.
    panelWindow_->adjustSize();
    QRect area = main_.geometry();
    if (const QScreen* screen = main_.screen()) area = area.intersected(screen->availableGeometry());
    const QSize size = panelWindow_->frameGeometry().size();
    panelWindow_->move(std::max(area.left(), area.right() + 1 - size.width()),
                       area.top() + std::min(60, area.height() / 10));
    panelPlaced_ = true;
  }
  panelWindow_->raise();
  panelWindow_->activateWindow();
  // The activation read the machine and asked for the panel's pace: one step
  // now shows the link and the displays without waiting for the slow pace.
  step();
}

void MachineSession::takeSettings() {
  cuttingSession_->takeSettings(controlSettingsFrom(context_.configuration));
  connection_->setEthernetEnabled(ethernetWanted());
  if (jog_) jog_->hasKnife = control_->context.settings.hasKnife;
}

bool MachineSession::ethernetWanted() const {
  return control_->context.settings.ethernetConnection && !context_.configuration.globals().machineAddress.empty();
}

void MachineSession::step() {
  // An operation waiting for the controller runs the window's events; the
  // loop must not start another exchange in the middle of it.
  // Nor may a message box shown by a step run the next step inside it.
  if (waiting() || stepping_) return;
  stepping_ = true;
  if (control_->panel.timerEnabled()) cuttingSession_->timerEvent();
  stepping_ = false;
  // The link came up (at start or after a loss): an interrupted job may be
  // taken up. Asked after the step, outside it.
  const bool up = connection_->connected();
  if (up && !linkWasUp_) QTimer::singleShot(0, &main_, [this] { offerResume(); });
  linkWasUp_ = up;
  // A connection that ended in a socket error says nothing by itself: the
  // status bar must not go on saying it is connected.
  const bool ethernet = machine_.link.ethernetActive;
  if (wasEthernet_ && !ethernet) {
    const texts::tInterfejs& t = context_.texts();
    if (main_.statusPanel(0).toStdString() == t.dajTxt("Ethernet_communication", "msgEthernetPodlaczony"))
      main_.setStatusPanel(0, QString::fromStdString(t.dajTxt("Ethernet_communication", "msgEthernetRozlaczony")));
  }
  wasEthernet_ = ethernet;
  // Hidden as well: its caption keeps telling the link's state.
  if (panelWindow_) panelWindow_->refresh();
  showJobState();
  if (intervalChanged) intervalChanged(interval());
}

tJobDisplay MachineSession::jobDisplay() const {
  tJobDisplay p;
  const tControlState& flags = control_->context.flags;
  p.active = control_->commands.jobActive();
  p.paused = flags.jobPaused;
  p.percentSent = flags.transmissionPercent;
  if (appLogs_ != nullptr) p.elapsedSeconds = appLogs_->stopwatch().Elapsed() * 86400.0;
  p.estimatedSeconds = jobEstimateSeconds_;
  return p;
}

void MachineSession::showJobState() {
  const tJobDisplay p = jobDisplay();
  // The status bar's panel is narrow: the state there, what to do on the
  // control panel and in the tip.
  const QString paused = QString::fromStdString(pausedJobText(p, context_.texts()));
  main_.showJobProgress(p, QString::fromStdString(pausedJobText(p, context_.texts(), false)), paused);
  if (panelWindow_) panelWindow_->showJobState(paused);
  followTool(p);
}

void MachineSession::followTool(const tJobDisplay& p) {
  ProjectWindow* window = main_.activeProjectWindow();
  if (window == nullptr || (!p.active && !track_->tool())) return;
  const TMDIChild& project = window->project();
  const int type = project.ImportFileType;
  const double skala = context_.settings().real("skala");
  const double scale = skala > 0 ? skala / 100 : 1;
  // A paused job's tool is parked above where it stopped: it is followed
  // there, off, so the cut does not grow.
  if (p.active) {
    const trealpoint corner{static_cast<double>(project.pp.x), static_cast<double>(project.pp.y)};
    const bool laser = machine_.model.machineParams.isLaser != 0;
    track_->follow(toolInProject(machine_.status, type, skala, corner),
                   toolCutting(machine_.status, laser, control_->context.settings.top()), fromMm(type, 0.5) / scale);
  }
  const double radius =
      context_.settings().flag("doOutline") ? fromMm(type, context_.settings().real("srednica") / 2) / scale : 0;
  window->view().setMachineTrack(track_, radius);
}

int MachineSession::interval() const { return control_->interval(); }

void MachineSession::shutdown() {
  if (!connection_) return;
  // A burn still going ends while the link is there to end it cleanly.
  cuttingSession_->engraving.stop();
  control_->panel.setTimerEnabled(false);
  control_->panel.FormDestroy();
  saveBasePoints();
  connection_->shutdown();
  // Nothing reports to the logs once the session ends.
  control_->context.onEvent = nullptr;
}

MachineFacts MachineSession::facts() const {
  MachineFacts f;
  const tControlState& flags = control_->context.flags;
  f.present = connection_->connected();
  f.transferOpen = control_->transfer.isOpen;
  f.canContinue = flags.jobPaused;
  f.jobActive = control_->commands.jobActive();
  f.notificationPending = flags.signalPending;
  const config::MachineContext& m = context_.settings().machine();
  f.isLaser = context_.settings().isLaser();
  f.headCount = m.headCount;
  f.vacuumPump = f.present && machine_.model.machineParams.vacuumPump != 0;
  f.toolMeasureMachine = f.present && isToolMeasureFamily(machine_.model) && machine_.link.firmwareAtLeast(7, 17);
  return f;
}

bool MachineSession::mayClose() {
  if (!control_->commands.mayCloseProgram()) return false;
  cuttingSession_->closingOverJob();
  return true;
}

}  // namespace trazvik::ui
