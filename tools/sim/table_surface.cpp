#include "table_surface.h"

#include <cmath>
#include <sstream>
#include <vector>

namespace trazvik::sim {

double TableSurface::heightAt(double x, double y, double width, double depth) const {
  double z = heightMm + tiltX * x + tiltY * y;
  if (bowMm != 0 && width > 0 && depth > 0) {
    const double u = 2 * x / width - 1, v = 2 * y / depth - 1;
    z += bowMm * std::max(0.0, 1 - u * u) * std::max(0.0, 1 - v * v);
  }
  return z;
}

std::optional<TableSurface> parseTableSurface(const std::string& text, std::string& error) {
  std::vector<double> values;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, ',')) {
    std::istringstream number(part);
    double v = 0;
    if (!(number >> v) || !(number >> std::ws).eof() || !std::isfinite(v)) {
      error = "the table surface must be HEIGHT[,TILTX,TILTY[,BOW]] in millimetres, not \"" + text + "\"";
      return std::nullopt;
    }
    values.push_back(v);
  }
  if (values.size() != 1 && values.size() != 3 && values.size() != 4) {
    error = "the table surface takes 1, 3 or 4 numbers (HEIGHT[,TILTX,TILTY[,BOW]]), not \"" + text + "\"";
    return std::nullopt;
  }
  TableSurface s;
  s.heightMm = values[0];
  if (values.size() >= 3) {
    s.tiltX = values[1];
    s.tiltY = values[2];
  }
  if (values.size() == 4) s.bowMm = values[3];
  return s;
}

}  // namespace trazvik::sim
