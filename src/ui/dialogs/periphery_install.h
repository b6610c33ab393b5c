// Puts the settings dialog and the periphery windows into the running
// program: the settings dialog is created once and shown by the settings
// command; the layer dialog, job information, About box and log viewer are
// made when their commands run.
#pragma once

#include "config/configuration.h"

#include <QObject>

#include <functional>

namespace trazvik::ui {

class MainWindow;
struct ProgramContext;
struct MachineInfo;
class SettingsDialog;
class HatchingDialog;

class PeripheryWindows : public QObject {
  Q_OBJECT
 public:
  // Registers the commands with the main window; lives as its child.
  PeripheryWindows(MainWindow& mainWindow, ProgramContext& context);

  SettingsDialog& settingsDialog() { return *settings_; }
  // Made once, so that its fields keep their values between uses.
  HatchingDialog& hatchingDialog() { return *hatching_; }
  // What the About box shows of the machine; set by the control side.
  std::function<MachineInfo()> machineInfo;

  void showJobInformation();
  void showAbout();
  void showLogViewer();
  // The table surfacing generator; the written program is opened as a project.
  void showTableSurfacing();
  // The hatching dialog for the active project; it is redrawn after OK.
  void hatchActiveProject();

 private:
  MainWindow& main_;
  ProgramContext& context_;
  SettingsDialog* settings_;
  HatchingDialog* hatching_;
};

}  // namespace trazvik::ui
