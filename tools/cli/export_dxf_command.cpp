// trazvik-cli export-dxf FILE -o OUT.dxf: the 3-D paths of a project as a
// DXF drawing of 3-D polylines, in millimetres.
//
// The file is opened as the program opens it (with the settings given), so
// a G-code program exports its moves as read, and drawings and plot files
// export the tool paths their preparation built.
#include "commands.h"
#include "project_loading.h"

#include <CLI/CLI.hpp>

#include <cstring>
#include <iostream>
#include <memory>

namespace trazvik::cli {
namespace {

struct ExportOptions {
  ProjectOptions project;
  std::string output;
};

void runExport(Context& context, const ExportOptions& options) {
  const LoadedProject loaded = loadProject(context, options.project);
  const int rc = loaded.project->ZapiszDXF(options.output);
  if (rc != 0) {
    std::cerr << options.output << ": the file cannot be written (" << std::strerror(rc) << ")\n";
    throw CommandFailed(1, "the file could not be written");
  }
  std::size_t written = 0;
  for (const auto& f : loaded.project->fig) written += f->sp.empty() ? 0 : 1;
  std::cout << options.output << ": " << written << (written == 1 ? " polyline" : " polylines") << '\n';
}

}  // namespace

void addExportDxfCommand(CLI::App& app, Context& context) {
  auto options = std::make_shared<ExportOptions>();
  CLI::App* command = app.add_subcommand("export-dxf", "Write the 3-D paths of a project as a DXF drawing");
  addProjectOptions(*command, options->project);
  command->add_option("-o,--output", options->output, "DXF file to write (replaced when it exists)")->required();
  command->callback([&context, options] { runExport(context, *options); });
}

}  // namespace trazvik::cli
