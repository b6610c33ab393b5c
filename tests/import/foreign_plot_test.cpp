// Plot files written by another program (pstoedit, from
// tests/fixtures/pstoedit_shapes.ps) read as the drawing they came from.
#include "import/read_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace trazvik::import {
namespace {

struct PsPoint {
  double x, y;
};

// How the writer placed PostScript points in plotter units.
struct Placement {
  const char* file;
  double scale, offsetX, offsetY, tolerance;
  std::vector<std::int32_t> pens;  // triangle, zigzag, square, circle
  std::vector<double> widths;
};

const std::vector<std::vector<PsPoint>> kPolylines = {
    {{100, 100}, {200, 100}, {200, 200}, {100, 100}},           // closed triangle
    {{20, 250}, {60, 280}, {100, 250}, {140, 280}},             // open zigzag
    {{250, 50}, {350, 50}, {350, 150}, {250, 150}, {250, 50}},  // closed square
};
constexpr PsPoint kCircleCentre{300, 230};
constexpr double kCircleRadius = 40;

TEST(ForeignPlotFiles, PstoeditExportsReadAsTheirDrawing) {
  const Placement placements[] = {
      // 1 pt = 25.4/72 mm, 40 units per mm; this writer truncates.
      {"pstoedit_shapes.plt", 40 * 25.4 / 72, 0, 0, 1.0, {1, 2, 3, 1}, {1, 1, 1, 1}},
      // libplot's writer centres the page, draws with PA while the pen is
      // down, and writes user units: SC 0..10000 onto IP 0..8128.
      {"pstoedit_shapes_libplot.plt", 12.63 * 0.8128, 1135.75 * 0.8128, 0, 1.5, {2, 5, 3, 2}, {0.0893, 0, 0, 0.0893}},
  };
  for (const Placement& w : placements) {
    const tFigureFile file = readFigureFile(std::string(TRAZVIK_FIXTURES) + "/" + w.file, kFileTypeHpgl);
    ASSERT_TRUE(file.ok()) << file.errorText(w.file);
    ASSERT_EQ(file.figures.size(), 4u) << w.file;
    const auto place = [&](PsPoint p) { return trealpoint{p.x * w.scale + w.offsetX, p.y * w.scale + w.offsetY}; };

    for (std::size_t i = 0; i < file.figures.size(); ++i) {
      EXPECT_EQ(file.figures[i]->org_color, w.pens[i]) << w.file << " #" << i;
      EXPECT_DOUBLE_EQ(file.figures[i]->width, w.widths[i]) << w.file << " #" << i;
      EXPECT_TRUE(file.figures[i]->valid) << w.file << " #" << i;
    }
    for (std::size_t i = 0; i < kPolylines.size(); ++i) {
      const tfigura& f = *file.figures[i];
      ASSERT_EQ(f.p.size(), kPolylines[i].size()) << w.file << " #" << i;
      for (std::size_t k = 0; k < f.p.size(); ++k) {
        const trealpoint want = place(kPolylines[i][k]);
        EXPECT_NEAR(f.p[k].x, want.x, w.tolerance) << w.file << " #" << i << " point " << k;
        EXPECT_NEAR(f.p[k].y, want.y, w.tolerance) << w.file << " #" << i << " point " << k;
      }
    }
    EXPECT_FALSE(file.figures[0]->otwarta);
    EXPECT_TRUE(file.figures[1]->otwarta);
    EXPECT_FALSE(file.figures[2]->otwarta);

    const tfigura& circle = *file.figures[3];
    EXPECT_FALSE(circle.otwarta) << w.file;
    EXPECT_GT(circle.p.size(), 30u) << w.file;
    const trealpoint centre = place(kCircleCentre);
    for (const trealpoint& p : circle.p) {
      EXPECT_NEAR(std::hypot(p.x - centre.x, p.y - centre.y), kCircleRadius * w.scale, 2 * w.tolerance) << w.file;
    }
  }
}

}  // namespace
}  // namespace trazvik::import
