// The one reading of a setting's value written as text, shared by every way
// a value comes in: the settings file, `--set NAME=VALUE` of the CLI's
// commands and `settings set`.
//
// Forms taken for each kind of control:
// - numeric fields: a number, "." or the locale's decimal separator
//   (lengths and speeds in millimetres);
// - checkboxes: the file's words cbChecked, cbUnchecked, cbGrayed, and
//   true/false, on/off, 1/0 (letter case ignored but for the file's words);
// - option buttons: -1 or any non-zero integer selects, 0 clears, and
//   true/false, on/off;
// - option groups: the item index, or the item's own name where the items
//   are not translated (rgJm: mm, inch, feet);
// - sliders: an integer position.
#pragma once
#include "no_qt.h"

#include "config/setting_catalogue.h"

#include <optional>
#include <string>
#include <string_view>

namespace trazvik {
class TDlgkonfig;
}

namespace trazvik::config {

// The control value (millimetres, 0/1/2 of a checkbox, 1/0 of an option
// button, item index, position) written by `text`; nullopt when the text is
// none of the forms of the setting's kind.
std::optional<double> settingValueOf(const SettingDef& def, std::string_view text, char separator);

// What the forms of a kind are, for messages: "a number", "cbChecked,
// cbUnchecked, true, false, on, off, 1 or 0", ...
std::string expectedFormOf(const SettingDef& def);

// A value typed by a person, applied with the effects of the operator's
// change. Refused, with the reason and nothing changed: a text that is none
// of the forms, and a value outside the setting's limits as they stand (the
// machine's limits where a machine is known). The message names the
// setting: "WorkSpeed: 99999 is outside 1 .. 5000".
std::optional<std::string> applyTypedSetting(TDlgkonfig& settings, std::string_view name, std::string_view text);

// "NAME=VALUE" as `--set` and `settings set` take it: split at the first
// '=', an unknown name refused ("there is no setting NAME"), then
// applyTypedSetting. The message does not repeat the assignment.
std::optional<std::string> applySettingAssignment(TDlgkonfig& settings, std::string_view assignment);

}  // namespace trazvik::config
