// trazvik-cli figures FILE [--json] [--settings F.mcc] [--set NAME=VALUE]:
// the figures of a design file as the reader gives them (with the reader's
// settings taken from the same options as open), with their colour key, pen
// width, points, shape, bounding box and length in millimetres, and totals.
#include "commands.h"
#include "json_text.h"
#include "project_loading.h"

#include "geometry/points.h"
#include "geometry/units.h"
#include "import/read_figures.h"
#include "import/reader_settings.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <memory>

namespace trazvik::cli {
namespace {

struct FiguresOptions {
  ProjectOptions project;
  bool json = false;
};

const char* fileTypeName(int fileType) {
  switch (fileType) {
    case kFileTypeHpgl: return "HPGL plot file";
    case kFileTypeDxf: return "DXF drawing";
    case kFileTypeGcode: return "G-code program";
    case kFileTypeBitmap: return "bitmap";
    default: return "unknown";
  }
}

const char* unitsText(int fileType) {
  switch (fileType) {
    case kFileTypeHpgl: return "40 units per mm";
    case kFileTypeDxf:
    case kFileTypeGcode: return "100 units per mm";
    default: return "millimetres";
  }
}

double pathLength(const std::vector<trealpoint>& p) {
  double sum = 0;
  for (std::size_t i = 1; i < p.size(); ++i) sum += dist(p[i - 1], p[i]);
  return sum;
}

std::string fixed(double v, int decimals = 3) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

void printJson(const import::tFigureFile& file, std::ostream& out) {
  const int type = file.fileType;
  out << "{\"file_type\":" << type << ",\"figures\":[";
  for (std::size_t i = 0; i < file.figures.size(); ++i) {
    const tfigura& f = *file.figures[i];
    const std::vector<trealpoint> p = drawnPoints(f);
    out << (i ? ",\n" : "\n") << "{\"index\":" << i << ",\"color\":" << f.org_color
        << ",\"width\":" << jsonNumber(f.width) << ",\"open\":" << (f.otwarta ? "true" : "false")
        << ",\"valid\":" << (f.valid ? "true" : "false") << ",\"bbox_mm\":[" << jsonNumber(toMm(type, f.fig_pp.x))
        << ',' << jsonNumber(toMm(type, f.fig_pp.y)) << ',' << jsonNumber(toMm(type, f.fig_pk.x)) << ','
        << jsonNumber(toMm(type, f.fig_pk.y)) << "],\"length_mm\":" << jsonNumber(toMm(type, pathLength(p)))
        << ",\"points\":[";
    for (std::size_t k = 0; k < p.size(); ++k) {
      out << (k ? "," : "") << '[' << jsonNumber(p[k].x) << ',' << jsonNumber(p[k].y) << ']';
    }
    out << "]}";
  }
  out << "\n]}\n";
}

void printTable(const std::string& path, const import::tFigureFile& file, std::ostream& out) {
  const int type = file.fileType;
  out << path << ": " << fileTypeName(type) << " (type " << type << "), " << unitsText(type) << '\n';
  std::size_t valid = 0, closed = 0, points = 0;
  double length = 0;
  trealpoint lo{kUnset, kUnset}, hi{-kUnset, -kUnset};
  char line[256];
  std::snprintf(line, sizeof line, "%6s %7s %8s %7s %-6s %-5s %10s %10s %10s %10s %11s\n", "index", "colour", "width",
                "points", "shape", "valid", "xmin mm", "ymin mm", "xmax mm", "ymax mm", "length mm");
  out << line;
  for (std::size_t i = 0; i < file.figures.size(); ++i) {
    const tfigura& f = *file.figures[i];
    const std::vector<trealpoint> p = drawnPoints(f);
    const double mm = toMm(type, pathLength(p));
    std::snprintf(line, sizeof line, "%6zu %7d %8s %7zu %-6s %-5s %10s %10s %10s %10s %11s\n", i, f.org_color,
                  fixed(f.width).c_str(), p.size(), f.otwarta ? "open" : "closed", f.valid ? "yes" : "no",
                  fixed(toMm(type, f.fig_pp.x)).c_str(), fixed(toMm(type, f.fig_pp.y)).c_str(),
                  fixed(toMm(type, f.fig_pk.x)).c_str(), fixed(toMm(type, f.fig_pk.y)).c_str(), fixed(mm).c_str());
    out << line;
    valid += f.valid ? 1 : 0;
    closed += f.otwarta ? 0 : 1;
    points += p.size();
    length += mm;
    lo = {std::min(lo.x, f.fig_pp.x), std::min(lo.y, f.fig_pp.y)};
    hi = {std::max(hi.x, f.fig_pk.x), std::max(hi.y, f.fig_pk.y)};
  }
  const std::size_t count = file.figures.size();
  out << "total: " << count << (count == 1 ? " figure" : " figures") << " (" << valid << " valid, " << closed
      << " closed, " << count - closed << " open), " << points << " points, length " << fixed(length) << " mm\n";
  if (count > 0) {
    out << "extent: " << fixed(toMm(type, lo.x)) << ' ' << fixed(toMm(type, lo.y)) << " to " << fixed(toMm(type, hi.x))
        << ' ' << fixed(toMm(type, hi.y)) << " mm (" << fixed(toMm(type, hi.x - lo.x)) << " x "
        << fixed(toMm(type, hi.y - lo.y)) << " mm)\n";
  }
}

[[noreturn]] void failFigures(const std::string& text) {
  std::cerr << text << '\n';
  throw CommandFailed(1, text);
}

void runFigures(Context& context, const FiguresOptions& options) {
  const std::string& path = options.project.file;
  const std::unique_ptr<TDlgkonfig> settings = loadSettings(context, options.project);
  const import::tDesignFileType type = import::designFileType(path);
  if (type.fileType == 0) failFigures(type.problem);
  const import::tFigureFile file =
      import::readFigureFile(path, type.fileType, import::readerSettings(*settings, context.switches().spline));
  if (!file.ok()) failFigures(file.errorText(path));
  std::vector<std::string> warnings;
  for (const import::tReadWarning& w : file.warnings.list()) warnings.push_back(w.text(path));
  if (file.figures.empty()) {
    // What the reader passed over is often why nothing is left.
    printWarnings(warnings);
    failFigures(path + ": the file holds no figure");
  }
  printWarnings(warnings);
  if (options.json)
    printJson(file, std::cout);
  else
    printTable(path, file, std::cout);
}

}  // namespace

void addFiguresCommand(CLI::App& app, Context& context) {
  auto options = std::make_shared<FiguresOptions>();
  CLI::App* command = app.add_subcommand("figures", "List the figures of a design file with their size and length");
  addProjectOptions(*command, options->project);
  command->add_flag("--json", options->json, "One JSON object for scripts: file_type and figures");
  command->callback([&context, options] { runFigures(context, *options); });
}

}  // namespace trazvik::cli
