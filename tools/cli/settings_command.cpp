// trazvik-cli settings list|get NAME|set NAME=VALUE [--file F.mcc]: the
// settings of the data directory's current settings file (or of F.mcc),
// shown in the display unit and as stored (millimetres).
#include "commands.h"

#include "config/configuration.h"
#include "config/setting_value_text.h"
#include "config/settings_file.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace trazvik::cli {
namespace {

struct SettingsOptions {
  std::string file;
  std::string name;
  std::string assignment;
};

void fail(Context& context, const std::string& message, int code = 1) {
  context.boxes().showMessage(message, true, "Error");
  throw CommandFailed(code, message);
}

void failOn(Context& context, const config::ConfigStatus& status) {
  if (status.ok()) return;
  std::string message;
  for (const auto& error : status.errors) message += (message.empty() ? "" : "\n") + error;
  fail(context, message);
}

config::DialogSwitches dialogSwitches(Context& context) {
  const base::StartupSwitches& s = context.switches();
  return config::DialogSwitches{s.serviceMode, s.ethernet, s.arcV, s.calibration, s.touchPanel};
}

// The configuration to show or change: the data directory's files, created
// when missing; with --file, that file read over the declared defaults.
std::unique_ptr<config::Configuration> openSettings(Context& context, const SettingsOptions& options,
                                                    bool mayCreateFile) {
  const std::filesystem::path dataDir = context.dataDirectory();
  auto configuration = std::make_unique<config::Configuration>(dataDir);
  if (options.file.empty()) {
    failOn(context, configuration->open({}, dialogSwitches(context)));
    return configuration;
  }
  failOn(context, config::ensureDataFiles(dataDir));
  failOn(context, configuration->loadGlobal());
  configuration->settings().setSwitches(dialogSwitches(context));
  std::error_code ec;
  if (std::filesystem::exists(options.file, ec)) {
    failOn(context, configuration->LoadKonfig(options.file));
  } else if (!mayCreateFile) {
    fail(context, options.file + ": no such settings file");
  }
  return configuration;
}

std::string valueWithUnit(const TDlgkonfig& settings, std::string_view name) {
  const std::string label = settings.unitLabelText(name);
  std::string shown = settings.shownText(name);
  if (!label.empty()) shown += " " + label;
  return shown;
}

void listSettings(Context& context, const SettingsOptions& options) {
  const auto configuration = openSettings(context, options, false);
  const TDlgkonfig& settings = configuration->settings();
  std::cout << "settings file: " << (options.file.empty() ? configuration->settingsFile() : options.file) << '\n'
            << "unit: " << config::unitName(settings.unitIndex()) << '\n';
  std::cout << std::left << std::setw(26) << "setting" << std::setw(24) << "shown"
            << "stored (mm)" << '\n';
  const auto catalogue = config::settingCatalogue();
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const std::string_view name = catalogue[i].name;
    std::cout << std::left << std::setw(26) << name << std::setw(24) << valueWithUnit(settings, name)
              << settings.fileValue(i) << '\n';
  }
}

std::size_t settingIndex(Context& context, const std::string& name) {
  const auto index = config::findSetting(name);
  if (!index) fail(context, "unknown setting \"" + name + "\" (see: trazvik-cli settings list)", 2);
  return *index;
}

void getSetting(Context& context, const SettingsOptions& options) {
  const std::size_t index = settingIndex(context, options.name);
  const auto configuration = openSettings(context, options, false);
  std::cout << configuration->settings().fileValue(index) << '\n';
}

void setSetting(Context& context, const SettingsOptions& options) {
  const auto equals = options.assignment.find('=');
  if (equals == std::string::npos || equals == 0)
    fail(context, "expected NAME=VALUE, got \"" + options.assignment + "\"", 2);
  const std::string name = options.assignment.substr(0, equals);
  const std::size_t index = settingIndex(context, name);

  const auto configuration = openSettings(context, options, true);
  TDlgkonfig& settings = configuration->settings();
  if (const auto error = config::applySettingAssignment(settings, options.assignment)) fail(context, *error, 2);
  const std::string path = options.file.empty() ? configuration->settingsFile() : options.file;
  failOn(context, configuration->SaveKonfig(path));
  std::cout << name << " := " << settings.fileValue(index) << '\n';
}

}  // namespace

void addSettingsCommand(CLI::App& app, Context& context) {
  CLI::App* command = app.add_subcommand("settings", "List, read or change the saved settings");
  command->require_subcommand(1);
  auto options = std::make_shared<SettingsOptions>();
  const auto addFile = [&](CLI::App* sub) {
    sub->add_option("--file", options->file, "A settings file instead of the current one")->type_name("F.mcc");
  };

  CLI::App* list = command->add_subcommand("list", "Every setting: shown value and unit, stored value");
  addFile(list);
  list->callback([&context, options] { listSettings(context, *options); });

  CLI::App* get = command->add_subcommand("get", "The stored value of one setting, as the file holds it");
  get->add_option("NAME", options->name, "Component name of the setting, e.g. WorkSpeed")->required();
  addFile(get);
  get->callback([&context, options] { getSetting(context, *options); });

  CLI::App* set = command->add_subcommand("set", "Change one setting and save the settings file");
  set->add_option("NAME=VALUE", options->assignment, "e.g. WorkSpeed=250 (lengths in millimetres)")->required();
  addFile(set);
  set->callback([&context, options] { setSetting(context, *options); });
}

}  // namespace trazvik::cli
