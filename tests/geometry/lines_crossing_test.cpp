#include "geometry/crossing.h"
#include "geometry/lines.h"
#include "geometry/segment_distance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace trazvik {
namespace {

using std::numbers::pi;

tSegment seg(double x1, double y1, double x2, double y2) { return {{x1, y1}, {x2, y2}}; }

TEST(Lines, SegmentLineForms) {
  const tLineEq degenerate = segmentLine(seg(3, 4, 3, 4));
  EXPECT_TRUE(degenerate.degenerate);
  EXPECT_FALSE(degenerate.vertical);
  EXPECT_EQ(degenerate.slope, 0);
  EXPECT_EQ(degenerate.intercept, 0);

  const tLineEq nearlyVertical = segmentLine(seg(0, 0, 0.00005, 10));
  EXPECT_TRUE(nearlyVertical.vertical);
  EXPECT_EQ(nearlyVertical.slope, kUnset);
  EXPECT_EQ(nearlyVertical.intercept, 0);

  const tLineEq justNotVertical = segmentLine(seg(0, 0, 0.0002, 10));
  EXPECT_FALSE(justNotVertical.vertical);
  EXPECT_NEAR(justNotVertical.slope, 50000, 1e-6);

  const tLineEq sloped = segmentLine(seg(2, 5, 0, 1));
  EXPECT_FALSE(sloped.vertical || sloped.degenerate);
  EXPECT_DOUBLE_EQ(sloped.slope, 2);
  EXPECT_DOUBLE_EQ(sloped.intercept, 1);
}

TEST(Lines, OrderingSwapsOnlyWhenNeeded) {
  const tSegment s = seg(5, 1, 2, 9);
  EXPECT_EQ(orderByX(s).start, (trealpoint{2, 9}));
  EXPECT_EQ(orderByY(s).start, (trealpoint{5, 1}));
  EXPECT_EQ(orderByX(seg(1, 1, 1, 0)).start, (trealpoint{1, 1}));  // equal x stays
}

TEST(Lines, GeneralFormAndPointDistance) {
  const tLineGen sloped = segmentLineGen(seg(0, 1, 2, 5));  // -2x + y - 1 = 0
  EXPECT_FALSE(sloped.vertical);
  EXPECT_DOUBLE_EQ(sloped.A, -2);
  EXPECT_DOUBLE_EQ(sloped.B, 1);
  EXPECT_DOUBLE_EQ(sloped.C, -1);
  EXPECT_DOUBLE_EQ(pointLineDistance({0, 0}, sloped), 1 / std::sqrt(5.0));
  EXPECT_DOUBLE_EQ(pointLineDistance({1, 3}, sloped), 0);

  const tLineGen vertical = segmentLineGen(seg(3, 0, 3, 5));
  EXPECT_TRUE(vertical.vertical);
  EXPECT_EQ(vertical.A, kUnset);
  EXPECT_EQ(vertical.B, 3);
  EXPECT_EQ(vertical.C, -kUnset * 3);
  EXPECT_DOUBLE_EQ(pointLineDistance({1, 100}, vertical), 2);

  EXPECT_EQ(pointLineDistance({4, 4}, tLineGen{0, 0, 5, false}), 0);  // no division by a zero root
}

TEST(Lines, OffsetAtXTakesHalfOpenRanges) {
  struct Case {
    tSegment s;
    trealpoint p;
    bool in1, in2;
    double offset;
  };
  const Case cases[] = {
      {seg(0, 0, 10, 10), {0, 3}, true, false, -3},  // start only in the first
      {seg(0, 0, 10, 10), {10, 3}, false, true, 7},  // end only in the second
      {seg(0, 0, 10, 10), {4, 1}, true, true, 3},
      {seg(10, 10, 0, 0), {10, 3}, true, false, 7},  // the mirror direction
      {seg(10, 10, 0, 0), {0, 3}, false, true, -3},
      {seg(0, 0, 10, 10), {11, 0}, false, false, 0},
      {seg(5, 0, 5, 10), {5, 0}, false, false, 0},  // vertical
      {seg(5, 5, 5, 5), {5, 5}, false, false, 0},   // degenerate
  };
  for (const Case& c : cases) {
    double out1 = -99, out2 = -99;
    EXPECT_EQ(offsetAtX1(c.s, c.p, out1), c.in1) << c.p.x;
    EXPECT_EQ(offsetAtX2(c.s, c.p, out2), c.in2) << c.p.x;
    if (c.in1) {
      EXPECT_DOUBLE_EQ(out1, c.offset) << c.p.x;
    }
    if (c.in2) {
      EXPECT_DOUBLE_EQ(out2, c.offset) << c.p.x;
    }
  }
}

TEST(Crossing, SegmentsCrossAndTheirPoint) {
  struct Case {
    const char* what;
    tSegment a, b;
    bool crosses;
    trealpoint point;
  };
  const Case cases[] = {
      {"X", seg(0, 0, 10, 10), seg(0, 10, 10, 0), true, {5, 5}},
      {"X reversed", seg(10, 10, 0, 0), seg(10, 0, 0, 10), true, {5, 5}},
      {"end touches vertical", seg(0, 0, 10, 0), seg(10, 0, 10, 10), true, {10, 0}},
      {"parallel", seg(0, 0, 10, 0), seg(0, 1, 10, 1), false, {0, 0}},
      {"collinear overlap", seg(0, 0, 10, 0), seg(5, 0, 20, 0), true, {7.5, 0}},
      {"collinear apart", seg(0, 0, 10, 0), seg(20, 0, 30, 0), false, {15, 0}},
      {"lines meet outside", seg(0, 0, 1, 1), seg(3, 0, 4, -1), false, {1.5, 1.5}},
      {"verticals overlap", seg(5, 0, 5, 10), seg(5, 20, 5, 8), true, {5, 9}},
      {"verticals apart in y", seg(5, 0, 5, 1), seg(5, 3, 5, 4), false, {5, 2}},
      {"verticals at other x", seg(5, 0, 5, 10), seg(6, 0, 6, 10), false, {0, 0}},
      {"degenerate", seg(1, 1, 1, 1), seg(0, 0, 2, 2), false, {0, 0}},
      {"vertical beside range", seg(20, 0, 20, 10), seg(0, 0, 10, 10), false, {0, 0}},
      {"vertical above line", seg(5, 20, 5, 30), seg(0, 0, 10, 10), false, {5, 5}},
      {"vertical second", seg(0, 0, 10, 10), seg(5, 10, 5, 0), true, {5, 5}},
      {"huge scaled by tens", seg(0, 0, 1e9, 1e9), seg(0, 1e9, 1e9, 0), true, {5e6, 5e6}},
  };
  for (const Case& c : cases) {
    trealpoint p{-1, -1};
    EXPECT_EQ(segmentsCrossPoint(c.a, c.b, p), c.crosses) << c.what;
    EXPECT_NEAR(p.x, c.point.x, 1e-9) << c.what;
    EXPECT_NEAR(p.y, c.point.y, 1e-9) << c.what;
    EXPECT_EQ(segmentsCross(c.a, c.b), c.crosses) << c.what;
    EXPECT_EQ(segmentsCross(c.b, c.a), c.crosses) << c.what << " (swapped)";
  }
}

TEST(Crossing, StrictNeedsDifferentSlopesAndKeepsThePoint) {
  struct Case {
    const char* what;
    tSegment a, b;
    bool crosses;
    trealpoint point;
  };
  const Case cases[] = {
      {"X", seg(0, 0, 10, 10), seg(0, 10, 10, 0), true, {5, 5}},
      {"vertical", seg(0, 0, 10, 10), seg(4, 0, 4, 10), true, {4, 4}},
      {"collinear overlap", seg(0, 0, 10, 0), seg(5, 0, 20, 0), false, {0, 0}},
      {"parallel", seg(0, 0, 10, 0), seg(0, 1, 10, 1), false, {0, 0}},
      {"both vertical", seg(5, 0, 5, 10), seg(5, 2, 5, 4), false, {0, 0}},
      {"degenerate", seg(1, 1, 1, 1), seg(0, 0, 2, 2), false, {0, 0}},
      {"huge unscaled", seg(0, 0, 1e9, 1e9), seg(0, 1e9, 1e9, 0), true, {5e8, 5e8}},
  };
  for (const Case& c : cases) {
    trealpoint p{-1, -1};
    EXPECT_EQ(segmentsCrossStrict(c.a, c.b, p), c.crosses) << c.what;
    EXPECT_NEAR(p.x, c.point.x, 1e-6) << c.what;
    EXPECT_NEAR(p.y, c.point.y, 1e-6) << c.what;
  }
}

TEST(Crossing, LinesMeet) {
  struct Case {
    const char* what;
    tSegment a, b;
    trealpoint point;
  };
  const Case cases[] = {
      {"crossing", seg(0, 0, 10, 10), seg(0, 10, 10, 0), {5, 5}},
      {"beyond the segments", seg(0, 0, 1, 1), seg(10, 0, 11, -1), {5, 5}},
      {"first vertical", seg(3, 0, 3, 1), seg(0, 1, 10, 11), {3, 4}},
      {"second vertical", seg(0, 1, 10, 11), seg(3, 0, 3, 1), {3, 4}},
      {"both vertical, same x", seg(3, 0, 3, 10), seg(3, 4, 3, 20), {3, 7}},
      {"both vertical, other x", seg(3, 0, 3, 10), seg(4, 4, 4, 20), {0, 0}},
      {"parallel", seg(0, 0, 10, 0), seg(0, 5, 10, 5), {10, 0}},
      {"coincident", seg(0, 0, 10, 0), seg(4, 0, 30, 0), {7, 0}},
      {"nearly parallel", seg(0, 0, 1000, 1000), seg(0, 5, 1000, 1004), {1000, 1000}},
  };
  for (const Case& c : cases) {
    trealpoint p{-1, -1};
    linesMeet(segmentLine(c.a), segmentLine(c.b), c.a, c.b, p);
    EXPECT_NEAR(p.x, c.point.x, 1e-9) << c.what;
    EXPECT_NEAR(p.y, c.point.y, 1e-9) << c.what;
  }
  trealpoint untouched{-1, -1};
  linesMeet(segmentLine(seg(1, 1, 1, 1)), segmentLine(seg(0, 0, 5, 5)), seg(1, 1, 1, 1), seg(0, 0, 5, 5), untouched);
  EXPECT_EQ(untouched, (trealpoint{-1, -1}));
}

TEST(SegmentDistance, FootEndsAndTheFarEndCode) {
  const double towardOrigin = 2 * pi - std::atan(4.0 / 3.0);  // from (-3, 4) to (0, 0)
  struct Case {
    const char* what;
    trealpoint p;
    tSegment s;
    double tol;
    double distance;
    int endCode;
    double angle;
  };
  const Case cases[] = {
      {"above a horizontal", {5, 3}, seg(0, 0, 10, 0), 0, 3, kNearInside, 3 * pi / 2},
      {"beside a vertical", {4, 5}, seg(0, 0, 0, 10), 0, 4, kNearInside, pi},
      {"over a diagonal", {0, 10}, seg(0, 0, 10, 10), 0, std::sqrt(50.0), kNearInside, 7 * pi / 4},
      {"on the segment", {2, 2}, seg(0, 0, 10, 10), 0, 0, kNearInside, 3 * pi / 2},
      {"before the start, far", {-3, 4}, seg(0, 0, 10, 0), 0, 5, kNearFarEnd, towardOrigin},
      {"before the start, within tol", {-3, 4}, seg(0, 0, 10, 0), 5, 5, kNearStart, towardOrigin},
      {"past the end, far", {12, 0}, seg(0, 0, 10, 0), 0, 2, kNearFarEnd, pi},
      {"past the end, within tol", {12, 0}, seg(0, 0, 10, 0), 1.5, 2, kNearEnd, pi},
      {"past the end of a reversed one", {12, 0}, seg(10, 0, 0, 0), 1.5, 2, kNearStart, pi},
  };
  for (const Case& c : cases) {
    double angle = -7;
    int endCode = -7;
    EXPECT_NEAR(pointSegmentDistance(c.p, c.s, c.tol, angle, endCode), c.distance, 1e-9) << c.what;
    EXPECT_EQ(endCode, c.endCode) << c.what;
    EXPECT_NEAR(angle, c.angle, 1e-9) << c.what;
  }

  double angle = -7;
  int endCode = -7;
  EXPECT_DOUBLE_EQ(pointSegmentDistance({4, 5}, seg(1, 1, 1, 1), 0, angle, endCode), 5);
  EXPECT_EQ(angle, -7);  // a degenerate segment leaves both untouched
  EXPECT_EQ(endCode, -7);
}

}  // namespace
}  // namespace trazvik
