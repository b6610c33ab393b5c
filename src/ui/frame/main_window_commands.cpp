#include "app/settings_change.h"
#include "frame/main_window.h"
#include "frame/qt_texts.h"
#include "project/project_loader.h"
#include "project/project_window.h"

#include <QStatusBar>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>
#include <QUrl>

#include <filesystem>

namespace trazvik::ui {
namespace {

constexpr const char* kMainSection = "Main_window";

// Commands another window provides; disabled until it is attached.
constexpr const char* kAttachedCommands[] = {"info",
                                             "About1",
                                             "miPodgladDziennikow",
                                             "sterowanie",
                                             "mKreskowanie",
                                             "mPlanowanieStolu",
                                             "miMultiTesty",
                                             "sWylaczPowiadomienia",
                                             "sbPomiarNarzedzia",
                                             "miZalaczPompeProzniowa",
                                             "miWylaczPompeProzniowa",
                                             "Zapistestowy1",
                                             "Start1",
                                             "Kontynuacja1",
                                             "Powtrz1",
                                             "Wstrzymaj1",
                                             "miZatrzymajZadanie",
                                             "Tnijwybran1",
                                             "Startodwybranej1",
                                             "Tnijwybranewarstwy1",
                                             "WypalBMP1"};

// The toolbar buttons that share a menu item's command.
constexpr std::pair<const char*, const char*> kSameCommand[] = {
    {"SpeedStart", "Start1"}, {"SpeedStop", "Wstrzymaj1"}, {"Skont", "Kontynuacja1"}};

bool fileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

void MainWindow::connectCommands() {
  auto on = [this](const char* name, auto handler) { connect(actions_.at(name), &QAction::triggered, this, handler); };
  on("FileOpenItem", [this] { openClicked(); });
  on("OpenBtn", [this] { openClicked(); });
  on("FileCloseItem", [this] { mdi_->closeActiveSubWindow(); });
  on("FileExitItem", [this] { close(); });
  for (const char* name : {"Symulacja", "SpeedSymulacja"})
    on(name, [this] {
      if (ProjectWindow* w = activeProjectWindow()) w->view().startSimulation();
    });
  on("Kierunek", [this] { chooseView(ViewOptions::Mode::Direction); });
  on("Kolejnosc", [this] { chooseView(ViewOptions::Mode::Order); });
  on("Warstwy", [this] { chooseView(ViewOptions::Mode::Layers); });
  on("Punktywej", [this] { toggleEntryPoints(); });
  on("mKonfigGlowna", [this] { KonfiguracjaClick(); });
  on("mWarstwy", [this] { showLayerDialog(); });
  on("WindowCascadeItem", [this] { mdi_->cascadeSubWindows(); });
  on("WindowTileItem", [this] { mdi_->tileSubWindows(); });
  on("CloseAll", [this] { closeAllProjects(); });
  on("mInstrukcjaLaser", [this] { openManual(app::kManualLaser); });
  on("mInstrukcjaFrezarka", [this] { openManual(app::kManualMill); });
  on("mPobierzNajnowszaWersje", [this] { openDownloadPage(); });
  on("miOtworzFolderPlikowZadan", [this] { openDataFolder(); });
  on("sbZoomToFit", [this] { setZoom(app::kZoomMin); });
  on("sbZoomOut", [this] { setZoom(app::zoomOut(zoom_->value())); });
  on("sbZoomIn", [this] { setZoom(app::zoomIn(zoom_->value())); });
  connect(zoom_, &QSlider::valueChanged, this, &MainWindow::zoomSliderMoved);

  for (const char* name : kAttachedCommands) {
    on(name, [this, name] {
      if (hasCommand(name)) commands_.at(name)();
    });
  }
  for (const auto& [button, item] : kSameCommand) {
    on(button, [this, item = item] {
      if (hasCommand(item)) commands_.at(item)();
    });
  }

  const std::string& dir = context_.frame.programDirectory();
  const std::string& code = context_.texts().skrotJez();
  laserManual_ = app::manualFile(dir, app::kManualLaser, code, fileExists);
  millManual_ = app::manualFile(dir, app::kManualMill, code, fileExists);
}

app::tStanGlownegoOkna MainWindow::currentState() const {
  const MachineFacts m = machineFacts_ ? machineFacts_() : MachineFacts{};
  const base::StartupSwitches& sw = context_.switches();
  app::tStanGlownegoOkna s;
  const auto windows = projectWindows();
  s.projectCount = static_cast<int>(windows.size());
  if (const ProjectWindow* w = activeProjectWindow()) {
    s.activeFileType = w->project().ImportFileType;
    s.activeZoom = w->project().zoomSkala;
    s.activeMultiLayer = w->project().otwarto_jako_wielowarstwowy;
  } else if (!windows.empty()) {
    // The frame itself is active (a dialog has the focus): the top window counts.
    s.activeFileType = windows.back()->project().ImportFileType;
  }
  s.machine = m.present;
  s.canContinue = m.canContinue;
  s.jobActive = m.jobActive;
  s.multiLayerSetting = context_.settings().integer("ProjektType") == 1;
  s.serviceMode = sw.serviceMode;
  s.saveLogToXml = sw.saveLogToXml;
  s.jobLogging = sw.jobLogging;
  s.toolMeasureMachine = m.toolMeasureMachine;
  s.headCount = m.headCount;
  s.vacuumPump = m.vacuumPump;
  s.notificationPending = m.notificationPending;
  s.laserManual = !laserManual_.empty();
  s.millManual = !millManual_.empty();
  // Each cutting command is usable once the control side attached it.
  s.cuttingAvailable = true;
  return s;
}

void MainWindow::UpdateMenuItems() {
  if (zoom_ == nullptr) return;  // still being built
  const auto rules = app::UpdateMenuItems(currentState());
  const QString unavailable = qs(context_.texts().dajTxt(kMainSection, "msgPolecenieNiedostepne"));
  for (auto& [name, a] : actions_) {
    app::tStanKontrolki st;
    if (const auto it = rules.find(name); it != rules.end()) st = it->second;
    bool missing = false;
    for (const char* attached : kAttachedCommands) missing = missing || (name == attached && !hasCommand(name));
    for (const auto& [button, item] : kSameCommand) missing = missing || (name == button && !hasCommand(item));
    if ((name == "mKonfigGlowna" && !settingsDialog_) || (name == "mWarstwy" && !layerDialog_)) missing = true;
    a->setEnabled(st.enabled && !missing);
    a->setVisible(st.visible);
    if (missing)
      a->setStatusTip(unavailable);
    else if (a->statusTip() == unavailable)
      a->setStatusTip(QString());
  }
  for (auto& [name, m] : menus_) {
    if (const auto it = rules.find(name); it != rules.end()) {
      m->menuAction()->setEnabled(it->second.enabled);
      m->menuAction()->setVisible(it->second.visible);
    }
  }
  zoom_->setEnabled(actions_.at("tbZoom")->isEnabled());
}

ProjectWindow* MainWindow::activeProjectWindow() const {
  QMdiSubWindow* sub = mdi_->activeSubWindow();
  if (sub == nullptr) sub = mdi_->currentSubWindow();
  return sub ? qobject_cast<ProjectWindow*>(sub->widget()) : nullptr;
}

std::vector<ProjectWindow*> MainWindow::projectWindows() const {
  std::vector<ProjectWindow*> windows;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
    if (auto* w = qobject_cast<ProjectWindow*>(sub->widget())) windows.push_back(w);
  return windows;
}

void MainWindow::openClicked() { OtworzProjekt(); }

ProjectWindow* MainWindow::OtworzProjekt(const std::string& path) {
  config::GlobalCfg& g = context_.configuration.globalCfg();
  std::string chosen = path;
  if (chosen.empty()) {
    const MachineFacts m = machineFacts_ ? machineFacts_() : MachineFacts{};
    const QString filter = qtFileFilter(filtrOtwierania(m.isLaser || context_.settings().isLaser(), context_.texts()));
    const QStringList filters = filter.split(";;");
    QString selected = filters.value(std::max(0, g.openFilterIndex - 1), filters.value(0));
    chosen = QFileDialog::getOpenFileName(this, QString(), QString::fromStdString(g.openDir), filter, &selected)
                 .toStdString();
    if (chosen.empty()) {
      UpdateMenuItems();
      return nullptr;
    }
    g.openFilterIndex = static_cast<std::int32_t>(filters.indexOf(selected)) + 1;
  }
  // The loading shows its steps in the first panel and clears it at its
  // end; what the panel told before (the link) is told again afterwards.
  const QString before = statusPanel(0);
  std::unique_ptr<TMDIChild> project =
      loadProjectWithProgress(chosen, context_.settings(), context_.texts(), context_.switches().spline, &g.openDir,
                              this, [this](const QString& t) { setStatusPanel(0, t); });
  if (statusPanel(0).isEmpty()) setStatusPanel(0, before);
  if (!project) {
    UpdateMenuItems();
    return nullptr;
  }
  ProjectWindow::Commands commands;
  commands.info = [this](ProjectWindow& w) {
    if (QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(w.parentWidget())) mdi_->setActiveSubWindow(sub);
    if (hasCommand("info")) commands_.at("info")();
  };
  if (layerDialog_) commands.layers = layerDialog_;
  commands.serviceMode = context_.switches().serviceMode;
  commands.mayClose = [this](ProjectWindow& w) { return !projectCloseQuery_ || projectCloseQuery_(&w); };
  auto* window = new ProjectWindow(std::move(project), std::move(commands));
  addProjectWindow(window);
  // Over the window just shown, so the operator sees what the warnings are about.
  pokazOstrzezeniaWczytania(window->project(), context_.texts());
  return window;
}

void MainWindow::addProjectWindow(ProjectWindow* window) {
  QMdiSubWindow* sub = mdi_->addSubWindow(window);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  const QString caption = actions_
                              .at(viewOptions_.mode == ViewOptions::Mode::Direction ? "Kierunek"
                                  : viewOptions_.mode == ViewOptions::Mode::Order   ? "Kolejnosc"
                                                                                    : "Warstwy")
                              ->text();
  window->setViewOptions(viewOptions_, caption);
  connect(window, &ProjectWindow::zoomChanged, this, [this, window](int level) {
    if (activeProjectWindow() != window) return;
    zoomFromWindow_ = true;
    zoom_->setValue(level);
    zoomFromWindow_ = false;
    UpdateMenuItems();
  });
  connect(sub, &QObject::destroyed, this, [this] {
    if (destroying_) return;
    // The last window gone: the zoom goes back to the whole project.
    if (projectWindows().empty()) {
      zoomFromWindow_ = true;
      zoom_->setValue(app::kZoomMin);
      zoomFromWindow_ = false;
    }
    UpdateMenuItems();
  });
  // Each new window a step below and right of the one before, inside the area.
  const QSize area = mdi_->viewport()->size();
  const QSize size(std::max(400, area.width() * 3 / 4), std::max(300, area.height() * 3 / 4));
  const int step = 28 * (static_cast<int>(projectWindows().size()) - 1);
  const int room = std::max(1, std::min(area.width() - size.width(), area.height() - size.height()));
  sub->resize(size);
  sub->move(step % room, step % room);
  sub->show();
  mdi_->setActiveSubWindow(sub);
  activeWindowChanged();
}

void MainWindow::activeWindowChanged() {
  if (ProjectWindow* w = activeProjectWindow()) {
    zoomFromWindow_ = true;
    zoom_->setValue(w->project().zoomSkala);
    zoomFromWindow_ = false;
  }
  UpdateMenuItems();
}

void MainWindow::setZoom(int level) { zoom_->setValue(level); }

void MainWindow::zoomSliderMoved(int level) {
  if (zoomFromWindow_) return;
  if (ProjectWindow* w = activeProjectWindow()) w->view().setZoomLevel(level);
  UpdateMenuItems();
}

void MainWindow::chooseView(ViewOptions::Mode mode) {
  viewOptions_.mode = mode;
  applyViewOptions();
}

void MainWindow::toggleEntryPoints() {
  viewOptions_.entryPoints = actions_.at("Punktywej")->isChecked();
  applyViewOptions();
}

void MainWindow::applyViewOptions() {
  config::GlobalCfg& g = context_.configuration.globalCfg();
  g.viewDirection = viewOptions_.mode == ViewOptions::Mode::Direction;
  g.viewOrder = viewOptions_.mode == ViewOptions::Mode::Order;
  g.viewLayers = viewOptions_.mode == ViewOptions::Mode::Layers;
  g.viewEntryPoints = viewOptions_.entryPoints;
  const char* chosen = g.viewDirection ? "Kierunek" : g.viewOrder ? "Kolejnosc" : "Warstwy";
  const QString caption = actions_.at(chosen)->text();
  for (ProjectWindow* w : projectWindows()) w->setViewOptions(viewOptions_, caption);
}

void MainWindow::closeAllProjects() {
  auto windows = mdi_->subWindowList(QMdiArea::CreationOrder);
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    if (!(*it)->close()) continue;  // the operator kept it
    delete *it;                     // at once, so the reopened projects of a type change follow cleanly
  }
  UpdateMenuItems();
}

void MainWindow::setStatusColour(const QString& colour) {
  statusBar()->setStyleSheet(colour.isEmpty() ? QString() : "QStatusBar { background: " + colour + "; }");
}

void MainWindow::KonfiguracjaClick() {
  if (!settingsDialog_) return;
  TDlgkonfig& settings = context_.settings();
  settings.wazna_zmiana = false;
  const int oldType = settings.integer("ProjektType");
  settingsDialog_();
  if (settingsClosed_) settingsClosed_();
  std::vector<TMDIChild*> projects;
  for (ProjectWindow* w : projectWindows()) projects.push_back(&w->project());
  const app::tPoZmianieUstawien result = app::KonfiguracjaPoZamknieciu(projects, oldType, context_.texts());
  switch (result.projekty) {
    case app::tPoZmianieUstawien::Projekty::Zostaja:
      for (ProjectWindow* w : projectWindows()) w->refresh();
      break;
    case app::tPoZmianieUstawien::Projekty::ZamknijWszystkie: closeAllProjects(); break;
    case app::tPoZmianieUstawien::Projekty::OtworzPonownie:
      closeAllProjects();
      for (const std::string& path : result.sciezki) OtworzProjekt(path);
      break;
  }
  UpdateMenuItems();
}

void MainWindow::showLayerDialog() {
  ProjectWindow* w = activeProjectWindow();
  if (w == nullptr || !layerDialog_) return;
  if (!w->project().otwarto_jako_wielowarstwowy) {
    context_.texts().messageBox(context_.texts().dajTxt(kMainSection, "msgOperacjaDostepnaDlaPrjWarstwowego"), true);
    return;
  }
  layerDialog_(*w);
  w->refresh();
}

void MainWindow::openManual(const char* key) {
  const texts::tInterfejs& t = context_.texts();
  const std::string path = app::manualFile(context_.frame.programDirectory(), key, t.skrotJez(), fileExists);
  if (path.empty()) {
    const std::string expected =
        context_.frame.programDirectory() + "Trazvik_" + key + "_manual_" + t.skrotJez() + ".pdf";
    t.messageBox(t.dajTxt(kMainSection, "msgBrakPlikuInstrukcji") + "\r\n" + expected, true);
    return;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
    t.messageBox(t.dajTxt(kMainSection, "msgBrakAcrobatReadera"), true);
}

void MainWindow::openDataFolder() {
  const std::string& folder = context_.frame.dataDirectory();
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder))))
    context_.texts().messageBox(folder, true, context_.texts().dajTxt(kMainSection, "msgNieMoznaOtworzycZbioru"));
}

void MainWindow::openDownloadPage() {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(app::downloadPage(context_.texts().skrotJez()))));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The query tells the operator why it refuses (it asks about a job).
  if (mayClose_ && !mayClose_()) {
    event->ignore();
    return;
  }
  if (projectCloseQuery_ && !projectCloseQuery_(nullptr)) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace trazvik::ui
