// HPGL export of a project (output mode 1 of the job writer): the drawn
// points, the tool-centre outline and the 3-D path of every figure as plain
// HPGL text, pen by pen. No job header or trailer belongs to this form.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"
#include "geometry/figure.h"

#include <string>
#include <vector>

namespace trazvik {

// The pen last written, carried from figure to figure of one export.
struct tHpglPen {
  bool written = false;  // no "SP" line yet
  std::int32_t last_pen = 0;
};

// Appends the lines of one figure: its lists p, op and sp in that order,
// each that has at least two points, as
//   "SP <org_color>;"  when no pen was written yet, or when the pen changes
//                      (for op and sp only when `wszystkieWjednej` is off),
//   "PA x,y;"          the first point,
//   "PD x,y;"          every further point (in op a repeat of the point
//                      before it is left out),
//   "PU;"
// every line ended by CR LF. Coordinates are the file-unit values rounded
// to whole numbers (halves to even); values beyond the 32-bit range are held
// at its ends and a value that is not a number is written as 0, so the text
// stays readable by a plotter.
void appendHpglFigure(std::string& out, const tfigura& f, bool wszystkieWjednej, tHpglPen& pen);
void appendHpglFigure(Bytes& out, const tfigura& f, bool wszystkieWjednej, tHpglPen& pen);

// The same with the writer's pen state: `last_pen` is the last pen written,
// 0 while none was written yet (so a figure of colour 0 names its pen before
// each of its lists).
void writeHpglFigure(const tfigura& fig, bool wszystkieWjednej, int& last_pen, Bytes& out);

// The whole export of figures in list order, starting with no pen.
std::string hpglExportText(const std::vector<const tfigura*>& figures, bool wszystkieWjednej);

}  // namespace trazvik
