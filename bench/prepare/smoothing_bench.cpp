// Speed of the Bezier smoothing of outlines: fitting, tangent alignment and
// the choice of interpolation steps on letter-like outlines (DXF units,
// 9 mm blobs of 96 points and 4 mm holes of 48), one core.
//
//   bench_prepare_smoothing [outlines]
#include "shapes.h"
#include "prepare/bezier_chain.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace trazvik;

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  std::mt19937 rng(8);
  std::vector<std::vector<trealpoint>> outlines;
  for (int i = 0; i < count; ++i) {
    const double cx = (i % 40) * 1200.0, cy = (i / 40) * 1200.0;
    outlines.push_back(i % 2 == 0 ? bench::blob(rng, cx, cy, 450, 96) : bench::blob(rng, cx, cy, 200, 48));
  }
  const prepare::BezierLimits limits{5, 0.5, 0.94};  // 0.05 mm, 0.005 mm
  std::size_t segments = 0, points = 0;
  std::vector<prepare::FittedChain> chains;
  chains.reserve(outlines.size());
  const std::clock_t c0 = std::clock();
  for (const auto& outline : outlines) {
    prepare::FittedChain chain = prepare::PrzyblizFigure(outline, true, limits);
    prepare::WygladzWGranicach(chain, true, limits);
    for (tBezier& b : chain.segments) prepare::DobierzU(b, 1.0);  // one step of 0.01 mm
    segments += chain.segments.size();
    points += outline.size();
    chains.push_back(std::move(chain));
  }
  const double s = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  // The check of the result is not part of the time.
  double worst = 0;
  for (const auto& chain : chains) worst = std::max(worst, prepare::chainError(chain));
  std::printf(
      "%d outlines, %zu points into %zu segments in %.3f s processor time: %.0f segments/s, %.0f points/s; "
      "largest distance of a point from its chain %.4f mm\n",
      count, points, segments, s, segments / s, points / s, worst / 100);
  return 0;
}
