// trazvik-cli preview FILE -o out.png|out.svg: a picture of the prepared
// project — figures, tool paths, entry points and the cutting order.
#include "commands.h"
#include "project/preview_scene.h"
#include "project_loading.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace trazvik::cli {

void addPreviewCommand(CLI::App& app, Context& context) {
  CLI::App* command = app.add_subcommand("preview", "Draw the prepared project into a PNG or SVG picture");
  struct Options {
    ProjectOptions project;
    std::string output;
    int width = 1200;
    int height = 900;
  };
  auto options = std::make_shared<Options>();
  addProjectOptions(*command, options->project);
  command->add_option("-o,--output", options->output, "Picture file: .png or .svg")->required();
  command->add_option("--width", options->width, "Width in pixels")->check(CLI::Range(16, 20000));
  command->add_option("--height", options->height, "Height in pixels")->check(CLI::Range(16, 20000));
  command->callback([&context, options] {
    const LoadedProject loaded = loadProject(context, options->project);
    const tScenaPodgladu scene = zbudujScenePodgladu(*loaded.project);
    const std::string error = zapiszPodglad(scene, options->output, options->width, options->height);
    if (!error.empty()) {
      context.texts().messageBox(options->output + ": " + error, true);
      throw CommandFailed(2, error);
    }
    std::cout << options->output << ": " << loaded.project->fig.size() << " figures drawn\n";
  });
}

}  // namespace trazvik::cli
