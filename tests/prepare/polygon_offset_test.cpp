#include "prepare/polygon_offset.h"

#include "offset_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace trazvik {
namespace {

using prepare::offsetClosedPolygon;
using testing::clipperOffset;
using testing::crossesItself;
using testing::distanceToPolygon;
using testing::doubleArea;
using testing::symmetricDifferenceArea;

constexpr int kRight = -1;  // offset to the right of travel
constexpr int kLeft = 1;

std::vector<trealpoint> closed(std::vector<trealpoint> pts) {
  pts.push_back(pts.front());
  return pts;
}

// A 10 mm square in DXF units, counter-clockwise, first point repeated.
std::vector<trealpoint> square(double side = 1000) { return closed({{0, 0}, {side, 0}, {side, side}, {0, side}}); }

std::vector<trealpoint> withoutClosing(std::vector<trealpoint> pts) {
  pts.pop_back();
  return pts;
}

void expectStepsLongerThanMinimum(const std::vector<trealpoint>& outline) {
  for (std::size_t i = 1; i < outline.size(); ++i) {
    EXPECT_GT(std::hypot(outline[i].x - outline[i - 1].x, outline[i].y - outline[i - 1].y), prepare::kOutlineMinStep)
        << "point " << i;
  }
}

TEST(PolygonOffset, SquareGrownOutwardGetsQuarterArcsOf32Steps) {
  // Counter-clockwise traced and offset to the right, or clockwise traced and
  // offset to the left: both grow the square.
  std::vector<trealpoint> cw = square();
  std::reverse(cw.begin(), cw.end());
  for (const auto& [poly, side] : {std::pair{square(), kRight}, std::pair{cw, kLeft}}) {
    const prepare::OffsetResult result = offsetClosedPolygon(poly, 150, side);
    // Per corner: end of the moved edge, 31 arc points, start of the next.
    ASSERT_EQ(result.outline.size(), 4u * 33u + 1u);
    EXPECT_EQ(result.outline.front(), result.outline.back());
    EXPECT_EQ(result.loopsCut, 0);
    expectStepsLongerThanMinimum(result.outline);
    const std::vector<trealpoint> ring = withoutClosing(poly);
    for (const trealpoint& pt : result.outline) EXPECT_NEAR(distanceToPolygon(pt, ring), 150, 0.75);
    EXPECT_EQ(doubleArea(result.outline) > 0, doubleArea(poly) > 0) << "the outline keeps the figure's turn";
  }
}

TEST(PolygonOffset, SquareShrunkInwardMeetsAtTheCorners) {
  const prepare::OffsetResult result = offsetClosedPolygon(square(), 150, kLeft);
  const std::vector<trealpoint> expected{{150, 150}, {850, 150}, {850, 850}, {150, 850}, {150, 150}};
  ASSERT_EQ(result.outline.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(result.outline[i].x, expected[i].x, 1e-9);
    EXPECT_NEAR(result.outline[i].y, expected[i].y, 1e-9);
  }
}

TEST(PolygonOffset, GentlePolygonalCircleGetsOnePointPerCornerOnTheBisector) {
  constexpr int kCorners = 64;
  constexpr double kRadius = 5000;
  std::vector<trealpoint> circle;
  for (int i = 0; i < kCorners; ++i) {
    const double a = 2 * std::numbers::pi * i / kCorners;
    circle.push_back({kRadius * std::cos(a), kRadius * std::sin(a)});
  }
  const prepare::OffsetResult result = offsetClosedPolygon(closed(circle), 150, kRight);
  ASSERT_EQ(result.outline.size(), kCorners + 1u);
  const double miter = kRadius + 150 / std::cos(std::numbers::pi / kCorners);
  for (std::size_t i = 0; i < kCorners; ++i) {
    EXPECT_NEAR(std::hypot(result.outline[i].x, result.outline[i].y), miter, 1e-6);
    // on the bisector: the same direction as the corner itself
    EXPECT_NEAR(std::atan2(result.outline[i].y, result.outline[i].x) - std::atan2(circle[i].y, circle[i].x), 0, 1e-9);
  }
}

// A 20 x 10 mm block with a 2 mm slot cut 8 mm deep from the top.
std::vector<trealpoint> slottedBlock() {
  return closed({{0, 0}, {2000, 0}, {2000, 1000}, {1100, 1000}, {1100, 200}, {900, 200}, {900, 1000}, {0, 1000}});
}

TEST(PolygonOffset, RadiusWiderThanASlotCutsTheLoopInsteadOfReversingThePath) {
  const std::vector<trealpoint> block = slottedBlock();
  const prepare::OffsetResult result = offsetClosedPolygon(block, 150, kRight);
  EXPECT_GE(result.loopsCut, 1);
  EXPECT_FALSE(crossesItself(result.outline));
  EXPECT_GT(doubleArea(result.outline), 0);
  const std::vector<trealpoint> ring = withoutClosing(block);
  for (const trealpoint& pt : result.outline) EXPECT_GE(distanceToPolygon(pt, ring), 149) << pt.x << ", " << pt.y;
  const double reference = std::abs(doubleArea(clipperOffset(ring, 150)[0])) / 2;
  EXPECT_LT(symmetricDifferenceArea({result.outline}, clipperOffset(ring, 150)), 0.01 * reference);
}

TEST(PolygonOffset, InsetSplitByANarrowNeckKeepsTheLargerPart) {
  // A dumbbell: two blocks joined by a neck narrower than twice the radius.
  const std::vector<trealpoint> dumbbell = closed({{0, 0},
                                                   {1000, 0},
                                                   {1000, 450},
                                                   {1500, 450},
                                                   {1500, 0},
                                                   {3000, 0},
                                                   {3000, 1000},
                                                   {1500, 1000},
                                                   {1500, 550},
                                                   {1000, 550},
                                                   {1000, 1000},
                                                   {0, 1000}});
  const prepare::OffsetResult result = offsetClosedPolygon(dumbbell, 150, kLeft);
  EXPECT_FALSE(crossesItself(result.outline));
  EXPECT_GT(doubleArea(result.outline), 0);
  for (const trealpoint& pt : result.outline) {
    // in the larger block, rounding the corners of the neck's mouth
    EXPECT_GE(pt.x, 1500 + std::sqrt(150.0 * 150 - 50 * 50) - 1) << "the outline stays in the larger block";
    EXPECT_GE(distanceToPolygon(pt, withoutClosing(dumbbell)), 149);
  }
}

TEST(PolygonOffset, HoleSmallerThanTheToolCollapsesToItsCentre) {
  std::vector<trealpoint> hole = closed({{1000, 1000}, {1200, 1000}, {1200, 1200}, {1000, 1200}});
  const prepare::OffsetResult result = offsetClosedPolygon(hole, 150, kLeft);
  EXPECT_TRUE(result.collapsed);
  ASSERT_EQ(result.outline.size(), 2u);
  EXPECT_EQ(result.outline[0], (trealpoint{1100, 1100}));
  EXPECT_EQ(result.outline[1], (trealpoint{1100, 1100}));
}

TEST(PolygonOffset, DegenerateFiguresNeverHangOrCrash) {
  constexpr double kBig = 2147483647.0;
  struct Case {
    const char* name;
    std::vector<trealpoint> poly;
    double r;
    bool copied;  // the outline is a copy of the input
  };
  const std::vector<Case> cases = {
      {"empty", {}, 150, true},
      {"one point", {{5, 5}}, 150, true},
      {"all points equal", {{5, 5}, {5, 5}, {5, 5}, {5, 5}}, 150, true},
      {"points within the minimum step", {{0, 0}, {1, 1}, {2, 0}, {0, 0}}, 150, true},
      {"zero radius", square(), 0, true},
      {"negative radius", square(), -10, true},
      {"radius not a number", square(), std::nan(""), true},
      {"point not a number", {{0, 0}, {1000, 0}, {std::nan(""), 5}, {0, 0}}, 150, true},
      {"infinite point", {{0, 0}, {1000, 0}, {1000, INFINITY}, {0, 0}}, 150, true},
      {"collinear there and back", {{0, 0}, {500, 0}, {1000, 0}, {500, 0}, {0, 0}}, 150, false},
      {"repeated points",
       {{0, 0}, {0, 0}, {1000, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 1000}, {0, 0}},
       150,
       false},
      {"near the unset value",
       {{kBig - 5000, kBig - 5000}, {kBig, kBig - 5000}, {kBig, kBig}, {kBig - 5000, kBig}, {kBig - 5000, kBig - 5000}},
       150,
       false},
      {"spike", {{0, 0}, {1000, 0}, {1000, 1000}, {1000, 5000}, {1000, 1000}, {0, 1000}, {0, 0}}, 150, false},
  };
  for (const Case& c : cases) {
    for (int side : {kLeft, kRight}) {
      const prepare::OffsetResult result = offsetClosedPolygon(c.poly, c.r, side);
      if (c.copied) {
        EXPECT_EQ(result.outline.size(), c.poly.size()) << c.name;
        continue;
      }
      ASSERT_GE(result.outline.size(), 2u) << c.name;
      EXPECT_EQ(result.outline.front(), result.outline.back()) << c.name;
      for (const trealpoint& pt : result.outline) {
        EXPECT_TRUE(std::isfinite(pt.x) && std::isfinite(pt.y)) << c.name;
      }
    }
  }
}

TEST(PolygonOffset, ThereAndBackLineGetsARoundedSlotAroundIt) {
  const std::vector<trealpoint> line = closed({{0, 0}, {1000, 0}});
  for (int side : {kLeft, kRight}) {
    const prepare::OffsetResult result = offsetClosedPolygon(line, 150, side);
    ASSERT_GT(result.outline.size(), 60u);
    EXPECT_FALSE(crossesItself(result.outline));
    for (const trealpoint& pt : result.outline) EXPECT_NEAR(distanceToPolygon(pt, {{0, 0}, {1000, 0}}), 150, 0.75);
  }
}

// A random star-shaped polygon around (0, 0): corners at sorted random angles
// and random radii, counter-clockwise.
std::vector<trealpoint> randomStar(std::mt19937& rng) {
  std::uniform_int_distribution<int> cornerCount(5, 60);
  std::uniform_real_distribution<double> unit(0, 1);
  const int n = cornerCount(rng);
  const double size = 2000 + 20000 * unit(rng);
  const double spread = 0.2 + 0.6 * unit(rng);  // how deep the notches go
  std::vector<double> angles(n);
  for (double& a : angles) a = 2 * std::numbers::pi * unit(rng);
  std::sort(angles.begin(), angles.end());
  std::vector<trealpoint> pts;
  for (double a : angles) {
    const double r = size * (1 - spread * unit(rng));
    pts.push_back({std::round(r * std::cos(a)), std::round(r * std::sin(a))});
  }
  return pts;
}

// Independent check of the offset on many random polygons, grown and shrunk:
// no outline point comes closer to the figure than the radius (less one file
// unit); every point lies at the radius (within one unit) except where a loop
// was cut and on the bisector of gentle outer corners, whose distance is the
// radius over the cosine of half the turn; and the enclosed region matches
// Clipper's round-join offset of the same polygon within 1 % of its area.
TEST(PolygonOffset, RandomPolygonsAgreeWithTheRadiusAndWithClipper) {
  std::mt19937 rng(20240611);
  std::uniform_real_distribution<double> radius(40, 400);
  int compared = 0;
  for (int round = 0; round < 300; ++round) {
    const std::vector<trealpoint> ring = randomStar(rng);
    const double r = radius(rng);
    const bool grow = round % 2 == 0;
    const prepare::OffsetResult result = offsetClosedPolygon(closed(ring), r, grow ? kRight : kLeft);
    SCOPED_TRACE(::testing::Message() << "round " << round << ", radius " << r << (grow ? ", grown" : ", shrunk"));
    const auto reference = clipperOffset(ring, grow ? r : -r);
    if (result.collapsed) {
      EXPECT_TRUE(reference.empty());
      continue;
    }
    EXPECT_FALSE(crossesItself(result.outline));
    std::vector<bool> cut(result.outline.size(), false);
    for (std::size_t i : result.crossingPoints) cut[i] = true;
    for (std::size_t i = 0; i < result.outline.size(); ++i) {
      const trealpoint pt = result.outline[i];
      const double d = distanceToPolygon(pt, ring);
      EXPECT_GE(d, r - 1) << "point " << i;
      if (cut[i]) continue;
      const double turn = testing::turnAtNearestCorner(pt, ring);
      const double allowed = turn <= prepare::kSharpTurn ? r / std::cos(turn / 2) : r;
      EXPECT_LE(d, allowed + 1) << "point " << i;
    }
    if (reference.size() != 1) continue;  // Clipper splits it; a single outline keeps one part
    ++compared;
    const double area = std::abs(doubleArea(reference[0])) / 2;
    EXPECT_LT(symmetricDifferenceArea({result.outline}, reference), 0.01 * area);
  }
  EXPECT_GT(compared, 150) << "too few polygons stayed in one piece to compare";
}

}  // namespace
}  // namespace trazvik
