#include "prepare/outline.h"

#include "geometry/numeric.h"
#include "geometry/points.h"
#include "geometry/units.h"
#include "layers/warstwy.h"
#include "prepare/plane_math.h"
#include "prepare/polygon_offset.h"
#include "prepare/toolpath.h"

#include <cmath>
#include <utility>

namespace trazvik {
namespace {

double unitsPerMm(int fileType) { return fromMm(fileType, 1.0); }

// Millimetres of an offset to file units at the drawing's scale.
double offsetUnits(double mm, const PrepareSettings& s, int fileType) {
  const double scale = s.skala > 0 && std::isfinite(s.skala) ? s.skala / 100 : 1;
  return roundEven(mm / scale * unitsPerMm(fileType));
}

std::vector<trealpoint> offsetFigure(const tfigura& f, double r, bool negatyw, bool* collapsed = nullptr) {
  if (f.otwarta || !(r > 0)) return f.p;
  prepare::OffsetResult result = prepare::offsetClosedPolygon(f.p, r, offsetSide(f, negatyw));
  if (collapsed != nullptr) *collapsed = result.collapsed;
  return std::move(result.outline);
}

prepare::DescentPlan descentFor(const tfigura& f, const PrepareSettings& s, const OutlineProject& project) {
  const double upm = unitsPerMm(project.ImportFileType);
  const double top = s.grubosc + s.ponad_stol;
  double depth = s.Glebokosc;
  if (s.multiLayer && project.warstwy != nullptr) depth = project.warstwy->getGlebokosc(f.org_color);
  const double bottom = top - depth;
  const bool spiral = s.cbZejsciePoSpirali && !s.isLaser;
  const double pitch = s.isLaser ? 100 : s.skok;
  const bool polish = s.polerowanie && !f.otwarta;
  prepare::DescentPlan plan;
  plan.bottom = bottom * upm;
  plan.floor = (polish ? bottom + s.Poler_start : bottom) * upm;
  // A drill point always goes down from the surface: at the bottom alone
  // its two points would be one, and the job writer drills nothing.
  plan.start = (spiral || f.otwor ? top : bottom) * upm;
  plan.pitch = pitch * upm;
  plan.tolerance = (polish ? 0.001 : 0.0001) * upm;
  plan.polish = polish;
  return plan;
}

// Builds sp of one figure and its own lengths (millimetres).
void buildToolpath(tfigura& f, const PrepareSettings& s, const OutlineProject& project) {
  const int type = project.ImportFileType;
  const prepare::DescentPlan plan = descentFor(f, s, project);
  const std::vector<trealpoint>& path = s.polerowanie ? f.dp : f.op;
  prepare::ToolpathLengths lengths;
  if (f.otwarta) {
    f.obwod = prepare::polylineLength(path);
    lengths = prepare::openToolpath(path, plan, f.sp);
  } else {
    f.obwod = path.empty() ? 0 : prepare::polylineLength(path) + dist(path.front(), path.back());
    lengths = prepare::closedToolpath(path, f.op, plan, f.sp);
  }
  f.lenwork = toMm(type, lengths.work);
  f.lenpol = toMm(type, lengths.polish);
  const double top = (s.grubosc + s.ponad_stol) * unitsPerMm(type);
  f.lenz = f.sp.empty() ? 0 : toMm(type, std::max(0.0, top - f.sp.front().z) + std::max(0.0, top - f.sp.back().z));
}

// Travel: from the project's corner to the first toolpath, from the end of
// each figure (its last point when open, else its first) to the start of
// the next, and back to the corner from the end of the last one.
double travelLength(tListaFigur& figury, const OutlineProject& project) {
  const trpoint3d corner{project.pp.x, project.pp.y, 100};
  trpoint3d at = corner;
  double total = 0;
  for (auto& f : figury) {
    if (f->sp.empty()) {
      f->lenPrzes = 0;
      continue;
    }
    const double d = dist3d(at, f->sp.front());
    f->lenPrzes = toMm(project.ImportFileType, d);
    total += d;
    at = f->otwarta ? f->sp.back() : f->sp.front();
  }
  return total + dist3d(at, corner);
}

}  // namespace

int offsetSide(const tfigura& f, bool negatyw) {
  const bool evenLevel = f.poziom % 2 == 0;
  int side = (evenLevel && f.dir == -1) || (!evenLevel && f.dir == 1) ? -1 : 1;
  return negatyw ? -side : side;
}

double dajSredniceFrezuNaFigurze(const tListaFigur& figury, int nrFig, const PrepareSettings& s,
                                 const tWarstwy* warstwy) {
  if (s.multiLayer && s.headCount > 1 && warstwy != nullptr && nrFig >= 0 &&
      static_cast<std::size_t>(nrFig) < figury.size()) {
    return warstwy->getSrednicaFrezu(figury[static_cast<std::size_t>(nrFig)]->org_color);
  }
  return s.srednica;
}

OutlineTotals AddOutline(tListaFigur& figury, const PrepareSettings& s, const OutlineProject& project) {
  OutlineTotals totals;
  const int type = project.ImportFileType;
  const bool offsets = !project.grawer && type != kFileTypeBitmap;
  for (std::size_t i = 0; i < figury.size(); ++i) {
    tfigura& f = *figury[i];
    const double radiusMm =
        offsets && s.doOutline ? dajSredniceFrezuNaFigurze(figury, static_cast<int>(i), s, project.warstwy) / 2 : 0;
    if (s.polerowanie && offsets) {
      f.dp = offsetFigure(f, offsetUnits(radiusMm + s.poler_grubosc, s, type), s.negatyw);
    } else {
      f.dp = f.p;
    }
    f.narrowerThanTool = false;
    f.op = radiusMm > 0 ? offsetFigure(f, offsetUnits(radiusMm, s, type), s.negatyw, &f.narrowerThanTool) : f.p;
    if (project.grawer || type == kFileTypeBitmap) {
      f.sp.clear();
      f.obwod = f.lenwork = f.lenpol = f.lenz = 0;
    } else {
      buildToolpath(f, s, project);
    }
    totals.total_lenwork += f.lenwork;
    totals.total_lenpol += f.lenpol;
    totals.total_lenz += f.lenz;
  }
  totals.total_lenprzes = toMm(type, travelLength(figury, project));
  totals.travelHeight = s.grubosc + s.ponad_stol + s.nadmat - (s.isLaser && s.laserZAxis ? s.grubosc : 0);
  return totals;
}

}  // namespace trazvik
