// trazvik-cli open FILE: the project as the program prepares it — figures
// with nesting, direction, order, cut flag, frame and drill marks; layers;
// lengths and estimated time.
#include "commands.h"
#include "project_loading.h"
#include "project_report.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace trazvik::cli {

void addOpenCommand(CLI::App& app, Context& context) {
  CLI::App* command = app.add_subcommand("open", "Open a design file as a project and show how it is prepared");
  auto options = std::make_shared<ProjectOptions>();
  auto json = std::make_shared<bool>(false);
  addProjectOptions(*command, *options);
  command->add_flag("--json", *json, "Print the project as JSON (the figures object with the project's fields)");
  command->callback([&context, options, json] {
    const LoadedProject loaded = loadProject(context, *options);
    std::cout << (*json ? projectJson(*loaded.project) : projectText(*loaded.project));
  });
}

}  // namespace trazvik::cli
