// trazvik-cli export-dxf FILE -o OUT.dxf: the 3-D paths of a project as a
// DXF drawing of 3-D polylines, in millimetres.
//
// A G-code project is cut as read, so its paths are the reader's moves. The
// paths of drawings and plot files come from preparing them as a project
// (outline and toolpath); that needs the project document's loading.
#include "commands.h"

#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "import/dxf_export.h"
#include "import/reader_settings.h"

#include <CLI/CLI.hpp>

#include <cstring>
#include <iostream>
#include <memory>

namespace trazvik::cli {
namespace {

struct ExportOptions {
  std::string file;
  std::string output;
};

void runExport(const ExportOptions& options) {
  const int type = import::fileTypeFromExtension(options.file);
  if (type != kFileTypeGcode) {
    std::cerr << options.file << ": export-dxf writes the paths of G-code programs (.nc); the tool paths of "
              << "drawings and plot files are not prepared by this command\n";
    throw CommandFailed(1, "file type not exported");
  }
  const TDlgkonfig konfig;
  const import::tFigureFile file = import::readFigureFile(options.file, type, import::readerSettings(konfig, false));
  if (!file.ok()) {
    std::cerr << file.errorText(options.file) << '\n';
    throw CommandFailed(1, "the file could not be read");
  }
  const int rc = import::ZapiszDXF(options.output, file.figures, type);
  if (rc != 0) {
    std::cerr << options.output << ": the file cannot be written (" << std::strerror(rc) << ")\n";
    throw CommandFailed(1, "the file could not be written");
  }
  std::size_t written = 0;
  for (const auto& f : file.figures) written += f->sp.empty() ? 0 : 1;
  std::cout << options.output << ": " << written << (written == 1 ? " polyline" : " polylines") << '\n';
}

}  // namespace

void addExportDxfCommand(CLI::App& app, Context& /*context*/) {
  auto options = std::make_shared<ExportOptions>();
  CLI::App* command = app.add_subcommand("export-dxf", "Write the 3-D paths of a project as a DXF drawing");
  command->add_option("FILE", options->file, "G-code program (.nc)")->required();
  command->add_option("-o,--output", options->output, "DXF file to write (replaced when it exists)")->required();
  command->callback([options] { runExport(*options); });
}

}  // namespace trazvik::cli
