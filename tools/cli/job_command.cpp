// trazvik-cli job FILE -o out.cnx --machine TYPE: the job of a design file
// for a machine type with no controller attached, written as the Start
// command writes it. The file is replaced whole or not at all.
#include "commands.h"
#include "project_loading.h"

#include "base/atomic_file.h"
#include "app/offline_job.h"
#include "geometry/units.h"
#include "project/open_project.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <memory>

namespace trazvik::cli {
namespace {

struct JobOptions {
  app::tOfflineJobRequest request;
  std::string output;
};

void runJob(Context& context, const JobOptions& o) {
  app::tOfflineJob job;
  try {
    job = app::writeOfflineJob(o.request, context.texts());
  } catch (const app::tOfflineJobError& e) {
    std::cerr << "job: " << e.what() << '\n';
    throw CommandFailed(2, e.what());
  }
  printWarnings(linieOstrzezen(*job.project));
  printWarnings(narrowFigureWarnings(*job.project, context.texts()));
  std::string error;
  const std::string_view bytes(reinterpret_cast<const char*>(job.bytes.data()), job.bytes.size());
  if (!base::writeFileAtomically(o.output, bytes, &error)) {
    std::cerr << "job: " << error << '\n';
    throw CommandFailed(1, error);
  }
  const tJobExtremes& e = job.state.extremes;
  std::cout << o.output << ": " << job.bytes.size() << " bytes for \"" << job.machine.model.machineType
            << "\" firmware " << o.request.machine.firmware << '\n';
  if (e.any()) {
    char line[160];
    std::snprintf(line, sizeof line, "reached: X %.3f to %.3f, Y %.3f to %.3f, Z %.3f to %.3f mm\n", e.minX, e.maxX,
                  e.minY, e.maxY, e.minZ, e.maxZ);
    std::cout << line;
  }
}

}  // namespace

void addJobCommand(CLI::App& app, Context& context) {
  auto o = std::make_shared<JobOptions>();
  CLI::App* command =
      app.add_subcommand("job", "Write the job of a design file for a machine type, without a controller");
  command
      ->add_option("FILE", o->request.design,
                   "Design file: plot file, .dxf or G-code; another extension is read by its content")
      ->required();
  command->add_option("-o,--output", o->output, "Job file to write (replaced when it exists)")->required();
  command->add_option("--machine", o->request.machine.type, "Machine type code (\"YFB 32\", \"YJB\", \"LFV\", ...)")
      ->required();
  command->add_option("--firmware", o->request.machine.firmware, "Controller firmware, level.minor[.build]")
      ->capture_default_str();
  command->add_option("--settings", o->request.settingsFile, "Settings file (.mcc) applied on top of the defaults")
      ->type_name("F.mcc");
  command->add_option("--set", o->request.sets, "One setting by its name, after the settings file (repeatable)")
      ->type_name("NAME=VALUE");
  command->add_option("--head", o->request.head, "Head of a single-layer job (1 to 3)")->capture_default_str();
  command
      ->add_option_function<std::string>(
          "--hatch",
          [o](const std::string& text) {
            tUstawieniaKreskowania u;
            std::string error;
            if (!czytajOpcjeKreskowania(text, u, error)) throw CLI::ValidationError("--hatch", error);
            o->request.hatch = u;
          },
          "Hatch the closed figures first: spacing in mm, angle in degrees, and optionally both-ways, contours, "
          "black")
      ->type_name("MM,DEG[,both-ways][,contours]");
  command->callback([&context, o] { runJob(context, *o); });
}

}  // namespace trazvik::cli
