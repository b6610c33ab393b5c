#include "commands.h"

#include "build_info.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
  CLI::App app{"Trazvik without windows: read design files, write and cut jobs, talk to controllers"};
  app.set_version_flag("--version", trazvik::buildVersion());
  app.require_subcommand(1);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  return 0;
}
