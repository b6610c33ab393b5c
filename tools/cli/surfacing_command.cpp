// trazvik-cli surfacing -o FILE ...: the table surfacing program, written as
// the service-mode generator "Planowanie stołu" writes it.
#include "commands.h"

#include "prepare/table_surfacing.h"
#include "texts/interfejs.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

namespace trazvik::cli {

void addSurfacingCommand(CLI::App& app, Context& context) {
  auto d = std::make_shared<tDanePlanowaniaStolu>();
  CLI::App* command = app.add_subcommand(
      "surfacing", "Write the G-code program that mills the machine's table flat (a zig-zag of passes along Y)");
  command->add_option("-o,--output", d->sSciezkaPlikuNC, "G-code file to write (replaced when it exists)")->required();
  command->add_option("--max-x", d->Max_X, "Width of the surfaced area in X, mm")->required();
  command->add_option("--max-y", d->Max_Y, "Length of the surfaced area in Y, mm")->required();
  command->add_option("--depth", d->glebokosc_Z, "Milling depth, mm (positive)")->required();
  command->add_option("--spacing", d->odstep_kresek, "Spacing of the passes in X, mm")->required();
  command->add_option("--feed", d->szybkosc_F, "Feed written as F, mm/min")->capture_default_str();
  command->add_option("--spindle", d->obroty_S, "Spindle speed written as S")->capture_default_str();
  command->callback([&context, d] {
    if (!danePlanowaniaPoprawne(*d)) {
      context.texts().messageBox(kBledneDanePlanowania, true, kGeneratorPlanowania);
      throw CommandFailed(2, kBledneDanePlanowania);
    }
    std::string error;
    if (!zapiszPlanowanieStolu(*d, error)) {
      context.texts().messageBox(error, true);
      throw CommandFailed(1, error);
    }
    std::cout << d->sSciezkaPlikuNC << ": " << programPlanowaniaStolu(*d).size() << " blocks\n";
  });
}

}  // namespace trazvik::cli
