#include "project_loading.h"

#include "config/setting_value_text.h"
#include "config/settings_file.h"
#include "project/open_project.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <sstream>

namespace trazvik::cli {

void addProjectOptions(CLI::App& command, ProjectOptions& options) {
  command.add_option("FILE", options.file, "Design file: .plt, .dxf or .nc")->required();
  command.add_option("--settings", options.settingsFile, "Settings file (.mcc) applied on top of the defaults")
      ->type_name("F.mcc");
  command.add_option("--set", options.sets, "One setting by its name, after the settings file (repeatable)")
      ->type_name("NAME=VALUE");
}

namespace {

void fail(Context& context, const std::string& text) {
  context.texts().messageBox(text, true);
  throw CommandFailed(2, text);
}

void applySettingsFile(Context& context, TDlgkonfig& settings, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) fail(context, path + ": the settings file cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  const config::SettingsApplied applied = config::applySettingsText(settings, text.str(), path);
  if (!applied.complete) fail(context, applied.error);
}

void applySetting(Context& context, TDlgkonfig& settings, const std::string& assignment) {
  if (const auto error = config::applySettingAssignment(settings, assignment)) fail(context, "--set " + assignment + ": " + *error);
}

}  // namespace

LoadedProject loadProject(Context& context, const ProjectOptions& options) {
  LoadedProject loaded;
  loaded.settings = std::make_unique<TDlgkonfig>();
  if (!options.settingsFile.empty()) applySettingsFile(context, *loaded.settings, options.settingsFile);
  for (const std::string& s : options.sets) applySetting(context, *loaded.settings, s);

  loaded.project = OtworzProjekt(options.file, *loaded.settings, context.texts(), tOtwieranieProjektu{});
  // The reasons have been shown through the message boxes.
  if (!loaded.project) throw CommandFailed(2, "the file could not be opened");
  return loaded;
}

}  // namespace trazvik::cli
