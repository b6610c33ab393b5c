// The settings dialog TDlgkonfig as a window: one tab page per catalogue
// tab, one control per setting named by it, captions from the interface
// texts, and the enabling, visibility, limits and units the settings model
// decides. OK, "Cancel", "Zapis" and "Odczyt" go through the configuration's
// file handling; the controller actions through hooks that the program
// wires to the link.
#pragma once

#include "config/configuration.h"

#include <QDialog>
#include <QMap>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>

class QGridLayout;
class QHBoxLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik::ui {

class SettingsBinder;

// What the dialog needs from the rest of the program. Every hook may stay
// unset: the file dialogs then use Qt's, the controller actions behave as
// without a link.
struct SettingsDialogHooks {
  // The chosen path, or nothing when the operator cancels.
  std::function<std::optional<std::string>(const std::string& folder)> askSavePath;
  std::function<std::optional<std::string>(const std::string& folder)> askOpenPath;
  // True while the USB controller is present.
  std::function<bool()> usbPresent;
  // Sends one command to the controller (sendCommand).
  std::function<void(const std::string& command)> sendCommand;
  // Restarts the Ethernet link after the address was programmed.
  std::function<void()> restartEthernet;
  // Refreshed absolute X and Y position in hundredths of a millimetre.
  std::function<std::optional<std::pair<double, double>>()> currentPosition;
  // The machine type's ramp step and the controller's identification text.
  std::function<std::pair<int, std::string>()> defaultAcceleration;
  // Sends the acceleration command with this value and keeps it as the ramp
  // step; false when no controller could be reached (nothing was sent).
  std::function<bool(int)> setAcceleration;
  // The current ramp step of the machine type.
  std::function<int()> currentRampStep;
  // Sends the Y2 offset of a two-head drill (millimetres).
  std::function<void(double)> sendY2Offset;
  // Opens the axis calibration window; afterwards the factors are shown.
  std::function<void()> calibrate;
  std::function<std::array<double, 3>()> calibrationFactors;
};

class SettingsDialog : public QDialog {
  Q_OBJECT
 public:
  SettingsDialog(config::Configuration& configuration, const texts::tInterfejs& texts, QWidget* parent = nullptr,
                 SettingsDialogHooks hooks = {});

  SettingsDialogHooks& hooks() { return hooks_; }
  TDlgkonfig& settings() { return configuration_.settings(); }

  // What the dialog does each time it is shown: machine limits and rules
  // applied, every control refreshed. Also run by showEvent.
  void activateSettings();
  // Copies every value and the enabling, visibility, captions and units
  // from the settings into the widgets.
  void refreshAll();

  // The dialog's buttons (also reachable by their object names).
  void okClicked();
  void cancelClicked();
  void zapisClicked();
  void odczytClicked();

  QTabWidget* tabs() const { return tabs_; }

  // "Cancel" and Escape: every change since the last save is undone by
  // reading the current settings file again.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void build();
  QWidget* buildTab(const config::TabDef& tab);
  void addSetting(const config::SettingDef& def, QGridLayout* grid, int& row);
  QGridLayout* containerFor(const config::SettingDef& def, QWidget* page, QGridLayout* pageGrid, int& pageRow);
  void addExtras();
  void addActions();
  void connectActions();
  void refreshRules();
  void refreshCaptions();
  void showStatus(const config::ConfigStatus& status);

  // Actions of the tabs.
  void programAddress();
  void takeCurrentPosition();
  void restoreDefaultAcceleration();
  void setAcceleration();
  void setAccelerationOfType();
  void calibrate();
  void sendY2Offset();
  void showCalibrationFactors();

  config::Configuration& configuration_;
  const texts::tInterfejs& texts_;
  void showSettingsFileInTitle();
  SettingsDialogHooks hooks_;
  SettingsBinder* binder_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QMap<QString, QGroupBox*> groups_;
  QMap<QString, QGridLayout*> groupGrids_;
  QMap<QString, int> groupRows_;
  QMap<QString, QLabel*> captionLabels_;  // setting name -> its caption label
  QMap<QString, QLabel*> unitLabels_;     // setting name -> its unit label
  QMap<QString, QPushButton*> actions_;
  QHBoxLayout* addressLine_ = nullptr;
  QLineEdit* machineTypeText_ = nullptr;
  std::array<QLineEdit*, 3> calibrationTexts_{};
};

}  // namespace trazvik::ui
