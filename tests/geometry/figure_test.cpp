#include "geometry/figure.h"

#include <gtest/gtest.h>

#include <vector>

namespace trazvik {
namespace {

using Points = std::vector<trealpoint>;

tfigura figureOf(Points points) {
  tfigura f;
  f.p = std::move(points);
  return f;
}

TEST(Figure, StartsEmptyAndZeroed) {
  const tfigura f;
  EXPECT_TRUE(f.p.empty() && f.op.empty() && f.dp.empty() && f.sp.empty() && f.bp.empty());
  EXPECT_TRUE(f.LBezier.empty() && f.SpiralaBezier.empty());
  EXPECT_EQ(f.org_color, 0);
  EXPECT_EQ(f.width, 0);
  EXPECT_FALSE(f.ramka || f.kreska || f.tocut || f.valid);
  EXPECT_EQ(f.lezy_w, nullptr);
}

TEST(Figure, CopiesOwnTheirPoints) {
  tfigura a = figureOf({{1, 1}, {2, 2}});
  a.LBezier.push_back(tBezier{});
  tfigura b = a;
  b.p[0].x = 99;
  b.LBezier.clear();
  EXPECT_EQ(a.p[0].x, 1);
  EXPECT_EQ(a.LBezier.size(), 1u);
}

TEST(Figure, GetMinPointTakesTheFirstLowest) {
  struct Case {
    Points points;
    int index;
  };
  const Case cases[] = {
      {{{0, 5}, {0, 1}, {3, 1}}, 1},    {{}, 0}, {{{7, 7}}, 0}, {{{0, -1}, {5, 3}, {1, -1}}, 0},
      {{{0, 2}, {5, 3}, {1, -4.5}}, 2},
  };
  for (const Case& c : cases) {
    tfigura f = figureOf(c.points);
    f.min_point = -1;
    EXPECT_EQ(f.get_min_point(), c.index);
    EXPECT_EQ(f.min_point, c.index);
  }
}

TEST(Figure, RedukujWezlyNaProstychThinsOnlyRisingStraightRuns) {
  struct Case {
    const char* what;
    Points in;
    Points out;
  };
  const Case cases[] = {
      {"rising diagonal", {{0, 0}, {1, 1}, {2, 2}, {3, 3}}, {{0, 0}, {3, 3}}},
      {"falling diagonal stays", {{3, 3}, {2, 2}, {1, 1}, {0, 0}}, {{3, 3}, {2, 2}, {1, 1}, {0, 0}}},
      {"level run", {{0, 0}, {1, 0}, {5, 0}}, {{0, 0}, {5, 0}}},
      {"rising vertical", {{2, 0}, {2, 1}, {2, 7}}, {{2, 0}, {2, 7}}},
      {"corner stays", {{0, 0}, {1, 1}, {2, 0}}, {{0, 0}, {1, 1}, {2, 0}}},
      {"turn back on the line", {{0, 0}, {2, 2}, {1, 1}}, {{0, 0}, {2, 2}, {1, 1}}},
      {"runs around corners",
       {{0, 0}, {1, 2}, {2, 4}, {3, 6}, {10, 0}, {11, 1}, {12, 2}},
       {{0, 0}, {3, 6}, {10, 0}, {12, 2}}},
      {"falling run after a rising one",
       {{0, 0}, {1, 1}, {2, 2}, {3, 1}, {4, 0}, {5, -1}},
       {{0, 0}, {2, 2}, {3, 1}, {4, 0}, {5, -1}}},
      {"nearly straight stays", {{0, 0}, {1, 1}, {2, 2.000001}}, {{0, 0}, {1, 1}, {2, 2.000001}}},
      {"two points", {{0, 0}, {1, 1}}, {{0, 0}, {1, 1}}},
      {"empty", {}, {}},
  };
  for (const Case& c : cases) {
    tfigura f = figureOf(c.in);
    f.RedukujWezlyNaProstych();
    EXPECT_EQ(f.p, c.out) << c.what;
  }
}

TEST(Figure, FinishShapeSetsBoxFlagsAndCountsShortSegments) {
  struct Case {
    const char* what;
    Points points;
    bool valid, open;
    trealpoint lo, hi;
    int minPoint;
    int shortSegments;  // with accuracy 1
  };
  const Case cases[] = {
      {"single point", {{3, 4}}, false, true, {3, 4}, {3, 4}, 0, 0},
      {"two equal points", {{5, 5}, {5, 5}}, false, true, {5, 5}, {5, 5}, 0, 0},
      {"closed square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, true, false, {0, 0}, {10, 10}, 0, 0},
      {"open polyline", {{0, 5}, {10, -2}, {20, -2}, {30, 8}}, true, true, {0, -2}, {30, 8}, 1, 0},
      {"there and back", {{0, 0}, {5, 5}, {0, 0}}, true, false, {0, 0}, {5, 5}, 0, 0},
      {"closed in two points is open", {{0, 0}, {0, 0}}, false, true, {0, 0}, {0, 0}, 0, 0},
      {"short segments but not the last", {{0, 0}, {0.5, 0}, {10, 0}, {10, 0.2}}, true, true, {0, 0}, {10, 0.2}, 0, 1},
  };
  for (const Case& c : cases) {
    tfigura f = figureOf(c.points);
    tfigura outer;
    f.lezy_w = &outer;
    f.poziom = 3;
    EXPECT_EQ(finishFigureShape(f, 1.0), c.shortSegments) << c.what;
    EXPECT_EQ(f.valid, c.valid) << c.what;
    EXPECT_EQ(f.otwarta, c.open) << c.what;
    EXPECT_EQ(f.fig_pp, c.lo) << c.what;
    EXPECT_EQ(f.fig_pk, c.hi) << c.what;
    EXPECT_DOUBLE_EQ(f.fig_x_size, c.hi.x - c.lo.x) << c.what;
    EXPECT_DOUBLE_EQ(f.fig_y_size, c.hi.y - c.lo.y) << c.what;
    EXPECT_EQ(f.center, (trealpoint{(c.lo.x + c.hi.x) / 2, (c.lo.y + c.hi.y) / 2})) << c.what;
    EXPECT_EQ(f.min_point, c.minPoint) << c.what;
    EXPECT_EQ(f.lezy_w, nullptr);
    EXPECT_EQ(f.poziom, 0);
  }

  tfigura empty;
  empty.valid = true;
  empty.fig_x_size = 7;
  EXPECT_EQ(finishFigureShape(empty, 1.0), 0);
  EXPECT_FALSE(empty.valid);
  EXPECT_EQ(empty.fig_x_size, 7);  // nothing else is touched
}

}  // namespace
}  // namespace trazvik
