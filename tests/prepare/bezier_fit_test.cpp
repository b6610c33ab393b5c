// Bezier smoothing of outlines: every point of a shape lies within the
// tolerance of its fitted chain, segments join smoothly exactly where the
// outline runs on smoothly, interpolation steps keep each move within one
// controller step, and the 3-D chain descends as the toolpath does.
#include "../common/bezier_distance.h"
#include "prepare/bezier_chain.h"
#include "prepare/bezier_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace trazvik {
namespace {

using prepare::BezierLimits;
using prepare::FittedChain;

// DXF file units: 0.05 mm is 5, 0.005 mm is 0.5.
BezierLimits limits() { return {5, 0.5, 0.94}; }

std::vector<trealpoint> arc(double cx, double cy, double r, double from, double to, int chords) {
  std::vector<trealpoint> pts;
  for (int i = 0; i <= chords; ++i) {
    const double a = from + (to - from) * i / chords;
    pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return pts;
}

std::vector<trealpoint> closed(std::vector<trealpoint> pts) {
  pts.push_back(pts.front());
  return pts;
}

std::vector<trealpoint> rectangle() { return {{0, 0}, {4000, 0}, {4000, 2500}, {0, 2500}, {0, 0}}; }
std::vector<trealpoint> circle() { return arc(0, 0, 3000, 0, 2 * std::numbers::pi, 240); }
std::vector<trealpoint> star() {
  std::vector<trealpoint> pts;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 == 0 ? 4000 : 1600, a = std::numbers::pi / 2 + i * std::numbers::pi / 5;
    pts.push_back({r * std::cos(a), r * std::sin(a)});
  }
  return closed(pts);
}
// Two half circles joined by straight sides.
std::vector<trealpoint> roundedSlot() {
  std::vector<trealpoint> pts = arc(5000, 0, 800, -std::numbers::pi / 2, std::numbers::pi / 2, 40);
  const auto left = arc(0, 0, 800, std::numbers::pi / 2, 3 * std::numbers::pi / 2, 40);
  pts.insert(pts.end(), left.begin(), left.end());
  return closed(pts);
}
// An ellipse drawn with uneven chords, and an S-curve left open.
std::vector<trealpoint> ellipse() {
  std::vector<trealpoint> pts;
  for (int i = 0; i < 150; ++i) {
    const double t = 2 * std::numbers::pi * (i + 0.3 * std::sin(i)) / 150;
    pts.push_back({4000 * std::cos(t), 1500 * std::sin(t)});
  }
  return closed(pts);
}
std::vector<trealpoint> sCurve() {
  std::vector<trealpoint> pts = arc(0, 0, 1000, std::numbers::pi, 0, 60);
  const auto second = arc(2000, 0, 1000, std::numbers::pi, 2 * std::numbers::pi, 60);
  pts.insert(pts.end(), second.begin() + 1, second.end());
  return pts;
}

double angleOf(double x, double y) { return std::atan2(y, x); }

struct Shape {
  const char* name;
  std::vector<trealpoint> (*points)();
  bool closed;
  std::size_t maxSegments;  // the chain is much shorter than the outline
};

class SmoothedShape : public ::testing::TestWithParam<Shape> {};

TEST_P(SmoothedShape, EveryPointLiesWithinToleranceAndJointsAreSmoothOnlyWhereTheOutlineIs) {
  const Shape& s = GetParam();
  const auto pts = s.points();
  FittedChain fit = prepare::PrzyblizFigure(pts, s.closed, limits());
  ASSERT_FALSE(fit.segments.empty());
  prepare::WygladzWGranicach(fit, s.closed, limits());
  EXPECT_LE(fit.segments.size(), s.maxSegments);
  double worst = 0;
  for (const trealpoint& p : pts) worst = std::max(worst, testing::distanceToBezierChain(p, fit.segments));
  EXPECT_LE(worst, 5.0) << s.name << ": a point is " << worst / 100 << " mm from the chain";
  const std::size_t n = fit.segments.size();
  for (std::size_t i = 0; i < n; ++i) {
    const tBezier& a = fit.segments[i];
    // Consecutive segments meet.
    if (i + 1 < n || s.closed) {
      const tBezier& b = fit.segments[(i + 1) % n];
      EXPECT_NEAR(a.D.x, b.A.x, 1e-9);
      EXPECT_NEAR(a.D.y, b.A.y, 1e-9);
      const double out = angleOf(a.D.x - a.C.x, a.D.y - a.C.y), in = angleOf(b.B.x - b.A.x, b.B.y - b.A.y);
      const double turn = std::remainder(in - out, 2 * std::numbers::pi);
      if (a.gladki && n > 1) {
        EXPECT_NEAR(turn, 0, 1e-9) << s.name << " joint " << i;
      } else if (n > 1) {
        // A corner of the outline: it turns there by more than the limit.
        EXPECT_GT(std::fabs(turn), std::acos(limits().smoothCosine) / 2) << s.name << " joint " << i;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, SmoothedShape,
                         ::testing::Values(Shape{"rectangle", rectangle, true, 4}, Shape{"circle", circle, true, 12},
                                           Shape{"star", star, true, 10}, Shape{"slot", roundedSlot, true, 12},
                                           Shape{"ellipse", ellipse, true, 16}, Shape{"s_curve", sCurve, false, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Smoothing, RectangleGivesFourStraightSegmentsNoneSmooth) {
  const FittedChain fit = prepare::PrzyblizFigure(rectangle(), true, limits());
  ASSERT_EQ(fit.segments.size(), 4u);
  for (const tBezier& b : fit.segments) {
    EXPECT_TRUE(b.prosta);
    EXPECT_FALSE(b.gladki);
    // Control points at a third and two thirds of the side.
    EXPECT_NEAR(b.B.x, b.A.x + (b.D.x - b.A.x) / 3, 1e-9);
    EXPECT_NEAR(b.C.y, b.A.y + 2 * (b.D.y - b.A.y) / 3, 1e-9);
  }
}

TEST(Smoothing, CircleOfManyChordsBecomesAFewSegmentsAllSmooth) {
  const FittedChain fit = prepare::PrzyblizFigure(circle(), true, limits());
  EXPECT_LE(fit.segments.size(), 12u);
  EXPECT_GE(fit.segments.size(), 2u);
  for (const tBezier& b : fit.segments) EXPECT_TRUE(b.gladki);
}

// A segment that ends at a smooth joint ended there because one more point
// would have carried its fit past the tolerance.
TEST(Smoothing, SegmentsEndWhereOneMorePointWouldBreakTheTolerance) {
  const BezierLimits tight{1, 0.1, 0.94};
  for (auto shape : {circle, ellipse, roundedSlot}) {
    const FittedChain fit = prepare::PrzyblizFigure(shape(), true, tight);
    ASSERT_GT(fit.segments.size(), 3u);
    for (std::size_t i = 0; i + 1 < fit.segments.size(); ++i) {
      const std::size_t first = fit.firstPoint[i], last = fit.firstPoint[i + 1];
      const std::size_t next = last + 1;
      if (!fit.segments[i].gladki || next >= fit.points.size()) continue;
      const double in =
          std::hypot(fit.points[last].x - fit.points[last - 1].x, fit.points[last].y - fit.points[last - 1].y);
      const double out = std::hypot(fit.points[next].x - fit.points[last].x, fit.points[next].y - fit.points[last].y);
      if (in >= 3 * out || out >= 3 * in) continue;  // ended at uneven chords
      const auto longer = prepare::PrzyblizSegment(fit.points, first, next, {}, {}, tight);
      EXPECT_GT(longer.error, tight.tolerance) << "segment " << i;
    }
  }
}

TEST(Smoothing, StepKeepsEveryMoveWithinOneControllerStepAndIsTheLargestThatDoes) {
  for (const tBezier& b : prepare::PrzyblizFigure(ellipse(), true, limits()).segments) {
    tBezier s = b;
    prepare::DobierzU(s, 1.0);
    auto longestMove = [&](double u) {
      double longest = 0;
      trpoint3d prev = s.A;
      for (double t = u;; t += u) {
        const trpoint3d q = prepare::bezierPoint(s, std::min(t, 1.0));
        longest = std::max(longest, std::hypot(q.x - prev.x, q.y - prev.y));
        prev = q;
        if (t >= 1) break;
      }
      return longest;
    };
    EXPECT_LE(longestMove(s.U), 1.0 + 1e-6);
    EXPECT_GT(longestMove(s.U / 0.9), 1.0);
    // 0.1 x 0.9^k
    const double k = std::log(s.U / 0.1) / std::log(0.9);
    EXPECT_NEAR(k, std::round(k), 1e-4);
    EXPECT_GT(s.Dlugosc, std::hypot(s.D.x - s.A.x, s.D.y - s.A.y) - 1e-9);
  }
}

TEST(Smoothing, SpiralChainDescendsByThePitchPerRoundAndEndsWithARoundAtTheBottom) {
  FittedChain fit = prepare::PrzyblizFigure(circle(), true, limits());
  double round = 0;
  for (tBezier& b : fit.segments) {
    prepare::DobierzU(b, 1.0);
    round += b.Dlugosc;
  }
  const prepare::BezierDescent d{1049, 899, 50};  // 1.5 mm down at 0.5 mm a round
  const auto chain = prepare::UtworzSpiraleBezier(fit.segments, true, true, d);
  const std::size_t n = fit.segments.size();
  ASSERT_GE(chain.size(), 4 * n - 1);  // three rounds down (the last may end a segment early), one at the bottom
  EXPECT_DOUBLE_EQ(chain.front().A.z, 1049);
  double walked = 0;
  for (std::size_t i = 0; i < chain.size(); ++i) {
    const tBezier& b = chain[i];
    if (i > 0) {
      EXPECT_EQ(b.A.z, chain[i - 1].D.z);
    }
    EXPECT_LE(b.D.z, b.A.z);
    walked += b.Dlugosc;
    EXPECT_NEAR(b.D.z, std::max(899.0, 1049 - walked * 50 / round), 1e-6);
  }
  for (std::size_t i = chain.size() - n; i < chain.size(); ++i) EXPECT_EQ(chain[i].A.z, 899);
  // Without the spiral the chain lies at the bottom.
  for (const tBezier& b : prepare::UtworzSpiraleBezier(fit.segments, true, false, d)) {
    EXPECT_EQ(b.A.z, 899);
    EXPECT_EQ(b.D.z, 899);
  }
}

}  // namespace
}  // namespace trazvik
