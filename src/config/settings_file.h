// The text of a settings file (.mcc): one line "name := value" per saved
// control, in declaration order, CR LF line ends, 8-bit text.
#pragma once
#include "no_qt.h"

#include "config/tdlgkonfig.h"

#include <string>
#include <string_view>

namespace trazvik::config {

// One line as the reader splits it: the name runs to the first space, colon
// or equals sign; then spaces, colons and equals signs are skipped; the
// value runs to the next space, CR or LF. Letter case is kept.
struct SettingsLine {
  std::string_view name;
  std::string_view value;
};
SettingsLine parseSettingsLine(std::string_view line);

// The whole file as SaveKonfig writes it.
std::string settingsFileText(const TDlgkonfig& settings);

// What applying a file's text did.
struct SettingsApplied {
  bool complete = true;         // false: stopped at a value that cannot be converted
  std::string error;            // names the file, the line number and the setting
  bool namedArcFactor = false;  // a line named tbRuchNaLukach
};

// Applies the lines of a settings file on top of the current values, as the
// operator would set each control. Unknown names and empty lines are
// skipped; the first value that cannot be converted stops the reading there
// (the lines before it keep their effect). `fileName` is used in the message.
SettingsApplied applySettingsText(TDlgkonfig& settings, std::string_view text, std::string_view fileName);

}  // namespace trazvik::config
