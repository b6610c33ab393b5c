// Speed of hatching on letter-like figures with holes
// (DXF units, 10 mm letters on a 12 mm grid), one core.
//
//   bench_prepare_hatch [letters] [spacing_mm]
//
// Hatching is timed for a quarter, a half, the whole and twice the number
// of letters: the time per letter stays level when the scan lines meet only
// the outline segments their band can reach (lines x segments would grow
// with the square of the size).
#include "shapes.h"
#include "prepare/hatching.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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

tListaFigur letters(int count) {
  std::mt19937 rng(8);
  tListaFigur figury;
  int index = 0;
  for (int i = 0; i < count; ++i) {
    const double cx = (i % 40) * 1200.0, cy = (i / 40) * 1200.0;
    figury.push_back(figureOf(bench::blob(rng, cx, cy, 450, 96), index++));
    figury.push_back(figureOf(bench::reverseOf(bench::blob(rng, cx, cy, 200, 48)), index++));
  }
  return figury;
}

double seconds(std::clock_t since) { return static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC; }

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  const double spacingMm = argc > 2 ? std::atof(argv[2]) : 0.2;
  std::printf("hatching at %.2f mm, 30 degrees (processor time)\n", spacingMm);
  for (int n : {count / 4, count / 2, count, 2 * count}) {
    tListaFigur figury = letters(n);
    const std::size_t ilosc = figury.size();
    tParametryKreskowania p;
    p.odstep = spacingMm * 100;
    p.katStopnie = 30;
    p.lo = {-1000, -1000};
    p.hi = {40 * 1200.0, (n / 40 + 1) * 1200.0};
    p.margines = 300;
    const std::clock_t c0 = std::clock();
    const tWynikKreskowania w = DodajKreski(figury, ilosc, p);
    const double s = seconds(c0);
    std::printf("  %5d letters: %8zu hatch lines in %.3f s, %.1f us per letter\n", n, w.kreski, s, s * 1e6 / n);
  }

  return 0;
}
