#include "dialogs/settings_dialog.h"

#include <filesystem>
#include "texts/interfejs.h"

#include "dialogs/clickable_label.h"
#include "dialogs/radio_group_box.h"
#include "dialogs/settings_binder.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QTabWidget>

namespace trazvik::ui {

using config::SettingDef;
using config::SettingKind;

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

std::string folderOf(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).absolutePath().toStdString();
}

std::string withoutSpaces(std::string text) {
  std::erase(text, ' ');
  return text;
}

}  // namespace

SettingsDialog::SettingsDialog(config::Configuration& configuration, const texts::tInterfejs& texts, QWidget* parent,
                               SettingsDialogHooks hooks)
    : QDialog(parent), configuration_(configuration), texts_(texts), hooks_(std::move(hooks)) {
  setModal(true);
  build();
  refreshAll();
}

void SettingsDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) activateSettings();
  QDialog::showEvent(event);
}

void SettingsDialog::activateSettings() {
  settings().activate();
  showCalibrationFactors();
  refreshAll();
}

void SettingsDialog::refreshAll() {
  binder_->refresh();
  refreshCaptions();
  refreshRules();
  showSettingsFileInTitle();
}

void SettingsDialog::showSettingsFileInTitle() {
  // "Settings - job.mcc (/folder)": what the window is, then which file.
  const std::filesystem::path file(configuration_.settingsFile());
  QString caption = QString::fromStdString(texts_.dajTxt("Main_window_menu", "Konfiguracja.caption")).remove('&');
  setWindowTitle(caption + " - " + QString::fromStdString(file.filename().string()) + "  (" +
                 QString::fromStdString(file.parent_path().string()) + ")");
}

void SettingsDialog::refreshCaptions() {
  const bool laser = settings().isLaser();
  for (int i = 0; i < tabs_->count(); ++i) {
    const config::TabDef& tab = config::settingTabs()[std::size_t(i)];
    QString caption;
    if (laser && !tab.laserCaptionKey.empty())
      caption = QString::fromStdString(texts_.dajTxt(std::string("Configuration"), std::string(tab.laserCaptionKey)));
    else if (tab.captionIsLiteral)
      caption = qs(tab.captionKey);
    else
      caption = QString::fromStdString(texts_.dajTxt(std::string("Configuration"), std::string(tab.captionKey)));
    tabs_->setTabText(i, caption);
  }
  for (const SettingDef& def : config::settingCatalogue()) {
    const QString name = qs(def.name);
    const QString caption = QString::fromStdString(
        texts_.dajTxt(std::string("Configuration"), std::string(settings().captionKey(def.name))));
    if (QLabel* label = captionLabels_.value(name)) label->setText(caption);
    QWidget* widget = findChild<QWidget*>(name);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(caption);
    if (auto* group = qobject_cast<RadioGroupBox*>(widget)) {
      group->setTitle(caption);
      for (std::size_t i = 0; i < def.choices.size(); ++i) {
        group->setItemText(int(i), def.choicesLiteral
                                       ? qs(def.choices[i])
                                       : QString::fromStdString(
                                             texts_.dajTxt(std::string("Configuration"), std::string(def.choices[i]))));
      }
    }
  }
  for (const config::GroupDef& group : config::settingGroups()) {
    QGroupBox* box = groups_.value(qs(group.name));
    if (box != nullptr && !group.captionKey.empty()) {
      box->setTitle(QString::fromStdString(texts_.dajTxt(std::string("Configuration"), std::string(group.captionKey))));
    }
  }
  if (QGroupBox* box = groups_.value("gbPoZakonczeniu"))
    box->setTitle(QString::fromStdString(texts_.dajTxt("Configuration", "gbPoZakonczeniu.Caption")));
  if (auto* slow = findChild<QLabel*>("lRuchNaLukachPowolny"))
    slow->setText(QString::fromStdString(texts_.dajTxt("Configuration", "lRuchNaLukachPowolny.Caption")));
  if (auto* fast = findChild<QLabel*>("lRuchNaLukachPrzyspieszony"))
    fast->setText(QString::fromStdString(texts_.dajTxt("Configuration", "lRuchNaLukachPrzyspieszony.Caption")));
}

