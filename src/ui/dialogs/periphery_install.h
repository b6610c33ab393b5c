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

class PeripheryWindows : public QObject {
  Q_OBJECT
 public:
  // Registers the commands with the main window; lives as its child.
  PeripheryWindows(MainWindow& mainWindow, ProgramContext& context);

  SettingsDialog& settingsDialog() { return *settings_; }
  // What the About box shows of the machine; set by the control side.
  std::function<MachineInfo()> machineInfo;

  void showJobInformation();
  void showAbout();
  void showLogViewer();
  // The table surfacing generator; the written program is opened as a project.
  void showTableSurfacing();

 private:
  MainWindow& main_;
  ProgramContext& context_;
  SettingsDialog* settings_;
};

}  // namespace trazvik::ui
