// The forms in which the settings file writes each kind of control, and the
// tolerant reading of those forms.
#include "config/tdlgkonfig.h"

#include "config/setting_value_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace trazvik {

using config::SettingDef;
using config::SettingKind;

namespace {

std::string notConverted(std::string_view value, std::string_view what) {
  return "\"" + std::string(value) + "\" is not " + std::string(what);
}

}  // namespace

std::string TDlgkonfig::fileValue(std::size_t index) const {
  const SettingDef& d = config::settingCatalogue()[index];
  const Control& c = controls_[index];
  switch (d.kind) {
    case SettingKind::Length:
    case SettingKind::Number: return config::formatGeneral(c.edit()->value(), separator_);
    case SettingKind::Check: return c.state == 1 ? "cbChecked" : c.state == 2 ? "cbGrayed" : "cbUnchecked";
    case SettingKind::Option: return c.state != 0 ? "-1" : "0";
    case SettingKind::Group:
    case SettingKind::Slider: return std::to_string(static_cast<long long>(c.state));
  }
  return {};
}

// The forms every value source shares first; then what a settings file
// tolerates beyond them: a number field reads the leading run of sign
// characters, digits and the separator ("250mm" reads 250, "1E-5" reads 1),
// and a checkbox takes any other word as unchecked. Values outside a field's
// limits are clamped, as when the field takes them.
std::optional<std::string> TDlgkonfig::applyFileValue(std::size_t index, std::string_view text) {
  const SettingDef& d = config::settingCatalogue()[index];
  if (const auto value = config::settingValueOf(d, text, separator_)) {
    if (d.kind == SettingKind::Group || d.kind == SettingKind::Slider) {
      if (*value < -2147483648.0 || *value > 2147483647.0) return notConverted(text, "a valid integer");
    }
    setControl(index, *value);
    return std::nullopt;
  }
  switch (d.kind) {
    case SettingKind::Length:
    case SettingKind::Number: {
      const auto number = config::parseDecimal(config::leadingNumberRun(text, separator_), separator_);
      if (!number) return notConverted(text, "a valid number");
      setControl(index, *number);
      return std::nullopt;
    }
    case SettingKind::Check: setControl(index, 0); return std::nullopt;
    case SettingKind::Option: return notConverted(text, "an integer or True or False");
    case SettingKind::Group:
    case SettingKind::Slider: return notConverted(text, "a valid integer");
  }
  return std::nullopt;
}

}  // namespace trazvik
