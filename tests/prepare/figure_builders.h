// Small figures for the preparation tests.
#pragma once
#include "geometry/figure.h"
#include "geometry/figure_list.h"

#include <memory>
#include <vector>

namespace trazvik::testing {

// A figure through the points, finished as the loader finishes figures
// (box, centre, lowest point, open flag).
inline std::unique_ptr<tfigura> figure(std::vector<trealpoint> pts, int orgIndex = 0) {
  auto f = std::make_unique<tfigura>();
  f->p = std::move(pts);
  finishFigureShape(*f, 0.01);
  f->op = f->p;
  f->dp = f->p;
  f->org_index = orgIndex;
  f->tocut = true;
  return f;
}

// A closed axis-parallel rectangle, counter-clockwise from its lower-left
// corner, first point repeated.
inline std::vector<trealpoint> rectangle(double x0, double y0, double x1, double y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

inline std::vector<trealpoint> reversed(std::vector<trealpoint> pts) { return {pts.rbegin(), pts.rend()}; }

}  // namespace trazvik::testing
