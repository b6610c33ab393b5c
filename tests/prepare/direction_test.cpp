#include "prepare/direction.h"

#include "figure_builders.h"
#include "prepare/containment.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

using testing::figure;
using testing::rectangle;
using testing::reversed;

TEST(Direction, JakiKierunekByTheNeighboursOfTheLowestPoint) {
  struct Case {
    const char* name;
    std::vector<trealpoint> pts;
    int dir;
  };
  const std::vector<Case> cases = {
      {"counter-clockwise square from its lower-left corner", rectangle(0, 0, 10, 10), -1},
      {"clockwise square", reversed(rectangle(0, 0, 10, 10)), 1},
      {"counter-clockwise, started at the top", {{10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}}, -1},
      {"clockwise triangle with the lowest point last but one", {{0, 10}, {10, 10}, {5, 0}, {0, 10}}, 1},
      {"open polyline", {{0, 0}, {10, 0}, {10, 10}}, 0},
      {"two points", {{0, 0}, {10, 0}}, 0},
      {"there and back", {{0, 0}, {10, 5}, {0, 0}}, 0},
  };
  for (const Case& c : cases) {
    tListaFigur figury;
    figury.push_back(figure(c.pts));
    EXPECT_EQ(JakiKierunek(figury, 0), c.dir) << c.name;
    EXPECT_EQ(figury[0]->dir, c.dir) << c.name;
  }
  tListaFigur none;
  EXPECT_EQ(JakiKierunek(none, 3), 0);
}

TEST(Direction, ReversingTwiceRestoresThePointOrder) {
  tListaFigur figury;
  figury.push_back(figure({{0, 0}, {10, 0}, {12, 7}, {3, 9}, {0, 0}}));
  figury[0]->op = {{1, 1}, {2, 2}, {3, 3}};
  const auto p = figury[0]->p;
  const auto op = figury[0]->op;
  JakiKierunek(figury, -1);
  const int before = figury[0]->dir;
  OdwrocKierunek(figury, 0);
  EXPECT_EQ(figury[0]->dir, -before);
  EXPECT_EQ(figury[0]->p, reversed(p));
  EXPECT_EQ(figury[0]->op, reversed(op));
  OdwrocKierunek(figury, -1);
  EXPECT_EQ(figury[0]->p, p);
  EXPECT_EQ(figury[0]->op, op);
  EXPECT_EQ(figury[0]->dir, before);
}

// An outer square (level 0) with a hole (level 1) and an island in the hole
// (level 2), all drawn counter-clockwise, plus an open stroke.
tListaFigur nest() {
  tListaFigur figury;
  figury.push_back(figure(rectangle(0, 0, 100, 100)));
  figury.push_back(figure(rectangle(10, 10, 90, 90)));
  figury.push_back(figure(rectangle(20, 20, 80, 80)));
  figury.push_back(figure({{200, 0}, {300, 50}}));
  co_w_czym(figury);
  return figury;
}

TEST(Direction, UstawKierunekAppliesOuterAndInnerSettings) {
  struct Case {
    int outDir, inDir;
    bool negatyw;
    int level0, level1, level2;  // resulting directions
  };
  const std::vector<Case> cases = {
      {0, 0, false, -1, -1, -1},                            // keep everything
      {1, 0, false, 1, 1, 1},                               // all to the right
      {2, 0, false, -1, -1, -1},                            // all to the left
      {1, 1, false, 1, -1, 1},                              // inner opposite to outer
      {2, 1, false, -1, 1, -1},  {0, 1, false, -1, 1, -1},  // inner "opposite" of keep: every inner figure reversed
      {1, 1, true, -1, 1, -1},                              // negative: level 0 becomes inner
      {2, 1, true, 1, -1, 1},
  };
  for (const Case& c : cases) {
    tListaFigur figury = nest();
    PrepareSettings s;
    s.out_dir = c.outDir;
    s.in_dir = c.inDir;
    s.negatyw = c.negatyw;
    UstawKierunek(figury, s);
    JakiKierunek(figury, -1);
    EXPECT_EQ(figury[0]->dir, c.level0) << c.outDir << c.inDir << c.negatyw;
    EXPECT_EQ(figury[1]->dir, c.level1) << c.outDir << c.inDir << c.negatyw;
    EXPECT_EQ(figury[2]->dir, c.level2) << c.outDir << c.inDir << c.negatyw;
    EXPECT_EQ(figury[3]->p.front(), (trealpoint{200, 0})) << "open figures are never turned";
  }
}

TEST(Direction, FigureWithoutDirectionIsReversedOnlyWhenItsGroupIsSet) {
  tListaFigur figury;
  figury.push_back(figure({{0, 0}, {10, 5}, {0, 0}}));
  const auto p = figury[0]->p;
  PrepareSettings s;
  s.out_dir = 1;
  s.in_dir = 0;
  UstawKierunek(figury, s);  // direction 0 differs from 1: reversed
  EXPECT_EQ(figury[0]->p, reversed(p));
  s.out_dir = 0;
  UstawKierunek(figury, s);  // kept
  EXPECT_EQ(figury[0]->p, reversed(p));
}

}  // namespace
}  // namespace trazvik
