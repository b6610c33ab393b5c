#include "dialogs/periphery_install.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include "dialogs/hatching_dialog.h"
#include "dialogs/info_windows.h"
#include "dialogs/layer_dialog.h"
#include "dialogs/settings_dialog.h"
#include "dialogs/surfacing_dialog.h"
#include "frame/main_window.h"
#include "frame/program_context.h"
#include "project/project_window.h"

namespace trazvik::ui {

PeripheryWindows::PeripheryWindows(MainWindow& mainWindow, ProgramContext& context)
    : QObject(&mainWindow),
      main_(mainWindow),
      context_(context),
      settings_(new SettingsDialog(context.configuration, context.texts(), &mainWindow)),
      hatching_(new HatchingDialog(context.texts(), &mainWindow)) {
  main_.setSettingsDialog([this] { settings_->exec(); });
  main_.setLayerDialog([this](ProjectWindow& window) {
    TMDIChild& project = window.project();
    if (!project.warstwy) return;
    const TDlgkonfig& s = context_.settings();
    LayerDialogOptions options;
    options.laser = s.isLaser();
    options.headCount = s.machine().headCount;
    options.unitIndex = s.unitIndex();
    options.pominRamke = s.flag("bezramki");
    options.touchPanel = s.switches().touchPanel;
    LayerDialog dialog(*project.warstwy, context_.texts(), options, &main_);
    if (dialog.exec() == QDialog::Accepted) project.OdswiezAktywnoscWarstw();
  });
  main_.setCommand("info", [this] { showJobInformation(); });
  main_.setCommand("About1", [this] { showAbout(); });
  main_.setCommand("miPodgladDziennikow", [this] { showLogViewer(); });
  main_.setCommand("mPlanowanieStolu", [this] { showTableSurfacing(); });
  main_.setCommand("mKreskowanie", [this] { hatchActiveProject(); });
}

void PeripheryWindows::hatchActiveProject() {
  ProjectWindow* window = main_.activeProjectWindow();
  if (window == nullptr) return;
  if (hatching_->hatch(window->project(), context_.settings().isLaser())) window->refresh();
}

void PeripheryWindows::showTableSurfacing() {
  SurfacingDialog dialog(context_.texts(), context_.settings().unitIndex(), &main_);
  if (dialog.exec() == QDialog::Accepted && dialog.written()) main_.OtworzProjekt(dialog.path());
}

void PeripheryWindows::showJobInformation() {
  ProjectWindow* window = main_.activeProjectWindow();
  if (window == nullptr) return;
  const InfoRows rows = jobInfoRows(window->project(), context_.texts(), context_.settings().unitIndex(),
                                    context_.configuration.settingsFile());
  InfoWindow info(QString::fromStdString(context_.texts().dajTxt("Info", "form.caption")), rows, &main_);
  info.exec();
}

void PeripheryWindows::showAbout() {
  const MachineInfo machine = machineInfo ? machineInfo() : MachineInfo{};
  InfoWindow about(QString::fromStdString(context_.texts().dajTxt("About", "form.caption")),
                   aboutRows(machine, context_.texts()), &main_);
  about.exec();
}

void PeripheryWindows::showLogViewer() {
  LogViewer viewer(QString::fromStdString(context_.frame.dataDirectory() + "Logs"), context_.texts(), &main_);
  viewer.exec();
}

}  // namespace trazvik::ui
