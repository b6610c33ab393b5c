// trazvik-cli hatch FILE --spacing MM --angle DEG: the project hatched as
// the hatching dialog hatches it, printed as `open` prints a project (each
// hatch line a figure of its own), and drawn with -o.
#include "commands.h"
#include "project/hatching_form.h"
#include "project/preview_scene.h"
#include "project_loading.h"
#include "project_report.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace trazvik::cli {

void addHatchCommand(CLI::App& app, Context& context) {
  CLI::App* command = app.add_subcommand("hatch", "Fill the closed figures of a design file with hatch lines");
  struct Options {
    ProjectOptions project;
    tUstawieniaKreskowania hatching;
    bool black = false;
    bool json = false;
    std::string picture;
  };
  auto o = std::make_shared<Options>();
  addProjectOptions(*command, o->project);
  command->add_option("--spacing", o->hatching.Odstep, "Spacing of the lines, mm")->required();
  command->add_option("--angle", o->hatching.Kat, "Angle of the lines, degrees")->required();
  command->add_flag("--both-ways", o->hatching.kreskiDwukierunkowo, "Cut every second scan line the other way");
  command->add_flag("--contours", o->hatching.WytnijObrys, "Cut the contours too");
  command->add_flag("--black", o->black, "The lines take the black layer, not their figure's colour");
  command->add_flag("--json", o->json, "Print the project as JSON (hatch lines carry \"hatch\": true)");
  command->add_option("-o,--output", o->picture, "Also draw the hatched project: .png or .svg");
  command->callback([&context, o] {
    o->project.hatch = o->hatching;
    o->project.hatch->rgKolorDodawanychKresek = o->black ? 1 : 0;
    const LoadedProject loaded = loadProject(context, o->project);
    if (!o->picture.empty()) {
      const std::string error = zapiszPodglad(zbudujScenePodgladu(*loaded.project), o->picture, 1200, 900);
      if (!error.empty()) {
        context.texts().messageBox(o->picture + ": " + error, true);
        throw CommandFailed(2, error);
      }
    }
    std::cout << (o->json ? projectJson(*loaded.project) : projectText(*loaded.project));
  });
}

}  // namespace trazvik::cli
