// Time of the preparation steps on a project of letter-like figures with
// holes (nesting depth up to 3) and open strokes: nesting, direction,
// order and the outline with toolpaths, one core.
//
//   bench_prepare_steps [letters] [strokes]
#include "shapes.h"
#include "prepare/containment.h"
#include "prepare/cutting_order.h"
#include "prepare/direction.h"
#include "prepare/outline.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>

using namespace trazvik;

namespace {

std::unique_ptr<tfigura> figureOf(std::vector<trealpoint> pts, int index) {
  auto f = std::make_unique<tfigura>();
  f->p = std::move(pts);
  finishFigureShape(*f, 2);
  f->op = f->p;
  f->dp = f->p;
  f->org_index = index;
  f->tocut = true;
  return f;
}

// Processor time of the step (the machine may be shared) and wall time.
double timed(const char* what, const std::function<void()>& step) {
  const std::clock_t c0 = std::clock();
  const auto t0 = std::chrono::steady_clock::now();
  step();
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  std::printf("  %-28s %.3f s processor, %.3f s wall\n", what, cpu, wall);
  return cpu;
}

}  // namespace

int main(int argc, char** argv) {
  const int letters = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int strokes = argc > 2 ? std::atoi(argv[2]) : 5000;
  std::mt19937 rng(8);
  tListaFigur figury;
  int index = 0;
  // Letters on a grid, 10 mm apart (plot file units): an outer contour, a
  // hole in most, an island in some holes and a dot in some islands.
  for (int i = 0; i < letters; ++i) {
    const double cx = (i % 200) * 400.0, cy = (i / 200) * 400.0;
    figury.push_back(figureOf(bench::blob(rng, cx, cy, 150, 96), index++));
    if (i % 4 != 0) figury.push_back(figureOf(bench::reverseOf(bench::blob(rng, cx, cy, 70, 48)), index++));
    if (i % 8 == 1) figury.push_back(figureOf(bench::blob(rng, cx, cy, 35, 24), index++));
    if (i % 16 == 1) figury.push_back(figureOf(bench::reverseOf(bench::blob(rng, cx, cy, 12, 12)), index++));
  }
  for (int i = 0; i < strokes; ++i) {
    const double x = (i % 100) * 800.0 + 200, y = -2000.0 - (i / 100) * 300.0;
    figury.push_back(figureOf({{x, y}, {x + 120, y + 40}, {x + 260, y - 20}, {x + 400, y + 60}}, index++));
  }
  std::size_t points = 0;
  for (const auto& f : figury) points += f->p.size();
  std::printf("%zu figures, %zu points\n", figury.size(), points);

  PrepareSettings s;  // defaults: 3 mm tool, inner first, centre outwards, nests together
  s.Order_global = 4;
  OutlineProject project;
  project.ImportFileType = 1;
  double total = 0;
  total += timed("nesting (co_w_czym)", [&] { co_w_czym(figury); });
  total += timed("direction", [&] {
    JakiKierunek(figury, -1);
    UstawKierunek(figury, s);
  });
  total += timed("order (UstawKolejnosc)", [&] { UstawKolejnosc(figury, s, 0); });
  OutlineTotals totals;
  total += timed("outline and toolpaths", [&] { totals = AddOutline(figury, s, project); });
  std::printf("  %-28s %.3f s processor\n", "all steps", total);
  std::printf("cut length %.0f mm, travel %.0f mm\n", totals.total_lenwork, totals.total_lenprzes);
  return 0;
}