// Enabling, visibility, unit labels and hints as the settings decide them;
// a greyed control tells why in its tip where the reason is known.
void SettingsDialog::refreshRules() {
  const TDlgkonfig& s = settings();
  const auto configurationText = [this](std::string_view key) {
    return key.empty() ? QString()
                       : QString::fromStdString(texts_.dajTxt(std::string("Configuration"), std::string(key)));
  };
  for (const SettingDef& def : config::settingCatalogue()) {
    const QString name = qs(def.name);
    const bool visible = s.isVisible(def.name);
    const bool enabled = s.isEnabled(def.name);
    const QString reason = enabled ? QString() : configurationText(s.disabledReasonKey(def.name));
    QList<QWidget*> parts{findChild<QWidget*>(name), captionLabels_.value(name), unitLabels_.value(name)};
    for (QWidget* part : parts) {
      if (part == nullptr) continue;
      part->setVisible(visible);
      part->setEnabled(enabled);
      part->setToolTip(reason);
    }
    if (QLabel* unit = unitLabels_.value(name)) unit->setText(QString::fromStdString(s.unitLabelText(def.name)));
    if (QLabel* caption = captionLabels_.value(name); caption != nullptr && reason.isEmpty())
      caption->setToolTip(configurationText(s.labelHintKey(def.name)));
  }
  for (auto it = groups_.begin(); it != groups_.end(); ++it) {
    const std::string name = it.key().toStdString();
    const bool enabled = s.isEnabled(name);
    it.value()->setVisible(s.isVisible(name));
    it.value()->setEnabled(enabled);
    it.value()->setToolTip(enabled ? QString() : configurationText(s.disabledReasonKey(name)));
  }
  for (int i = 0; i < tabs_->count(); ++i) {
    const std::string name(config::settingTabs()[std::size_t(i)].name);
    const bool enabled = s.isEnabled(name);
    tabs_->setTabVisible(i, s.isVisible(name));
    tabs_->setTabEnabled(i, enabled);
    tabs_->setTabToolTip(i, enabled ? QString() : configurationText(s.disabledReasonKey(name)));
  }
  for (const char* slider : {"lRuchNaLukachPowolny", "lRuchNaLukachPrzyspieszony"}) {
    if (QWidget* label = findChild<QWidget*>(slider)) label->setEnabled(s.isEnabled("tbRuchNaLukach"));
  }
}

void SettingsDialog::showStatus(const config::ConfigStatus& status) {
  for (const std::string& error : status.errors) texts_.messageBox(error, true);
}

// --- the dialog's buttons ---

