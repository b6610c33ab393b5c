#include "config/tdlgkonfig.h"

#include <cmath>

namespace trazvik {

using config::SettingDef;
using config::SettingKind;
using config::TFltEdit;
using config::TFltEditU;

UnknownSettingError::UnknownSettingError(std::string_view name)
    : std::invalid_argument("unknown setting \"" + std::string(name) + "\"") {}

TDlgkonfig::TDlgkonfig(char decimalSeparator) : separator_(decimalSeparator) {
  const auto catalogue = config::settingCatalogue();
  controls_.resize(catalogue.size());
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const SettingDef& def = catalogue[i];
    Control& c = controls_[i];
    c.minValue = def.minValue;
    c.maxValue = def.maxValue;
    if (def.kind == SettingKind::Length) {
      c.length.emplace(def.minValue, def.maxValue, def.decimals, separator_);
      c.length->setValue(def.defaultValue);
    } else if (def.kind == SettingKind::Number) {
      c.plain.emplace(def.minValue, def.maxValue, def.decimals, separator_);
      c.plain->setValue(def.defaultValue);
    } else {
      c.state = def.defaultValue;
    }
  }
}

std::size_t TDlgkonfig::indexOf(std::string_view name) {
  const auto index = config::findSetting(name);
  if (!index) throw UnknownSettingError(name);
  return *index;
}

const SettingDef& TDlgkonfig::def(std::string_view name) { return config::settingCatalogue()[indexOf(name)]; }

TDlgkonfig::Control& TDlgkonfig::control(std::string_view name) { return controls_[indexOf(name)]; }
const TDlgkonfig::Control& TDlgkonfig::control(std::string_view name) const { return controls_[indexOf(name)]; }

double TDlgkonfig::real(std::string_view name) const {
  const Control& c = control(name);
  if (const TFltEdit* edit = c.edit()) return edit->value();
  return c.state;
}

int TDlgkonfig::integer(std::string_view name) const {
  const double value = std::nearbyint(real(name));
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(value);
}

bool TDlgkonfig::flag(std::string_view name) const {
  const std::size_t index = indexOf(name);
  const SettingKind kind = config::settingCatalogue()[index].kind;
  if (kind == SettingKind::Check) return controls_[index].state == 1;
  if (kind == SettingKind::Option) return controls_[index].state != 0;
  throw SettingKindError("setting \"" + std::string(name) + "\" is not a checkbox or option button");
}

CheckState TDlgkonfig::checkState(std::string_view name) const {
  const std::size_t index = indexOf(name);
  if (config::settingCatalogue()[index].kind != SettingKind::Check) {
    throw SettingKindError("setting \"" + std::string(name) + "\" is not a checkbox");
  }
  return static_cast<CheckState>(static_cast<int>(controls_[index].state));
}

std::string TDlgkonfig::shownText(std::string_view name) const {
  const std::size_t index = indexOf(name);
  if (const TFltEdit* edit = controls_[index].edit()) return edit->text();
  return fileValue(index);
}

double TDlgkonfig::minOf(std::string_view name) const {
  const Control& c = control(name);
  if (const TFltEdit* edit = c.edit()) return edit->minValue();
  return c.minValue;
}

double TDlgkonfig::maxOf(std::string_view name) const {
  const Control& c = control(name);
  if (const TFltEdit* edit = c.edit()) return edit->maxValue();
  return c.maxValue;
}

const TFltEdit* TDlgkonfig::field(std::string_view name) const { return control(name).edit(); }

int TDlgkonfig::unitIndex() const {
  const int unit = static_cast<int>(controls_[indexOf("rgJm")].state);
  return unit < 0 || unit > 2 ? 0 : unit;
}

void TDlgkonfig::set(std::string_view name, double value) { setControl(indexOf(name), value); }

void TDlgkonfig::setChecked(std::string_view name, bool checked) {
  const std::size_t index = indexOf(name);
  const SettingKind kind = config::settingCatalogue()[index].kind;
  if (kind != SettingKind::Check && kind != SettingKind::Option) {
    throw SettingKindError("setting \"" + std::string(name) + "\" is not a checkbox or option button");
  }
  setControl(index, checked ? 1 : 0);
}

void TDlgkonfig::setCheckState(std::string_view name, CheckState state) {
  const std::size_t index = indexOf(name);
  if (config::settingCatalogue()[index].kind != SettingKind::Check) {
    throw SettingKindError("setting \"" + std::string(name) + "\" is not a checkbox");
  }
  setControl(index, static_cast<int>(state));
}

void TDlgkonfig::enterText(std::string_view name, std::string text) {
  const std::size_t index = indexOf(name);
  TFltEdit* edit = controls_[index].edit();
  if (edit == nullptr) {
    throw SettingKindError("setting \"" + std::string(name) + "\" is not a numeric field");
  }
  const std::string before = edit->text();
  edit->setText(std::move(text));
  edit->leave();
  if (edit->text() != before) afterChange(index);
}

bool TDlgkonfig::stepField(std::string_view name, bool up) {
  const std::size_t index = indexOf(name);
  TFltEdit* edit = controls_[index].edit();
  if (edit == nullptr) {
    throw SettingKindError("setting \"" + std::string(name) + "\" is not a numeric field");
  }
  const std::string before = edit->text();
  const bool stepped = up ? edit->stepUp() : edit->stepDown();
  if (edit->text() != before) afterChange(index);
  return stepped;
}

