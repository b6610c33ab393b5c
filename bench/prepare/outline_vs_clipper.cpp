// Throughput of the outline step (offset of closed figures by the tool
// radius) against Clipper's offset with round joins at the same arc
// precision (128 steps a turn), on the same letter-like polygons.
//
//   bench_prepare_outline [polygons] [corners]
#include "shapes.h"
#include "prepare/polygon_offset.h"

#include <polyclipping/clipper.hpp>

#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>

using namespace trazvik;

namespace {

// Processor time since c0 (the machine may be shared).
double seconds(std::clock_t c0) { return static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC; }

}  // namespace

int main(int argc, char** argv) {
  const int polygons = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int corners = argc > 2 ? std::atoi(argv[2]) : 120;
  // Letters about 8 mm high in plot file units (40 per mm), a 3 mm tool.
  constexpr double kRadius = 60;
  std::mt19937 rng(4);
  std::vector<std::vector<trealpoint>> shapes;
  for (int i = 0; i < polygons; ++i)
    shapes.push_back(bench::blob(rng, (i % 150) * 500.0, (i / 150) * 500.0, 160, corners));

  std::size_t ours = 0;
  const std::clock_t t0 = std::clock();
  for (const auto& s : shapes) {
    ours += prepare::offsetClosedPolygon(s, kRadius, -1).outline.size();  // grow (counter-clockwise, right side)
    ours += prepare::offsetClosedPolygon(s, kRadius, 1).outline.size();   // shrink
  }
  const double oursSeconds = seconds(t0);

  std::vector<ClipperLib::Path> paths;
  for (const auto& s : shapes) {
    ClipperLib::Path path;
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
      path.emplace_back(static_cast<ClipperLib::cInt>(s[i].x), static_cast<ClipperLib::cInt>(s[i].y));
    }
    paths.push_back(std::move(path));
  }
  std::size_t theirs = 0;
  const std::clock_t t1 = std::clock();
  for (const auto& path : paths) {
    for (double delta : {kRadius, -kRadius}) {
      ClipperLib::ClipperOffset offset;
      offset.ArcTolerance = kRadius * (1 - std::cos(3.14159265358979323846 / 128));
      offset.AddPath(path, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
      ClipperLib::Paths out;
      offset.Execute(out, delta);
      for (const auto& p : out) theirs += p.size();
    }
  }
  const double clipperSeconds = seconds(t1);

  const double offsets = 2.0 * polygons;
  std::printf("polygons: %d of %d corners, radius %.0f units, grown and shrunk (%.0f offsets)\n", polygons, corners,
              kRadius, offsets);
  std::printf("trazvik outline: %.3f s processor, %.0f offsets/s, %zu outline points\n", oursSeconds,
              offsets / oursSeconds, ours);
  std::printf("clipper offset:  %.3f s processor, %.0f offsets/s, %zu outline points\n", clipperSeconds,
              offsets / clipperSeconds, theirs);
  std::printf("ratio (trazvik throughput / clipper throughput): %.2f\n", clipperSeconds / oursSeconds);
  return 0;
}
