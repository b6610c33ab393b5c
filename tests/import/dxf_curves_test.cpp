// The curve pieces of the DXF reader: segment counts, arcs, ellipses, bulge
// arcs, spline evaluators and the OCS conversion.
#include "import/curve_segments.h"
#include "import/ocs_to_wcs.h"
#include "import/spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace trazvik::import {
namespace {

std::vector<trealpoint> collect(auto&& generate) {
  std::vector<trealpoint> out;
  generate([&](const trealpoint& p) { out.push_back(p); });
  return out;
}

double radiusError(const std::vector<trealpoint>& pts, trealpoint c, double r) {
  double worst = 0;
  for (const auto& p : pts) worst = std::max(worst, std::fabs(std::hypot(p.x - c.x, p.y - c.y) - r));
  return worst;
}

TEST(CurveSegments, CircleSegmentCountsFollowTheCircleSize) {
  struct Case {
    double r;
    int segments;
  };
  // 192 at radius 10 (l = C/192), at least 0.1 long (radius 1), at most 5 long
  // (radius 200), never fewer than 16.
  const Case cases[] = {{10, 192}, {1, 63}, {200, 252}, {0.01, 16}, {0, 16}};
  for (const Case& c : cases) {
    EXPECT_EQ(circleSegments(c.r), c.segments) << "radius " << c.r;
    const auto pts = collect([&](auto add) { circlePoints(3, -4, c.r, add); });
    ASSERT_EQ(pts.size(), static_cast<std::size_t>(c.segments) + 1);
    EXPECT_EQ(pts.front(), pts.back()) << "a circle closes exactly";
    EXPECT_LT(radiusError(pts, {3, -4}, c.r), 1e-9);
  }
}

TEST(CurveSegments, AbsurdSizesCostBoundedWork) {
  for (const double r : {1e300, -1e300, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_LE(circleSegments(r), kMaxCurveSegments);
    EXPECT_LE(arcSegments(r, 1.0), kMaxCurveSegments);
    EXPECT_GE(arcSegments(r, 1.0), 0);
  }
  tEllipse e;
  e.major = {1e300, 0};
  EXPECT_LE(ellipseSegments(e), kMaxCurveSegments);
}

TEST(CurveSegments, ArcRunsCounterclockwiseFromStartToEnd) {
  // 350 to 10 degrees sweeps 20 degrees through 0.
  const double start = 350 * M_PI / 180, sweep = 20 * M_PI / 180;
  const auto pts = collect([&](auto add) { arcPoints(0, 0, 15, start, sweep, add); });
  ASSERT_EQ(pts.size(), static_cast<std::size_t>(arcSegments(15, sweep)) + 1);
  EXPECT_NEAR(pts.front().x, 15 * std::cos(start), 1e-12);
  EXPECT_NEAR(pts.back().y, 15 * std::sin(10 * M_PI / 180), 1e-12);
  for (std::size_t i = 1; i < pts.size(); ++i) {
    const double cross = pts[i - 1].x * pts[i].y - pts[i - 1].y * pts[i].x;
    EXPECT_GT(cross, 0) << "counterclockwise at " << i;
    EXPECT_GT(pts[i].x, 14.7) << "stays near angle 0";
  }
}

TEST(CurveSegments, EllipseFollowsItsAxesAndParameters) {
  tEllipse e;
  e.centre = {10, 20};
  e.major = {0, 30};  // major axis along y
  e.ratio = 0.5;
  const auto full = collect([&](auto add) { ellipsePoints(e, add); });
  ASSERT_EQ(full.size(), 193u);
  for (const auto& p : full) {
    // (x - 10)^2 / 15^2 + (y - 20)^2 / 30^2 = 1 with the axes turned.
    const double u = (p.y - 20) / 30, v = (p.x - 10) / 15;
    EXPECT_NEAR(u * u + v * v, 1, 1e-9);
  }
  EXPECT_NEAR(full.front().y, 50, 1e-12);
  // Half an ellipse from parameter 0 to pi with the minor axis turned by a
  // downward normal lies on the other side of the major axis.
  e.major = {30, 0};
  e.end = M_PI;
  const auto upper = collect([&](auto add) { ellipsePoints(e, add); });
  e.mirrored = true;
  const auto lower = collect([&](auto add) { ellipsePoints(e, add); });
  EXPECT_NEAR(upper[upper.size() / 2].y, 35, 1e-9);
  EXPECT_NEAR(lower[lower.size() / 2].y, 5, 1e-9);
  // An end parameter below the start wraps round.
  e.mirrored = false;
  e.start = 3 * M_PI / 2;
  e.end = M_PI / 2;
  const auto right = collect([&](auto add) { ellipsePoints(e, add); });
  for (const auto& p : right) EXPECT_GE(p.x, 10 - 1e-9);
}

TEST(CurveSegments, BulgeArcsTable) {
  struct Case {
    double bulge;
    trealpoint centre;
    double radius;
    double sweep;
  };
  // From (0,0) to (10,0): bulge 1 is a half circle below the chord going
  // counterclockwise, -1 the half circle above; 0.5 and -2 the smaller and
  // larger arcs.
  const double r05 = 5 / std::sin(2 * std::atan(0.5));
  const double r2 = 5 / std::sin(2 * std::atan(2.0));
  const Case cases[] = {
      {1, {5, 0}, 5, M_PI},
      {-1, {5, 0}, 5, -M_PI},
      {0.5, {5, std::sqrt(r05 * r05 - 25)}, r05, 4 * std::atan(0.5)},
      {-2, {5, std::sqrt(r2 * r2 - 25)}, r2, -4 * std::atan(2.0)},
  };
  for (const Case& c : cases) {
    tBulgeArc arc;
    ASSERT_TRUE(bulgeArc({0, 0}, {10, 0}, c.bulge, arc));
    EXPECT_NEAR(arc.centre.x, c.centre.x, 1e-9) << c.bulge;
    EXPECT_NEAR(arc.centre.y, c.centre.y, 1e-9) << c.bulge;
    EXPECT_NEAR(arc.radius, c.radius, 1e-9) << c.bulge;
    EXPECT_NEAR(arc.sweep, c.sweep, 1e-12) << c.bulge;
    const auto pts = collect([&](auto add) { bulgeArcPoints({0, 0}, arc, add); });
    EXPECT_LT(radiusError(pts, arc.centre, arc.radius), 1e-9);
    // The arc's last intermediate point is one segment short of the end.
    EXPECT_LT(std::hypot(pts.back().x - 10, pts.back().y), 0.2 * arc.radius);
  }
  tBulgeArc none;
  EXPECT_FALSE(bulgeArc({0, 0}, {10, 0}, 0, none));
  EXPECT_FALSE(bulgeArc({3, 3}, {3, 3}, 1, none));
}

TEST(Splines, FourControlPointsAndEightKnotsAreOneBezierSegment) {
  tSplineData s;
  s.control = {{0, 0}, {10, 30}, {30, 30}, {40, 0}};
  s.knots = {0, 0, 0, 0, 1, 1, 1, 1};
  const auto bezier = splinePoints(s, false);
  const auto bspline = splinePoints(s, true);
  ASSERT_GT(bezier.size(), 100u);
  EXPECT_EQ(bezier.front(), s.control.front());
  EXPECT_EQ(bezier.back(), s.control.back());
  const double w[4] = {1, 1, 1, 1};
  // Every Bezier point lies on the cubic (midpoint value (20, 22.5)).
  const trealpoint mid = bezierAt(s.control.data(), w, 0.5);
  EXPECT_NEAR(mid.x, 20, 1e-12);
  EXPECT_NEAR(mid.y, 22.5, 1e-12);
  tBSpline curve;
  ASSERT_TRUE(curve.set(3, s.knots, {}, s.control));
  for (const double t : {0.0, 0.1, 0.37, 0.5, 0.99, 1.0}) {
    const trealpoint a = bezierAt(s.control.data(), w, t), b = curve.at(t);
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
  }
  EXPECT_EQ(bspline.front(), s.control.front());
  EXPECT_NEAR(bspline.back().x, 40, 1e-12);
}

TEST(Splines, WeightsMakeExactConics) {
  // A quarter circle as a rational quadratic: weights 1, sqrt(2)/2, 1.
  tSplineData s;
  s.degree = 2;
  s.control = {{10, 0}, {10, 10}, {0, 10}};
  s.knots = {0, 0, 0, 1, 1, 1};
  s.weights = {1, std::sqrt(0.5), 1};
  const auto pts = splinePoints(s, false);
  ASSERT_GT(pts.size(), 20u);
  EXPECT_LT(radiusError(pts, {0, 0}, 10), 1e-9);
  // Non-positive weights cannot describe a curve: the control polygon shows.
  s.weights = {1, 0, 1};
  EXPECT_EQ(splinePoints(s, false), s.control);
}

TEST(Splines, CornersOfAChainOfBezierSegmentsAreKept) {
  // Twelve control points with knots in runs of four: three cubic segments
  // meeting at sharp corners (15,0) and (30,0).
  tSplineData s;
  s.control = {{0, 0},    {5, 10}, {10, 10}, {15, 0}, {15, 0}, {20, -10},
               {25, -10}, {30, 0}, {30, 0},  {32, 8}, {38, 8}, {40, 0}};
  s.knots = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
  for (const bool forceBSpline : {false, true}) {
    const auto pts = splinePoints(s, forceBSpline);
    int corners = 0;
    for (const auto& p : pts) corners += (p == trealpoint{15, 0}) || (p == trealpoint{30, 0});
    EXPECT_GE(corners, 2) << "force " << forceBSpline;
  }
  // The same counts with ordinary knots is one smooth B-spline, not a chain:
  // it does not pass through the fourth control point.
  s.knots = {0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9};
  for (const auto& p : splinePoints(s, false)) EXPECT_FALSE(p.x == 15 && p.y == 0);
}

TEST(Splines, UnclampedKnotsStartOnTheCurveNotOnAControlPoint) {
  tSplineData s;
  s.control = {{0, 0}, {20, -5}, {30, 15}, {10, 25}, {-5, 12}, {0, 0}, {20, -5}, {30, 15}};
  for (int i = 0; i < 12; ++i) s.knots.push_back(i);
  const auto pts = splinePoints(s, false);
  // Uniform cubic: the curve starts at (P0 + 4 P1 + P2) / 6.
  EXPECT_NEAR(pts.front().x, (0 + 80 + 30) / 6.0, 1e-9);
  EXPECT_NEAR(pts.front().y, (0 - 20 + 15) / 6.0, 1e-9);
  // The last three control points repeat the first: the curve closes.
  EXPECT_NEAR(pts.back().x, pts.front().x, 1e-9);
  EXPECT_NEAR(pts.back().y, pts.front().y, 1e-9);
}

TEST(Splines, HostileDataStaysBounded) {
  tSplineData s;
  s.degree = 3;
  for (int i = 0; i < 200000; ++i) s.control.push_back({i * 1e3, (i % 7) * 1e3});
  for (std::size_t i = 0; i < kMaxSplineKnots; ++i) s.knots.push_back(static_cast<double>(i));
  const auto pts = splinePoints(s, false);
  EXPECT_LE(pts.size(), static_cast<std::size_t>(kMaxCurveSegments) + kMaxSplineKnots + 2);
  EXPECT_GT(pts.size(), 2u);
  // Degree far beyond the knots, decreasing knots, no knots: the control
  // polygon.
  tSplineData bad;
  bad.control = {{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 0}};
  for (const auto& knots : {std::vector<double>{0, 0, 0, 0, 2, 1, 1, 1, 1}, std::vector<double>{}}) {
    bad.knots = knots;
    EXPECT_EQ(splinePoints(bad, false), bad.control);
  }
  bad.degree = 1000000;
  bad.knots = {0, 0, 0, 0, 0.5, 1, 1, 1, 1};
  EXPECT_EQ(splinePoints(bad, false), bad.control);
}

TEST(Splines, FitCubicPassesThroughItsFourPoints) {
  const trealpoint p[4] = {{0, 0}, {10, 8}, {20, 3}, {30, 12}};
  tFitCubic cubic;
  ASSERT_TRUE(cubic.set(p[0], p[1], p[2], p[3]));
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(cubic.at(cubic.t(i)).x, p[i].x, 1e-9);
    EXPECT_NEAR(cubic.at(cubic.t(i)).y, p[i].y, 1e-9);
  }
  EXPECT_FALSE(cubic.set(p[0], p[0], p[2], p[3]));
  // Fitted points on a circle stay on it; open ends keep the end vertices.
  std::vector<trealpoint> v;
  for (int i = 0; i <= 12; ++i) v.push_back({30 * std::cos(M_PI * i / 12), 30 * std::sin(M_PI * i / 12)});
  const auto open = fittedPolylinePoints(v, false);
  EXPECT_EQ(open.front(), v.front());
  EXPECT_EQ(open.back(), v.back());
  EXPECT_LT(radiusError(open, {0, 0}, 30), 0.01);
  v.pop_back();
  const auto closed = fittedPolylinePoints(v, true);
  EXPECT_EQ(closed.back(), v.front());
}

TEST(OcsConversion, ArbitraryAxisRuleInSinglePrecision) {
  TConvOCS2WCS ocs;
  // The default normal keeps points apart from single-precision rounding.
  const TPoint3D p = ocs.Convert({123456.789f, -0.1f, 0});
  EXPECT_EQ(p.x, 123456.789f);
  EXPECT_EQ(p.y, -0.1f);
  // A downward normal mirrors x.
  ocs.SetNormalVector({0, 0, -1});
  EXPECT_EQ(ocs.Convert({10, 5, 0}).x, -10);
  EXPECT_EQ(ocs.Convert({10, 5, 0}).y, 5);
  // A tilted normal (0.6, 0, 0.8): Ax = Wz x n normalised = (0, 1, 0),
  // Ay = n x Ax = (-0.8, 0, 0.6).
  ocs.SetNormalVector({0.6f, 0, 0.8f});
  EXPECT_NEAR(ocs.Ax.y, 1, 1e-6);
  EXPECT_NEAR(ocs.Ay.x, -0.8, 1e-6);
  EXPECT_NEAR(ocs.Ay.z, 0.6, 1e-6);
  EXPECT_NEAR(ocs.tm[1][0], -0.8, 1e-6);
  EXPECT_EQ(ocs.tm[3][3], 1);
  const TPoint3D q = ocs.Convert({2, 1, 0});
  EXPECT_NEAR(q.x, -0.8, 1e-6);
  EXPECT_NEAR(q.y, 2, 1e-6);
  // A zero or broken normal counts as the default one.
  ocs.SetNormalVector({0, 0, 0});
  EXPECT_EQ(ocs.Az, (TPoint3D{0, 0, 1}));
  ocs.SetNormalVector({std::nanf(""), 0, 1});
  EXPECT_EQ(ocs.Ax, (TPoint3D{1, 0, 0}));
}

}  // namespace
}  // namespace trazvik::import
