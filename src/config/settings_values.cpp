// The forms in which the settings file writes each kind of control, and the
// tolerant reading of those forms.
#include "config/tdlgkonfig.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace trazvik {

using config::SettingDef;
using config::SettingKind;

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string notConverted(std::string_view value, std::string_view what) {
  return "\"" + std::string(value) + "\" is not " + std::string(what);
}

}  // namespace

std::string TDlgkonfig::fileValue(std::size_t index) const {
  const SettingDef& d = config::settingCatalogue()[index];
  const Control& c = controls_[index];
  switch (d.kind) {
    case SettingKind::Length:
    case SettingKind::Number:
      return config::formatGeneral(c.edit()->value(), separator_);
    case SettingKind::Check:
      return c.state == 1 ? "cbChecked" : c.state == 2 ? "cbGrayed" : "cbUnchecked";
    case SettingKind::Option:
      return c.state != 0 ? "-1" : "0";
    case SettingKind::Group:
    case SettingKind::Slider:
      return std::to_string(static_cast<long long>(c.state));
  }
  return {};
}

std::optional<std::string> TDlgkonfig::applyFileValue(std::size_t index, std::string_view text) {
  const SettingDef& d = config::settingCatalogue()[index];
  switch (d.kind) {
    case SettingKind::Length:
    case SettingKind::Number: {
      // Only the leading run of sign characters, digits and the separator
      // counts: "250mm" reads 250, "1E-5" reads 1.
      const auto number = config::parseDecimal(config::leadingNumberRun(text, separator_), separator_);
      if (!number) return notConverted(text, "a valid number");
      setControl(index, *number);
      return std::nullopt;
    }
    case SettingKind::Check:
      setControl(index, text == "cbChecked" ? 1 : text == "cbGrayed" ? 2 : 0);
      return std::nullopt;
    case SettingKind::Option: {
      if (const auto number = config::parseInteger(text)) {
        setControl(index, *number != 0 ? 1 : 0);
      } else if (equalsIgnoringCase(text, "True")) {
        setControl(index, 1);
      } else if (equalsIgnoringCase(text, "False")) {
        setControl(index, 0);
      } else {
        return notConverted(text, "an integer or True or False");
      }
      return std::nullopt;
    }
    case SettingKind::Group:
    case SettingKind::Slider: {
      const auto number = config::parseInteger(text);
      if (!number || *number < -2147483648LL || *number > 2147483647LL) {
        return notConverted(text, "a valid integer");
      }
      setControl(index, static_cast<double>(*number));
      return std::nullopt;
    }
  }
  return std::nullopt;
}

}  // namespace trazvik