void TDlgkonfig::fieldClicked(std::string_view name) {
  if (def(name).importantOnClick) wazna_zmiana = true;
}

// Sets one control as the operator would, clamping to its limits, and runs
// the effects when its value changed.
void TDlgkonfig::setControl(std::size_t index, double value) {
  const SettingDef& d = config::settingCatalogue()[index];
  Control& c = controls_[index];
  if (std::isnan(value)) return;  // no control can show "not a number"
  if (TFltEdit* edit = c.edit()) {
    const std::string before = edit->text();
    edit->setValue(value);
    if (edit->text() != before) afterChange(index);
    return;
  }
  double next = value;
  switch (d.kind) {
    case SettingKind::Check: next = (value == 1 || value == 2) ? value : 0; break;
    case SettingKind::Option: next = value != 0 ? 1 : 0; break;
    case SettingKind::Group:
    case SettingKind::Slider:
      next = std::nearbyint(value);
      if (next < c.minValue) next = c.minValue;
      if (next > c.maxValue) next = c.maxValue;
      break;
    default: break;
  }
  if (next == c.state) return;
  c.state = next;
  afterChange(index);
}

void TDlgkonfig::afterChange(std::size_t index) {
  const SettingDef& d = config::settingCatalogue()[index];
  if (d.name == "rgJm") {
    const int unit = unitIndex();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
      if (config::settingCatalogue()[i].unitConverted && controls_[i].length) {
        controls_[i].length->changeunit(unit);
        if (onChanged) onChanged(i);
      }
    }
  }
  if (d.kind == SettingKind::Option && controls_[index].state != 0) {
    const auto catalogue = config::settingCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
      if (i != index && catalogue[i].kind == SettingKind::Option && catalogue[i].group == d.group &&
          controls_[i].state != 0) {
        controls_[i].state = 0;
        if (onChanged) onChanged(i);
      }
    }
  }
  if (d.name == "SzerokoscObrazu" || d.name == "WysokoscObrazu") applyProportions(index);
  if (onChanged) onChanged(index);
  if (d.important && !d.importantOnClick) VIChange();
}

// The proportional image size: one side follows the other by the pixel
// ratio of the last loaded bitmap (no bitmap loaded: nothing to follow).
void TDlgkonfig::applyProportions(std::size_t changed) {
  if (BMPEdycjaWymiarow || !flag("Proporcjonalnie") || bitmapAspect_ <= 0) return;
  BMPEdycjaWymiarow = true;
  if (config::settingCatalogue()[changed].name == "SzerokoscObrazu") {
    setControl(indexOf("WysokoscObrazu"), real("SzerokoscObrazu") / bitmapAspect_);
  } else {
    setControl(indexOf("SzerokoscObrazu"), real("WysokoscObrazu") * bitmapAspect_);
  }
  BMPEdycjaWymiarow = false;
}

void TDlgkonfig::setBitmapPixelSize(int width, int height) {
  bitmapAspect_ = (width > 0 && height > 0) ? static_cast<double>(width) / height : 0;
  if (bitmapAspect_ > 0 && !BMPEdycjaWymiarow) {
    BMPEdycjaWymiarow = true;
    setControl(indexOf("WysokoscObrazu"), real("SzerokoscObrazu") / bitmapAspect_);
    BMPEdycjaWymiarow = false;
  }
}

double TDlgkonfig::spiralPitch() const { return machine_.isLaser ? 100.0 : real("skok"); }

std::string TDlgkonfig::addressText() const {
  std::string text;
  for (const char* name : {"IP1", "IP2", "IP3", "IP4"}) {
    if (!text.empty()) text += '.';
    text += std::to_string(static_cast<long long>(std::nearbyint(real(name))));
  }
  return text;
}

std::string TDlgkonfig::ipCommand() const {
  std::string command = "SIP";
  for (const char* name : {"IP1", "IP2", "IP3", "IP4"}) {
    const auto number = static_cast<long long>(std::nearbyint(real(name)));
    command += static_cast<char>(static_cast<unsigned char>(number & 0xFF));
  }
  return command;
}

std::optional<int> TDlgkonfig::accelerationToSend() const {
  const double rounded = std::nearbyint(real("fePrzyspieszenie"));
  if (rounded < 0 || rounded > 14) return std::nullopt;
  return static_cast<int>(rounded);
}

void TDlgkonfig::restoreDefaultArcFactor() { set("tbRuchNaLukach", machine_.radiusFactorStraight); }
void TDlgkonfig::arcSlowest() { set("tbRuchNaLukach", minOf("tbRuchNaLukach")); }
void TDlgkonfig::arcFastest() { set("tbRuchNaLukach", maxOf("tbRuchNaLukach")); }

void TDlgkonfig::useTouchPanel() {
  for (Control& c : controls_) {
    if (TFltEdit* edit = c.edit()) {
      edit->fBigNumPad = true;
      edit->fJedenKlikKalkulator = true;
    }
  }
}

void TDlgkonfig::takeCurrentPosition(double xHundredths, double yHundredths) {
  set("feuOdjazdX", xHundredths / 100.0);
  set("feuOdjazdY", yHundredths / 100.0);
}

}  // namespace trazvik
