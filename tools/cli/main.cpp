#include "commands.h"

#include "base/version_text.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
  CLI::App app{"Trazvik without windows: read design files, write and cut jobs, talk to controllers"};
  app.set_version_flag("--version", trazvik::base::programVersionText());
  app.require_subcommand(1);

  trazvik::cli::Context context;
  trazvik::cli::addSharedOptions(app, context);

  // Commands register here, one line each, after the shared options.
  trazvik::cli::addFrameCommand(app, context);
  trazvik::cli::addDumpCommand(app, context);
  trazvik::cli::addFiguresCommand(app, context);
  trazvik::cli::addSettingsCommand(app, context);
  trazvik::cli::addExportDxfCommand(app, context);
  trazvik::cli::addOpenCommand(app, context);
  trazvik::cli::addPreviewCommand(app, context);
  trazvik::cli::addJobCommand(app, context);
  trazvik::cli::addStatusCommand(app, context);
  trazvik::cli::addHomeCommand(app, context);
  trazvik::cli::addMoveCommand(app, context);
  trazvik::cli::addSendCommand(app, context);
  trazvik::cli::addCutCommand(app, context);
  trazvik::cli::addBurnCommand(app, context);
  trazvik::cli::addMultitestCommand(app, context);
  trazvik::cli::addSurfacingCommand(app, context);
  trazvik::cli::addHatchCommand(app, context);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const trazvik::cli::CommandFailed& e) {
    return e.exitCode;
  }
  return 0;
}
