#include "frame/program_start.h"

#include "import/file_type.h"

#include "dialogs/multi_test_window.h"
#include "dialogs/hatching_dialog.h"
#include "dialogs/periphery_install.h"
#include "project/project_view.h"
#include "project/project_window.h"
#include "dialogs/settings_dialog.h"
#include "dialogs/window_grab.h"
#include "base/version_text.h"
#include "config/tdlgkonfig.h"
#include "frame/machine_session.h"
#include "frame/qt_message_boxes.h"
#include "link/machine_control_operations.h"
#include "project/narrow_figures.h"
#include "frame/panel_screenshots.h"
#include "panel/control_panel.h"
#include "project/tmdichild.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <filesystem>

namespace trazvik::ui {
namespace {

// Hidden: pictures of the windows into a folder, then the end.
constexpr const char* kScreenshotOption = "TrazvikScreenshots";

config::DialogSwitches dialogSwitches(const base::StartupSwitches& s) {
  config::DialogSwitches d;
  d.service = s.serviceMode;
  d.ethernet = s.ethernet;
  d.arcV = s.arcV;
  d.calib = s.calibration;
  d.touchPanel = s.touchPanel;
  return d;
}

void showStatus(texts::tInterfejs& texts, const config::ConfigStatus& status) {
  for (const std::string& e : status.errors) texts.messageBox(e, true);
}

}  // namespace

Program::Program(Options options) : options_(std::move(options)), frame_(boxes_) {
  // The job log's clock: a logged job's duration is kept up to date.
  jobTimeTimer_.setInterval(1000);
  QObject::connect(&jobTimeTimer_, &QTimer::timeout, [this] {
    if (logs_) logs_->JobTimeDisplayTimer();
  });
  monitoringTimer_.setInterval(100);
  QObject::connect(&monitoringTimer_, &QTimer::timeout, [this] {
    if (machine_) machine_->step();
    if (monitoringStep_) monitoringStep_();
    if (mainWindow_) mainWindow_->UpdateMenuItems();
  });
}

Program::~Program() {
  shutdown();
  // The boxes must not point at a window that is gone.
  boxes_.setOwner(nullptr);
}

bool Program::start() {
  QApplication::setApplicationName(base::kApplicationTitle);
  // Texts, data folder; a missing language file or folder ends the start.
  if (frame_.start(options_.setup) != app::ProgramFrame::Outcome::Ready) {
    exitCode_ = 1;
    return false;
  }
  // The logs live in the data folder; even a second copy logs its start.
  logging::LogSetup logSetup;
  logSetup.dataDirectory = frame_.dataDirectory();
  logSetup.saveLogToXml = frame_.switches().saveLogToXml;
  logSetup.jobLogging = frame_.switches().jobLogging;
  logSetup.texts = &frame_.texts();
  logSetup.boxes = &boxes_;
  logs_ = std::make_unique<logging::AppLogs>(std::move(logSetup));
  logs_->log_start_app(QCoreApplication::applicationFilePath().toStdString(), base::programVersionText());
  configuration_ = std::make_unique<config::Configuration>(frame_.dataDirectory());
  context_ = std::make_unique<ProgramContext>(ProgramContext{frame_, *configuration_, boxes_});
  mainWindow_ = std::make_unique<MainWindow>(*context_);
  boxes_.setOwner(mainWindow_.get());
  if (!frame_.applySingleInstanceRule()) {
    exitCode_ = 1;
    return false;
  }
  createWindows();
  if (options_.showWindow) {
    // Without a window manager a maximised window keeps its size: give it the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) mainWindow_->setGeometry(screen->availableGeometry());
    mainWindow_->showMaximized();
  }
  for (const std::string& path : designFilesOf(frame_.commandLine())) mainWindow_->OtworzProjekt(path);
  started_ = true;
  // Last: the monitoring of the machine.
  if (machine_) machine_->enableMonitoring(true);
  monitoringTimer_.start();
  jobTimeTimer_.start();
  if (const auto folder = frame_.commandLine().valueOption(kScreenshotOption)) {
    addScreenshots(QString::fromStdString(*folder));
    screenshots_.takeLater(QString::fromStdString(*folder), 2000);
  }
  return true;
}

// The other windows, once each and in this order: axis calibration, USB
// link, control panel, settings, Ethernet link, tool length, keypad,
// outputs; then About, move by delta, base points, job transmission, job
// information, hatching. The ones this build has are made here.
void Program::createWindows() {
  const config::MachineContext noMachineYet;
  mainWindow_->setStatusPanel(0, QString::fromStdString(frame_.texts().dajTxt("Configuration", "msgLadujeZbiorKonf")));
  showStatus(frame_.texts(), configuration_->open(noMachineYet, dialogSwitches(frame_.switches())));
  mainWindow_->setStatusPanel(0, QString());
  periphery_ = new PeripheryWindows(*mainWindow_, *context_);
  // The link reads its controller address from the settings just read.
  if (options_.connectMachine) {
    machine_ = std::make_unique<MachineSession>(*context_, *mainWindow_, options_.machinePorts, logs_.get(),
                                                options_.hidService);
    machine_->intervalChanged = [this](int ms) {
      if (monitoringTimer_.interval() != ms) monitoringTimer_.setInterval(ms);
    };
    machine_->start();
    machine_->bindSettingsDialog(periphery_->settingsDialog().hooks());
  }
  mainWindow_->applyGlobalConfiguration();
}

void Program::addScreenshots(const QString& folder) {
  // The pictures show the program once the controller answered (or, without
  // one, as the operator would see it then).
  screenshots_.add("main_window", [this]() -> QWidget* {
    if (machine_) {
      QElapsedTimer waited;
      waited.start();
      while (!machine_->facts().present && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
      mainWindow_->UpdateMenuItems();
    }
    return mainWindow_.get();
  });
  // The project in the other two views as well.
  for (const char* view : {"Kierunek", "Kolejnosc"}) {
    screenshots_.add(std::string("main_window_") + view, [this, view]() -> QWidget* {
      mainWindow_->action(view)->trigger();
      return mainWindow_.get();
    });
  }
  screenshots_.add("settings_dialog", [this]() -> QWidget* {
    SettingsDialog& dialog = periphery_->settingsDialog();
    dialog.activateSettings();
    dialog.show();
    return &dialog;
  });
  screenshots_.add("settings_pages", [this, folder]() -> QWidget* {
    SettingsDialog& dialog = periphery_->settingsDialog();
    grabSettingsDialogPages(dialog, QDir(folder).filePath("settings"));
    dialog.hide();
    return nullptr;
  });
  // The control panel after a few monitoring steps.
  screenshots_.add("control_panel", [this]() -> QWidget* {
    if (!machine_) return nullptr;
    machine_->showPanel();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 1000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return &machine_->panelWindow();
  });
  if (machine_) addPanelScreenshots(screenshots_, *machine_);
  addJobScreenshots(folder);
  // Service mode: the cutting menu with the multi-project tests, and their
  // window over a folder of the samples.
  screenshots_.add("cutting_menu", [this]() -> QWidget* {
    QMenu* menu = mainWindow_->menu("Cicie1");
    if (menu == nullptr || !mainWindow_->action("miMultiTesty")->isVisible()) return nullptr;
    menu->popup(mainWindow_->mapToGlobal(QPoint(40, 40)));
    return menu;
  });
  screenshots_.add("multi_test_window", [this, folder]() -> QWidget* {
    if (QMenu* menu = mainWindow_->menu("Cicie1")) menu->hide();
    if (!machine_ || !mainWindow_->action("miMultiTesty")->isVisible()) return nullptr;
    const std::filesystem::path set = std::filesystem::path(frame_.dataDirectory()) / "MultiTest";
    std::error_code ec;
    std::filesystem::create_directories(set, ec);
    const std::vector<std::string> files = designFilesOf(frame_.commandLine());
    const std::filesystem::path samples = std::filesystem::path(files.empty() ? "" : files[0]).parent_path();
    for (const char* f : {"star.plt", "plate.dxf", "pocket.nc"})
      std::filesystem::copy_file(samples / f, set / f, std::filesystem::copy_options::overwrite_existing, ec);
    std::filesystem::copy_file(configuration_->settingsFile(), set / "MultiTest.mcc",
                               std::filesystem::copy_options::overwrite_existing, ec);
    mainWindow_->action("miMultiTesty")->trigger();
    auto* window = mainWindow_->findChild<MultiTestWindow*>("dlgMultiTestList");
    if (window == nullptr) return nullptr;
    window->chooseFolder = [set](const std::string&) { return set.string(); };
    if (auto* choose = window->findChild<QPushButton*>("btnWybierzFolder")) choose->click();
    return window;
  });
  // The hatching dialog over the project, and the project hatched with it.
  screenshots_.add("hatching_dialog", [this]() -> QWidget* {
    HatchingDialog& dialog = periphery_->hatchingDialog();
    tUstawieniaKreskowania fields;
    fields.Odstep = 2;
    fields.Kat = 30;
    fields.kreskiDwukierunkowo = true;
    dialog.setFields(fields);
    dialog.show();
    return &dialog;
  });
  screenshots_.add("main_window_hatched", [this]() -> QWidget* {
    HatchingDialog& dialog = periphery_->hatchingDialog();
    dialog.hide();
    ProjectWindow* window = mainWindow_->activeProjectWindow();
    if (window == nullptr) return nullptr;
    std::string error;
    if (!zakreskujProjekt(window->project(), dialog.fields(), context_->settings().isLaser(), error)) return nullptr;
    mainWindow_->action("Kolejnosc")->trigger();
    window->refresh();
    return mainWindow_.get();
  });
  // A bitmap project: the picture at its engraved size, the burn command
  // in the cutting menu.
  screenshots_.add("main_window_bitmap", [this]() -> QWidget* {
    const std::vector<std::string> files = designFilesOf(frame_.commandLine());
    if (files.empty()) return nullptr;
    const std::filesystem::path picture = std::filesystem::path(files[0]).parent_path() / "picture.bmp";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(picture, ec)) return nullptr;
    ProjectWindow* window = mainWindow_->OtworzProjekt(picture.string());
    if (window == nullptr) return nullptr;
    mainWindow_->UpdateMenuItems();
    return mainWindow_.get();
  });
}

// The operator's view of a job: the settings dialog opened while the panel
// is up, a job in progress (progress bar, time left, the tool drawn over
// the plan), the job paused, and the figures a too wide tool cannot cut.
void Program::addJobScreenshots(const QString& folder) {
  const auto wait = [](int ms, const std::function<bool()>& done = {}) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms && !(done && done())) QApplication::processEvents(QEventLoop::AllEvents, 50);
  };
  const auto grabScreen = [folder](const char* name) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
      screen->grabWindow(0).save(QDir(folder).filePath(QString(name) + ".png"));
  };
  screenshots_.add("settings_over_panel", [this, wait, grabScreen]() -> QWidget* {
    if (!machine_) return nullptr;
    machine_->showPanel();
    SettingsDialog& dialog = periphery_->settingsDialog();
    dialog.activateSettings();
    dialog.show();
    dialog.raise();
    wait(500);
    grabScreen("settings_over_panel");
    dialog.hide();
    return nullptr;
  });
  screenshots_.add("job_in_progress", [this, wait]() -> QWidget* {
    if (!machine_ || mainWindow_->activeProjectWindow() == nullptr) return nullptr;
    // A work zero with room for the tool and a Z zero above the material,
    // as an operator sets them before the first job.
    tMachineOps& ops = machine_->connection().ops();
    ops.st.pos0.x = 2000;
    ops.st.pos0.y = 2000;
    ops.st.pos0.z = 6000;
    setWorkZeroXY(ops);
    setWorkZeroZ(ops);
    mainWindow_->action("Kolejnosc")->trigger();
    mainWindow_->action("Start1")->trigger();
    // Until the tool has cut a piece or two, so the picture shows it.
    wait(40000, [this] {
      ProjectWindow* window = mainWindow_->activeProjectWindow();
      return window != nullptr && window->view().machineCutPieces() >= 2;
    });
    return mainWindow_.get();
  });
  screenshots_.add("job_paused", [this, wait]() -> QWidget* {
    if (!machine_ || !machine_->control().commands.jobActive()) return nullptr;
    mainWindow_->action("Wstrzymaj1")->trigger();
    wait(3000);
    return mainWindow_.get();
  });
  screenshots_.add("control_panel_paused", [this]() -> QWidget* {
    if (!machine_ || !machine_->control().context.flags.jobPaused) return nullptr;
    machine_->showPanel();
    return &machine_->panelWindow();
  });
  // A 10 mm cutter over the sample's 7 mm holes.
  screenshots_.add("narrow_figures", [this]() -> QWidget* {
    ProjectWindow* window = mainWindow_->activeProjectWindow();
    if (window == nullptr) return nullptr;
    if (machine_) machine_->panelWindow().hide();
    TDlgkonfig& settings = context_->settings();
    settings.set("doOutline", true);
    settings.set("srednica", 10.0);
    window->project().AddOutline();
    window->refresh();
    return mainWindow_.get();
  });
  screenshots_.add("narrow_figures_warning", [this]() -> QWidget* {
    ProjectWindow* window = mainWindow_->activeProjectWindow();
    if (window == nullptr) return nullptr;
    const texts::tInterfejs& t = frame_.texts();
    const std::string text = opisFigurWezszych(window->project(), t);
    if (text.empty()) return nullptr;
    auto* box = new QMessageBox(QMessageBox::Information,
                                QString::fromStdString(t.dajTxt("Project_window", "msgOstrzezeniaWczytaniaTytul")),
                                dialogText(text), QMessageBox::Ok, mainWindow_.get());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    return box;
  });
}

int Program::run() {
  const int result = QApplication::exec();
  shutdown();
  return result;
}

void Program::shutdown() {
  if (shutDown_ || !configuration_) return;
  shutDown_ = true;
  monitoringTimer_.stop();
  jobTimeTimer_.stop();
  if (machine_) machine_->shutdown();
  // Project windows go before the settings they read.
  if (mainWindow_) mainWindow_->mdiArea().closeAllSubWindows();
  showStatus(frame_.texts(), configuration_->save_global());
  if (started_ && logs_) logs_->log_end_app();
}

std::vector<std::string> Program::designFilesOf(const base::CommandLine& commandLine) {
  std::vector<std::string> files;
  for (const std::string& a : commandLine.arguments()) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(a, ec)) continue;
    // Only known extensions: other arguments that name files are not
    // design files to open (the open command itself also takes others by
    // their content).
    if (import::fileTypeFromExtension(a) != 0) files.push_back(a);
  }
  return files;
}

}  // namespace trazvik::ui
