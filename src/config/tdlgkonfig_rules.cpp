// The machine-dependent limits and the enabling and visibility rules of the
// settings dialog.
#include "config/tdlgkonfig.h"

#include "base/text.h"

#include <algorithm>
#include <array>

namespace trazvik {

using config::MachineLimit;
using config::SettingDef;
using config::SettingKind;

namespace {

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// A machine limit of 0 means the machine type gives none: the declared one stays.
double orDeclared(double machineValue, double declared) { return machineValue > 0 ? machineValue : declared; }

constexpr std::array<std::string_view, 5> kFinishingControls{"polerowanie", "poler_grubosc", "Polerspeed",
                                                             "Poler_start", "poler_power"};

}  // namespace

void TDlgkonfig::applyLimit(std::string_view name, double minValue, double maxValue) {
  if (config::TFltEdit* edit = control(name).edit()) edit->setLimits(minValue, maxValue);
}

void TDlgkonfig::restoreDeclaredLimits() {
  for (const SettingDef& d : config::settingCatalogue()) {
    if (d.machineLimit != MachineLimit::None) applyLimit(d.name, d.minValue, d.maxValue);
  }
}

void TDlgkonfig::SetParam(const config::MachineContext& machine) {
  machine_ = machine;
  restoreDeclaredLimits();
  if (!machine_.identified) return;
  for (const SettingDef& d : config::settingCatalogue()) {
    const double minFeed = orDeclared(machine_.minFeed, d.minValue);
    switch (d.machineLimit) {
      case MachineLimit::WorkFeed:
        applyLimit(d.name, minFeed,
                   orDeclared(flag("wygladzanie") ? machine_.maxSmoothFeed : machine_.maxWorkFeed, d.maxValue));
        break;
      case MachineLimit::TravelFeed: applyLimit(d.name, minFeed, orDeclared(machine_.maxTravelFeed, d.maxValue)); break;
      case MachineLimit::FinishFeed: applyLimit(d.name, minFeed, orDeclared(machine_.maxWorkFeed, d.maxValue)); break;
      case MachineLimit::FeedZ: applyLimit(d.name, d.minValue, orDeclared(machine_.maxFeedZ, d.maxValue)); break;
      case MachineLimit::Spindle:
        if (machine_.usbGeneration) applyLimit(d.name, machine_.minSpindle, machine_.maxSpindle);
        break;
      case MachineLimit::WorkAreaX: applyLimit(d.name, d.minValue, orDeclared(machine_.workAreaX, d.maxValue)); break;
      case MachineLimit::WorkAreaY: applyLimit(d.name, d.minValue, orDeclared(machine_.workAreaY, d.maxValue)); break;
      case MachineLimit::None: break;
    }
  }
}

// Runs after every change of a control marked important.
void TDlgkonfig::VIChange() {
  wazna_zmiana = true;
  if (machine_.identified) {
    const std::size_t workSpeed = indexOf("WorkSpeed");
    const double declaredMax = config::settingCatalogue()[workSpeed].maxValue;
    const double minValue = minOf("WorkSpeed");
    if (machine_.cncMachine && flag("wygladzanie")) {
      applyLimit("WorkSpeed", minValue, orDeclared(machine_.maxSmoothFeed, declaredMax));
      setControl(workSpeed, real("WorkSpeed"));
    } else {
      applyLimit("WorkSpeed", minValue, orDeclared(machine_.maxWorkFeed, declaredMax));
    }
  }
  if (machine_.isLaser) setChecked("cbZejsciePoSpirali", false);
}

void TDlgkonfig::SetMachineDependentControls() {
  if (!machine_.knifeAxis) {
    setChecked("CBAktywnaGlowica", false);
    setChecked("CBDwuKierunkowyNoz", false);
  }
}

void TDlgkonfig::activate() {
  SetParam(machine_);
  SetMachineDependentControls();
  VIChange();
}

bool TDlgkonfig::isEnabled(std::string_view name) const { return enabledByRules(name) && isVisible(name); }

bool TDlgkonfig::isVisible(std::string_view name) const {
  if (!visibleByRules(name)) return false;
  // A control on a hidden tab or in a hidden group is hidden too.
  if (const auto index = config::findSetting(name)) {
    const SettingDef& d = config::settingCatalogue()[*index];
    if (!visibleByRules(d.tab)) return false;
    if (!d.group.empty() && !visibleByRules(d.group)) return false;
  }
  return true;
}

bool TDlgkonfig::enabledByRules(std::string_view name) const {
  const bool notLaser = !machine_.isLaser;
  if (const auto index = config::findSetting(name)) {
    const SettingDef& d = config::settingCatalogue()[*index];
    if (d.tab == "wiercenie" || d.group == "ramkaplytki") return notLaser;
    if (d.group == "Laser") return !notLaser;
    if (d.tab == "Smarowanie") return notLaser && enabledByRules("Smarowanie");
    if (d.tab == "TabSheetBMP") return !notLaser;
  }
  if (name == "srednica") return flag("doOutline");
  if (name == "skok" ||
      std::find(kFinishingControls.begin(), kFinishingControls.end(), name) != kFinishingControls.end()) {
    return notLaser && flag("cbZejsciePoSpirali");
  }
  const bool singleLayer = real("ProjektType") == 0;
  if (name == "Glebokosc") return singleLayer && notLaser;
  if (name == "WorkSpeed" || name == "work_power") return singleLayer;
  if (name == "grubosc") return notLaser || machine_.laserZAxis;
  if (isOneOf(name, {"cbZejsciePoSpirali", "ponad_stol", "nadmat", "CzasRozruchu", "wiercenie", "ramkaplytki"})) {
    return notLaser;
  }
  if (name == "Laser" || name == "TabSheetBMP") return !notLaser;
  if (name == "Smarowanie") {
    const std::string type = base::trimmed(machine_.machineType);
    return type == "YFF" || type == "YRF";
  }
  if (name == "wygladzanie") return machine_.controllerVersion >= 550;
  if (name == "CBAktywnaGlowica" || name == "CBDwuKierunkowyNoz") return machine_.knifeAxis;
  return true;
}

bool TDlgkonfig::visibleByRules(std::string_view name) const {
  const bool notLaser = !machine_.isLaser;
  if (name == "Laser" || name == "TabSheetBMP") return !notLaser;
  if (name == "wiercenie" || name == "rbTylkoGlowicaDoGory") return notLaser;
  if (name == "Smarowanie") return base::trimmed(machine_.info1) == "YFF 333";
  if (name == "GroupBoxIP") return switches_.ethernet;
  if (name == "tsYJB") return machine_.headCount > 1;
  if (name == "tsRB2") return base::trimmed(machine_.machineType) == "RB2";
  if (name == "gbRuchNaLukach") return notLaser && switches_.arcV;
  if (name == "CBAktywnaGlowica" || name == "CBDwuKierunkowyNoz") return machine_.knifeAxis;
  if (name == "tsSerwis") return switches_.service;
  if (name == "gbCalibration") return machine_.drillSlots && (switches_.calib || switches_.service);
  return true;
}

std::string_view TDlgkonfig::disabledReasonKey(std::string_view name) const {
  namespace why = config::reason;
  if (enabledByRules(name)) return {};
  const bool laser = machine_.isLaser;
  if (const auto index = config::findSetting(name)) {
    const SettingDef& d = config::settingCatalogue()[*index];
    if (d.tab == "wiercenie" || d.group == "ramkaplytki") return why::notOnLaser;
    if (d.group == "Laser" || d.tab == "TabSheetBMP") return why::laserOnly;
    if (d.tab == "Smarowanie") return laser ? why::notOnLaser : why::noLubrication;
  }
  if (name == "srednica") return why::outlineOff;
  if (name == "skok" ||
      std::find(kFinishingControls.begin(), kFinishingControls.end(), name) != kFinishingControls.end()) {
    return laser ? why::notOnLaser : why::spiralOff;
  }
  const bool singleLayer = real("ProjektType") == 0;
  if (name == "Glebokosc") return singleLayer ? why::notOnLaser : why::fromLayersDepth;
  if (name == "WorkSpeed" || name == "work_power") return why::fromLayersSpeed;
  if (name == "grubosc") return why::laserWithoutZ;
  if (isOneOf(name, {"cbZejsciePoSpirali", "ponad_stol", "nadmat", "CzasRozruchu", "wiercenie", "ramkaplytki"})) {
    return why::notOnLaser;
  }
  if (name == "Laser" || name == "TabSheetBMP") return why::laserOnly;
  if (name == "Smarowanie") return why::noLubrication;
  if (name == "wygladzanie") return why::oldController;
  return {};
}

std::string_view TDlgkonfig::labelHintKey(std::string_view name) const {
  const bool singleLayer = real("ProjektType") == 0;
  if (name == "Glebokosc") {
    return singleLayer && !machine_.isLaser ? std::string_view{} : "lGlebokoscFrezowania.hint";
  }
  if (name == "WorkSpeed" || name == "work_power") {
    return singleLayer ? std::string_view{} : "lWorkSpeed.hint";
  }
  return def(name).hintKey;
}

std::string_view TDlgkonfig::captionKey(std::string_view name) const {
  return config::captionKeyOf(def(name), machine_.isLaser);
}

std::string TDlgkonfig::unitLabelText(std::string_view name) const {
  const SettingDef& d = def(name);
  const int unit = d.unitConverted ? unitIndex() : config::kUnitMm;
  switch (d.quantity) {
    case config::Quantity::Length: return "[" + std::string(config::unitName(unit)) + "]";
    case config::Quantity::Speed: return "[" + std::string(config::unitName(unit)) + "/min]";
    case config::Quantity::Percent: return "[%]";
    case config::Quantity::Seconds: return "[s]";
    case config::Quantity::Milliseconds: return "[ms]";
    case config::Quantity::Spindle:
      return machine_.identified && machine_.usbGeneration && !machine_.isLaser ? "[rpm]" : "[%]";
    default: return {};
  }
}

}  // namespace trazvik
