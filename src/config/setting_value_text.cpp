#include "config/setting_value_text.h"

#include "config/number_text.h"
#include "config/tdlgkonfig.h"

#include <algorithm>
#include <cctype>

namespace trazvik::config {

namespace {

std::string lowerCase(std::string_view text) {
  std::string s(text);
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

std::string_view trimmedBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<double> checkValueOf(std::string_view text) {
  if (text == "cbChecked") return 1;
  if (text == "cbUnchecked") return 0;
  if (text == "cbGrayed") return 2;
  const std::string lower = lowerCase(text);
  if (lower == "true" || lower == "on" || lower == "1") return 1;
  if (lower == "false" || lower == "off" || lower == "0") return 0;
  return std::nullopt;
}

std::optional<double> optionValueOf(std::string_view text) {
  if (const auto number = parseInteger(text)) return *number != 0 ? 1 : 0;
  const std::string lower = lowerCase(text);
  if (lower == "true" || lower == "on") return 1;
  if (lower == "false" || lower == "off") return 0;
  return std::nullopt;
}

std::optional<double> groupValueOf(const SettingDef& def, std::string_view text) {
  if (const auto number = parseInteger(text)) return static_cast<double>(*number);
  if (!def.choicesLiteral) return std::nullopt;
  const std::string lower = lowerCase(text);
  for (std::size_t i = 0; i < def.choices.size(); ++i) {
    if (lowerCase(def.choices[i]) == lower) return static_cast<double>(i);
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> settingValueOf(const SettingDef& def, std::string_view text, char separator) {
  text = trimmedBlanks(text);
  if (text.empty()) return std::nullopt;
  switch (def.kind) {
    case SettingKind::Length:
    case SettingKind::Number:
      if (const auto number = parseNumber(text, separator)) return number;
      return separator == '.' ? std::nullopt : parseNumber(text, '.');
    case SettingKind::Check: return checkValueOf(text);
    case SettingKind::Option: return optionValueOf(text);
    case SettingKind::Group: return groupValueOf(def, text);
    case SettingKind::Slider:
      if (const auto number = parseInteger(text)) return static_cast<double>(*number);
      return std::nullopt;
  }
  return std::nullopt;
}

std::string expectedFormOf(const SettingDef& def) {
  switch (def.kind) {
    case SettingKind::Length: return "a number (millimetres)";
    case SettingKind::Number: return "a number";
    case SettingKind::Check: return "cbChecked, cbUnchecked, cbGrayed, true, false, on, off, 1 or 0";
    case SettingKind::Option: return "-1 (selected), 0, true, false, on or off";
    case SettingKind::Group: {
      std::string form = "an item index";
      if (def.choicesLiteral && !def.choices.empty()) {
        form += " or name (";
        for (std::size_t i = 0; i < def.choices.size(); ++i) form += (i ? ", " : "") + std::string(def.choices[i]);
        form += ")";
      }
      return form;
    }
    case SettingKind::Slider: return "an integer position";
  }
  return "a value";
}

std::optional<std::string> applyTypedSetting(TDlgkonfig& settings, std::string_view name, std::string_view text) {
  const auto index = findSetting(name);
  if (!index) return "there is no setting " + std::string(name);
  const SettingDef& def = settingCatalogue()[*index];
  const auto value = settingValueOf(def, text, settings.decimalSeparator());
  if (!value) return std::string(name) + ": \"" + std::string(text) + "\" is not " + expectedFormOf(def);
  // Checkboxes and option buttons take every value their forms give.
  if (def.kind != SettingKind::Check && def.kind != SettingKind::Option) {
    const double low = settings.minOf(name);
    const double high = settings.maxOf(name);
    const bool limited = low != high || def.kind == SettingKind::Group || def.kind == SettingKind::Slider;
    if (limited && (*value < low || *value > high)) {
      return std::string(name) + ": " + std::string(trimmedBlanks(text)) + " is outside " + formatGeneral(low, '.') +
             " .. " + formatGeneral(high, '.');
    }
  }
  settings.set(name, *value);
  return std::nullopt;
}

std::optional<std::string> applySettingAssignment(TDlgkonfig& settings, std::string_view assignment) {
  const std::size_t eq = assignment.find('=');
  if (eq == std::string_view::npos || eq == 0) return std::string("expected NAME=VALUE");
  return applyTypedSetting(settings, assignment.substr(0, eq), assignment.substr(eq + 1));
}

}  // namespace trazvik::config
