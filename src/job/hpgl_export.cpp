#include "job/hpgl_export.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace trazvik {

namespace {

std::int64_t wholeUnits(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<std::int64_t>(std::clamp(std::nearbyint(v), -2147483647.0, 2147483647.0));
}

void appendPoint(std::string& out, const char* command, double x, double y) {
  out += command;
  out += std::to_string(wholeUnits(x));
  out += ',';
  out += std::to_string(wholeUnits(y));
  out += ";\r\n";
}

void appendPen(std::string& out, std::int32_t colour, bool penMayChange, tHpglPen& pen) {
  if (pen.written && (!penMayChange || pen.last_pen == colour)) return;
  out += "SP " + std::to_string(colour) + ";\r\n";
  pen.written = true;
  pen.last_pen = colour;
}

// One list as a pen-down stroke. Point is trealpoint or trpoint3d; only x
// and y are written.
template <class Point>
void appendList(std::string& out, const std::vector<Point>& points, std::int32_t colour, bool penMayChange,
                bool skipRepeats, tHpglPen& pen) {
  if (points.size() < 2) return;
  appendPen(out, colour, penMayChange, pen);
  appendPoint(out, "PA ", points.front().x, points.front().y);
  for (std::size_t i = 1; i < points.size(); ++i) {
    const Point& q = points[i];
    if (skipRepeats && q.x == points[i - 1].x && q.y == points[i - 1].y) continue;
    appendPoint(out, "PD ", q.x, q.y);
  }
  out += "PU;\r\n";
}

}  // namespace

void appendHpglFigure(std::string& out, const tfigura& f, bool wszystkieWjednej, tHpglPen& pen) {
  appendList(out, f.p, f.org_color, true, false, pen);
  appendList(out, f.op, f.org_color, !wszystkieWjednej, true, pen);
  appendList(out, f.sp, f.org_color, !wszystkieWjednej, false, pen);
}

void appendHpglFigure(Bytes& out, const tfigura& f, bool wszystkieWjednej, tHpglPen& pen) {
  std::string text;
  appendHpglFigure(text, f, wszystkieWjednej, pen);
  out.insert(out.end(), text.begin(), text.end());
}

void writeHpglFigure(const tfigura& fig, bool wszystkieWjednej, int& last_pen, Bytes& out) {
  tHpglPen pen{last_pen != 0, last_pen};
  appendHpglFigure(out, fig, wszystkieWjednej, pen);
  last_pen = pen.last_pen;
}

std::string hpglExportText(const std::vector<const tfigura*>& figures, bool wszystkieWjednej) {
  std::string out;
  tHpglPen pen;
  for (const tfigura* f : figures) {
    if (f != nullptr) appendHpglFigure(out, *f, wszystkieWjednej, pen);
  }
  return out;
}

}  // namespace trazvik
