#include "project_loading.h"

#include "project/narrow_figures.h"
#include "texts/console_message_boxes.h"

#include "app/offline_job.h"
#include "project/open_project.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace trazvik::cli {

void addProjectOptions(CLI::App& command, ProjectOptions& options) {
  command
      .add_option("FILE", options.file,
                  "Design file: plot file (.plt, .hpgl, ...), .dxf, G-code (.nc, .ngc, .gcode, ...) or .bmp; "
                  "another extension is read by its content")
      ->required();
  command.add_option("--settings", options.settingsFile, "Settings file (.mcc) applied on top of the defaults")
      ->type_name("F.mcc");
  command.add_option("--set", options.sets, "One setting by its name, after the settings file (repeatable)")
      ->type_name("NAME=VALUE");
}

void addHatchOption(CLI::App& command, ProjectOptions& options) {
  command
      .add_option_function<std::string>(
          "--hatch",
          [&options](const std::string& text) {
            tUstawieniaKreskowania u;
            std::string error;
            if (!czytajOpcjeKreskowania(text, u, error)) throw CLI::ValidationError("--hatch", error);
            options.hatch = u;
          },
          "Hatch the closed figures first: spacing in mm, angle in degrees, and optionally both-ways, contours, "
          "black")
      ->type_name("MM,DEG[,both-ways][,contours]");
}

namespace {

void fail(Context& context, const std::string& text) {
  context.texts().messageBox(text, true);
  throw CommandFailed(2, text);
}

}  // namespace

std::unique_ptr<TDlgkonfig> loadSettings(Context& context, const ProjectOptions& options) {
  auto settings = std::make_unique<TDlgkonfig>();
  try {
    if (!options.settingsFile.empty()) app::applySettingsFile(*settings, options.settingsFile);
    for (const std::string& s : options.sets) app::applySettingAssignment(*settings, s);
  } catch (const app::tOfflineJobError& e) {
    fail(context, e.what());
  }
  return settings;
}

void printWarnings(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) std::cerr << line << '\n';
}

std::vector<std::string> narrowFigureWarnings(const TMDIChild& project, const texts::tInterfejs& texts) {
  const std::string text = opisFigurWezszych(project, texts);
  if (text.empty()) return {};
  return {project.sciezka + ": " + texts::consoleLineBreaks(text)};
}

LoadedProject loadProject(Context& context, const ProjectOptions& options) {
  LoadedProject loaded;
  loaded.settings = loadSettings(context, options);
  tOtwieranieProjektu o;
  o.spline = context.switches().spline;
  loaded.project = OtworzProjekt(options.file, *loaded.settings, context.texts(), o);
  // The reasons have been shown through the message boxes.
  if (!loaded.project) throw CommandFailed(2, "the file could not be opened");
  printWarnings(linieOstrzezen(*loaded.project));
  printWarnings(narrowFigureWarnings(*loaded.project, context.texts()));
  if (options.hatch) {
    std::string error;
    if (!zakreskujProjekt(*loaded.project, *options.hatch, loaded.settings->isLaser(), error))
      fail(context, options.file + ": " + error);
  }
  return loaded;
}

}  // namespace trazvik::cli
