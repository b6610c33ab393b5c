#include "config/settings_file.h"

namespace trazvik::config {

namespace {

bool isNameEnd(char c) { return c == ' ' || c == ':' || c == '='; }

}  // namespace

SettingsLine parseSettingsLine(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && !isNameEnd(line[i]) && line[i] != '\r' && line[i] != '\n') ++i;
  const std::string_view name = line.substr(0, i);
  while (i < line.size() && isNameEnd(line[i])) ++i;
  const std::size_t start = i;
  while (i < line.size() && line[i] != ' ' && line[i] != '\r' && line[i] != '\n') ++i;
  return SettingsLine{name, line.substr(start, i - start)};
}

std::string settingsFileText(const TDlgkonfig& settings) {
  std::string text;
  const auto catalogue = settingCatalogue();
  text.reserve(catalogue.size() * 32);
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    text += catalogue[i].name;
    text += " := ";
    text += settings.fileValue(i);
    text += "\r\n";
  }
  return text;
}

SettingsApplied applySettingsText(TDlgkonfig& settings, std::string_view text, std::string_view fileName) {
  SettingsApplied applied;
  std::size_t lineNumber = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    // A line ends at LF, CR LF or a lone CR.
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n' && (pos == end || text[pos - 1] == '\r')) ++pos;
    ++lineNumber;

    const SettingsLine parsed = parseSettingsLine(line);
    const auto index = findSetting(parsed.name);
    if (!index) continue;
    if (parsed.name == "tbRuchNaLukach") applied.namedArcFactor = true;
    if (const auto error = settings.applyFileValue(*index, parsed.value)) {
      applied.complete = false;
      applied.error = std::string(fileName) + ", line " + std::to_string(lineNumber) + ", setting " +
                      std::string(parsed.name) + ": " + *error;
      break;
    }
  }
  return applied;
}

}  // namespace trazvik::config