void SettingsDialog::okClicked() {
  const auto askSave = [this]() -> std::optional<std::string> {
    const std::string folder = folderOf(configuration_.settingsFile());
    if (hooks_.askSavePath) return hooks_.askSavePath(folder);
    QFileDialog dialog(this, QString(), QString::fromStdString(folder + "/*.mcc"), QStringLiteral("*.mcc"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("mcc"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
  };
  showStatus(configuration_.ok(askSave));
  showSettingsFileInTitle();
  accept();
}

void SettingsDialog::cancelClicked() { reject(); }

void SettingsDialog::reject() {
  showStatus(configuration_.cancel());
  refreshAll();
  QDialog::reject();
}

void SettingsDialog::zapisClicked() {
  const std::string folder = folderOf(configuration_.settingsFile());
  std::optional<std::string> path;
  if (hooks_.askSavePath) {
    path = hooks_.askSavePath(folder);
  } else {
    QFileDialog dialog(this, QString(), QString::fromStdString(folder + "/*.mcc"), QStringLiteral("*.mcc"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("mcc"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      path = dialog.selectedFiles().front().toStdString();
    }
  }
  if (!path) return;
  showStatus(configuration_.zapis(*path));
  showSettingsFileInTitle();
}

void SettingsDialog::odczytClicked() {
  const std::string folder = folderOf(configuration_.settingsFile());
  std::optional<std::string> path;
  if (hooks_.askOpenPath) {
    path = hooks_.askOpenPath(folder);
  } else {
    const QString chosen =
        QFileDialog::getOpenFileName(this, QString(), QString::fromStdString(folder), QStringLiteral("*.mcc"));
    if (!chosen.isEmpty()) path = chosen.toStdString();
  }
  if (!path) return;
  showStatus(configuration_.KonfigOdczyt(*path));
  refreshAll();
}

// --- actions of the tabs ---

void SettingsDialog::connectActions() {
  const auto on = [this](const char* name, void (SettingsDialog::*slot)()) {
    if (QPushButton* button = actions_.value(name)) connect(button, &QPushButton::clicked, this, slot);
  };
  on("ButtonProgramujIPplotera", &SettingsDialog::programAddress);
  on("btnAktPoz_pobierz", &SettingsDialog::takeCurrentPosition);
  on("btnPrzywrocDomyslnePrzysp", &SettingsDialog::restoreDefaultAcceleration);
  on("btnUstawPrzyspieszenie", &SettingsDialog::setAcceleration);
  on("bUstawPrzyspieszenieZgodneZtypem", &SettingsDialog::setAccelerationOfType);
  on("btnCalibrate", &SettingsDialog::calibrate);
  on("btnRB2_przesunY2", &SettingsDialog::sendY2Offset);
  if (QPushButton* button = actions_.value("btnPrzywrocDomyslnyWspVNaLukach")) {
    connect(button, &QPushButton::clicked, this, [this] {
      settings().restoreDefaultArcFactor();
      refreshAll();
    });
  }
  if (auto* slow = findChild<ClickableLabel*>("lRuchNaLukachPowolny")) {
    connect(slow, &ClickableLabel::clicked, this, [this] {
      settings().arcSlowest();
      refreshAll();
    });
  }
  if (auto* fast = findChild<ClickableLabel*>("lRuchNaLukachPrzyspieszony")) {
    connect(fast, &ClickableLabel::clicked, this, [this] {
      settings().arcFastest();
      refreshAll();
    });
  }
}

void SettingsDialog::programAddress() {
  if (!hooks_.usbPresent || !hooks_.usbPresent() || !hooks_.sendCommand) {
    texts_.messageBox(texts_.dajTxt("Configuration", "msgOperacjaZakonczonaNiepowodzeniem") + "\n\r" +
                          texts_.dajTxt("Configuration", "msgPodlaczSterowink"),
                      true, std::string("IP"));
    return;
  }
  hooks_.sendCommand(settings().ipCommand());
  configuration_.globals().machineAddress = settings().addressText();
  showStatus(configuration_.SaveKonfig(configuration_.settingsFile()));
  if (hooks_.restartEthernet) hooks_.restartEthernet();
}

void SettingsDialog::takeCurrentPosition() {
  if (!hooks_.currentPosition) return;
  if (const auto position = hooks_.currentPosition()) {
    settings().takeCurrentPosition(position->first, position->second);
    refreshAll();
  }
}

void SettingsDialog::restoreDefaultAcceleration() {
  std::pair<int, std::string> value{0, {}};
  if (hooks_.usbPresent && hooks_.usbPresent() && hooks_.defaultAcceleration) value = hooks_.defaultAcceleration();
  settings().set("fePrzyspieszenie", value.first);
  machineTypeText_->setText(QString::fromStdString(withoutSpaces(value.second)));
  refreshAll();
}

void SettingsDialog::setAcceleration() {
  const std::optional<int> acceleration = settings().accelerationToSend();
  if (!acceleration) {
    texts_.messageBox(TDlgkonfig::kAccelerationRangeMessage, true);
    return;
  }
  if (!hooks_.setAcceleration || !hooks_.setAcceleration(*acceleration)) {
    // Without a link nothing was set: say so rather than report success.
    texts_.messageBox(texts_.dajTxt("Configuration", "msgOperacjaZakonczonaNiepowodzeniem") + "\n\r" +
                          texts_.dajTxt("Configuration", "msgPodlaczSterowink"),
                      true);
    return;
  }
  texts_.messageBox(
      "Nowe przyspieszenie w aplikacji i sterowniku będzie obowiązywać do restartu sterownika i aplikacji.", false,
      std::string("Ustawiono nowe przyspieszenie"));
}

void SettingsDialog::setAccelerationOfType() {
  if (hooks_.setAcceleration && hooks_.currentRampStep) hooks_.setAcceleration(hooks_.currentRampStep());
}

void SettingsDialog::calibrate() {
  if (hooks_.calibrate) hooks_.calibrate();
  showCalibrationFactors();
}

void SettingsDialog::sendY2Offset() {
  std::string type = settings().machine().machineType;
  while (!type.empty() && type.back() == ' ') type.pop_back();
  while (!type.empty() && type.front() == ' ') type.erase(type.begin());
  if (type == "RB2" && hooks_.sendY2Offset) hooks_.sendY2Offset(settings().real("feuOffsetY_RB2"));
}

void SettingsDialog::showCalibrationFactors() {
  if (!hooks_.calibrationFactors) return;
  const std::array<double, 3> factors = hooks_.calibrationFactors();
  for (int axis = 0; axis < 3; ++axis) {
    calibrationTexts_[std::size_t(axis)]->setText(QLocale::system().toString(factors[std::size_t(axis)], 'f', 8));
  }
}

}  // namespace trazvik::ui
