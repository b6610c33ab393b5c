// Cross-check against an independent DXF library: ezdxf writes drawings with
// every entity kind the reader turns into figures, and reports its own
// bounding boxes and curve lengths; the reader's figures must agree.
#include "import/read_figures.h"

#include "../common/temp_folder.h"
#include "geometry/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace trazvik::import {
namespace {

struct Reference {
  std::string kind;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  double length = 0;
  double curvature = 0;  // largest curvature of the curve, 1/mm
  double refChord = 0;   // longest chord of the reference when it is itself a polyline
};

std::vector<Reference> readReferences(const std::string& path) {
  std::vector<Reference> out;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Reference r;
    if (fields >> r.kind >> r.minX >> r.minY >> r.maxX >> r.maxY >> r.length >> r.curvature >> r.refChord)
      out.push_back(r);
  }
  return out;
}

class DxfCrossCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string script = std::string(TRAZVIK_SOURCE_DIR) + "/tests/import/dxf_crosscheck.py";
    const std::string command = "/usr/bin/python3 '" + script + "' '" + folder_.path().string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_EQ(status, 0) << "the ezdxf cross-check could not run (" << command
                         << "); /usr/bin/python3 with python3-ezdxf is needed: run scripts/setup";
  }
  trazvik::testing::TempFolder folder_;
};

// Chord error of a polyline with chords up to c on a curve of curvature k:
// each chord is shorter than its arc by about c^3 k^2 / 24.
double chordShortfall(double length, double chord, double curvature) {
  return length * std::pow(chord * curvature, 2) / 24;
}

TEST_F(DxfCrossCheck, FiguresAgreeWithEzdxf) {
  for (const std::string name : {"r12", "r2018"}) {
    SCOPED_TRACE(name);
    const std::vector<Reference> refs = readReferences((folder_ / (name + ".ref")).string());
    ASSERT_GT(refs.size(), 10u);
    const std::string path = (folder_ / (name + ".dxf")).string();
    const tFigureFile file = readFigureFile(path, kFileTypeDxf);
    ASSERT_TRUE(file.ok()) << file.errorText(path);
    ASSERT_EQ(file.figures.size(), refs.size()) << "one figure per drawing entity";
    for (std::size_t i = 0; i < refs.size(); ++i) {
      const Reference& r = refs[i];
      const tfigura& f = *file.figures[i];
      SCOPED_TRACE("entity " + std::to_string(i) + " " + r.kind);
      const double mm = toMm(kFileTypeDxf, 1);
      EXPECT_NEAR(f.fig_pp.x * mm, r.minX, 0.01);
      EXPECT_NEAR(f.fig_pp.y * mm, r.minY, 0.01);
      EXPECT_NEAR(f.fig_pk.x * mm, r.maxX, 0.01);
      EXPECT_NEAR(f.fig_pk.y * mm, r.maxY, 0.01);
      double length = 0, longest = 0;
      for (std::size_t k = 1; k < f.p.size(); ++k) {
        const double d = std::hypot(f.p[k].x - f.p[k - 1].x, f.p[k].y - f.p[k - 1].y) * mm;
        length += d;
        longest = std::max(longest, d);
      }
      // Points are stored in single precision: a little slack per point.
      const double rounding = 1e-3 + 1e-7 * f.p.size() * std::max(std::fabs(r.maxX), std::fabs(r.maxY));
      const double shorter = chordShortfall(r.length, longest, r.curvature);
      const double longer = chordShortfall(r.length, r.refChord, r.curvature);
      EXPECT_GE(length, r.length - shorter - rounding) << "longest chord " << longest;
      EXPECT_LE(length, r.length + longer + rounding) << "longest chord " << longest;
    }
  }
}

}  // namespace
}  // namespace trazvik::import
