#include "geometry/angles.h"
#include "geometry/points.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace trazvik {
namespace {

using std::numbers::pi;

TEST(Points, ComparisonExactAndNear) {
  const trealpoint a{10, 20};
  EXPECT_TRUE(samePoint(a, {10, 20}));
  EXPECT_FALSE(samePoint(a, {10, 20.000001}));

  EXPECT_TRUE(nearPoint(a, {11.9, 18.1}));
  EXPECT_FALSE(nearPoint(a, {12, 20}));  // the tolerance is strict
  EXPECT_FALSE(nearPoint(a, {10, 22.5}));

  EXPECT_TRUE(nearPointTol(a, {10.4, 19.6}, 0.5));
  EXPECT_FALSE(nearPointTol(a, {10.5, 20}, 0.5));

  EXPECT_TRUE(nearPoint3d({1, 2, 3}, {1.1, 2.1, 3.1}, 0.2));
  EXPECT_FALSE(nearPoint3d({1, 2, 3}, {1, 2, 3.3}, 0.2));  // z counts too
}

TEST(Points, Distances) {
  EXPECT_DOUBLE_EQ(dist(trealpoint{0, 0}, trealpoint{3, 4}), 5);
  EXPECT_DOUBLE_EQ(dist2({1, 1}, {4, 5}), 25);
  EXPECT_DOUBLE_EQ(dist3d({0, 0, 0}, {2, 3, 6}), 7);
  EXPECT_DOUBLE_EQ(dist(trpoint3d{0, 0, 0}, trpoint3d{3, 4, 100}), 5);  // z ignored
  EXPECT_DOUBLE_EQ(distI({0, 0}, {-3, -4}), 5);
  // The extremes of 32-bit coordinates must not overflow.
  const auto lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
  EXPECT_DOUBLE_EQ(distI({lo, 0}, {hi, 0}), 4294967295.0);
}

TEST(Angles, DirAngleOfEveryQuadrantAndAxisInAllVariants) {
  struct Case {
    trealpoint from, to;
    double angle;
  };
  const Case cases[] = {
      {{0, 0}, {0, 0}, 3 * pi / 2},  // equal points count as downward
      {{0, 0}, {-1, 0}, pi},         {{0, 0}, {1, -1}, 7 * pi / 4}, {{0, 0}, {1, 0}, 0},
      {{0, 0}, {0, 1}, pi / 2},      {{0, 0}, {0, -1}, 3 * pi / 2}, {{0, 0}, {1, 1}, pi / 4},
      {{0, 0}, {-1, 1}, 3 * pi / 4}, {{5, 5}, {4, 4}, 5 * pi / 4},  {{2, 3}, {2 + std::sqrt(3.0), 4}, pi / 6},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(dirAngle(c.from, c.to), c.angle, 1e-12) << c.to.x << "," << c.to.y;
    EXPECT_NEAR(dirAngle(trpoint3d{c.from.x, c.from.y, 7}, trpoint3d{c.to.x, c.to.y, -3}), c.angle, 1e-12);
    EXPECT_NEAR(dirAngle(c.from.x, c.from.y, c.to.x, c.to.y), c.angle, 1e-12);
    const double a = dirAngle(c.from, c.to);
    EXPECT_TRUE(a >= 0 && a < 2 * pi) << a;
  }
}

TEST(Angles, VectorAngleKeepsItsOwnAxisConvention) {
  struct Case {
    double y, x, angle;
  };
  const Case cases[] = {
      {0, 0, 0}, {1, 0, pi / 2}, {-1, 0, -pi / 2}, {-1, 1, 7 * pi / 4}, {1, -1, 3 * pi / 4}, {0, -1, pi}, {0, 2, 0},
  };
  for (const Case& c : cases) EXPECT_NEAR(vectorAngle(c.y, c.x), c.angle, 1e-12) << c.y << "," << c.x;
}

TEST(Angles, TurnCosine) {
  struct Case {
    trpoint3d a, b, c;
    double cosine;
  };
  const Case cases[] = {
      {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, 1},   // straight on
      {{0, 0, 0}, {0, 0, 1}, {0, 0, 3}, 1},   // straight on, vertically
      {{0, 0, 0}, {1, 0, 0}, {0, 0, 0}, -1},  // reversal
      {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, 0},   // right angle
      {{0, 0, 0}, {1, 0, 0}, {1.5, std::sqrt(0.75), 0}, 0.5},
      {{1, 1, 1}, {1, 1, 1}, {2, 2, 2}, -1},  // no incoming leg
      {{1, 1, 1}, {2, 2, 2}, {2, 2, 2}, -1},  // no outgoing leg
  };
  for (const Case& c : cases) EXPECT_NEAR(turnCosine(c.a, c.b, c.c), c.cosine, 1e-9);
}

}  // namespace
}  // namespace trazvik
