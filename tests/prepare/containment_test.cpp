#include "prepare/containment.h"

#include "figure_builders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace trazvik {
namespace {

using testing::figure;
using testing::rectangle;

TEST(Containment, FigureLiesInCases) {
  struct Case {
    const char* name;
    std::vector<trealpoint> a;
    std::vector<trealpoint> b;
    bool inside;
  };
  const std::vector<Case> cases = {
      {"square in a square", rectangle(10, 10, 20, 20), rectangle(0, 0, 30, 30), true},
      {"outer in inner", rectangle(0, 0, 30, 30), rectangle(10, 10, 20, 20), false},
      {"identical closed figures", rectangle(0, 0, 30, 30), rectangle(0, 0, 30, 30), false},
      {"touching the box on the left", rectangle(0, 10, 20, 20), rectangle(0, 0, 30, 30), false},
      {"touching the box at the top", rectangle(10, 10, 20, 30), rectangle(0, 0, 30, 30), false},
      {"square in an open polyline", rectangle(10, 10, 20, 20), {{0, 0}, {30, 0}, {30, 30}, {0, 30}}, false},
      {"beside, not inside", rectangle(40, 10, 50, 20), rectangle(0, 0, 30, 30), false},
      // An L-shaped B whose box encloses A while A sits in the notch.
      {"in the notch of an L",
       rectangle(20, 20, 25, 25),
       {{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 30}, {0, 30}, {0, 0}},
       false},
      // A's first point is B's inner corner; its next point decides.
      {"first point at a corner, next inside",
       {{5, 5}, {7, 7}, {9, 5}, {5, 5}},
       {{5, 0}, {15, 0}, {15, 15}, {0, 15}, {0, 5}, {5, 5}, {5, 0}},
       true},
      {"first point at a corner, next in the notch",
       {{5, 5}, {3, 3}, {2, 5}, {5, 5}},
       {{5, 0}, {15, 0}, {15, 15}, {0, 15}, {0, 5}, {5, 5}, {5, 0}},
       false},
  };
  for (const Case& c : cases) {
    auto a = figure(c.a);
    auto b = figure(c.b);
    EXPECT_EQ(figureLiesIn(*a, *b), c.inside) << c.name;
  }
  auto same = figure(rectangle(0, 0, 10, 10));
  EXPECT_FALSE(figureLiesIn(*same, *same));
}

TEST(Containment, PointOnTheBoundaryIsDecidedByTheNextPoint) {
  // B: a square; A's first point sits on B's left edge, the second inside.
  auto b = figure(rectangle(0, 0, 100, 100));
  auto inside = figure({{0.5, 50}, {50, 60}, {60, 40}, {0.5, 50}});
  auto onEdgeThenInside = figure({{10, 50}, {50, 60}, {60, 40}, {10, 50}});
  EXPECT_TRUE(figureLiesIn(*inside, *b));
  EXPECT_TRUE(figureLiesIn(*onEdgeThenInside, *b));
  // A figure whose first point lies exactly on a vertical edge of B.
  auto c = figure({{0, 0}, {100, 0}, {100, 100}, {50, 100}, {50, 50}, {30, 50}, {30, 100}, {0, 100}, {0, 0}});
  auto firstOnEdge = figure({{50, 70}, {45, 80}, {40, 70}, {50, 70}});  // first point on x = 50, then in the notch
  EXPECT_FALSE(figureLiesIn(*firstOnEdge, *c));
  auto firstOnEdgeThenInside = figure({{50, 70}, {55, 80}, {60, 70}, {50, 70}});
  EXPECT_TRUE(figureLiesIn(*firstOnEdgeThenInside, *c));
}

TEST(Containment, IsPointInPolyEvenOdd) {
  const std::vector<trealpoint> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  // A ring drawn as one polygon with a slit: the hole is outside.
  const std::vector<trealpoint> ring{{0, 0},   {30, 0},  {30, 30}, {0, 30},  {0, 0},
                                     {10, 10}, {10, 20}, {20, 20}, {20, 10}, {10, 10}};
  struct Case {
    trealpoint pt;
    const std::vector<trealpoint>* poly;
    bool inside;
  };
  const std::vector<Case> cases = {
      {{5, 5}, &square, true},  {{15, 5}, &square, false}, {{-1, 5}, &square, false}, {{5, 10}, &square, false},
      {{5, 0}, &square, true},  {{0, 5}, &square, true},   {{10, 5}, &square, false}, {{5, 5}, &ring, true},
      {{15, 15}, &ring, false}, {{25, 15}, &ring, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsPointInPoly(c.pt, *c.poly), c.inside) << c.pt.x << ", " << c.pt.y;
  }
  EXPECT_FALSE(IsPointInPoly({1, 1}, std::vector<trealpoint>{}));
}

// The nesting as the pass-until-nothing-changes scan over every pair.
struct Nest {
  std::vector<int> parent;
  std::vector<int> level;
  int deepest = 0;
};

Nest scanEveryPair(const tListaFigur& figury) {
  const std::size_t n = figury.size();
  Nest r{std::vector<int>(n, -1), std::vector<int>(n, 0), 0};
  std::function<void(std::size_t)> relevel = [&](std::size_t a) {
    for (std::size_t c = 0; c < n; ++c) {
      if (r.parent[c] == static_cast<int>(a)) {
        r.level[c] = r.level[a] + 1;
        r.deepest = std::max(r.deepest, r.level[c]);
        relevel(c);
      }
    }
  };
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t b = 0; b < n; ++b) {
      if (figury[b]->otwarta) continue;
      for (std::size_t a = 0; a < n; ++a) {
        if (!figureLiesIn(*figury[a], *figury[b])) continue;
        if (r.parent[a] >= 0 && r.level[r.parent[a]] >= r.level[b]) continue;
        r.parent[a] = static_cast<int>(b);
        r.level[a] = r.level[b] + 1;
        r.deepest = std::max(r.deepest, r.level[a]);
        relevel(a);
        changed = true;
      }
    }
  }
  return r;
}

Nest nestingOf(tListaFigur& figury) {
  Nest r;
  r.deepest = co_w_czym(figury);
  for (const auto& f : figury) {
    int parent = -1;
    for (std::size_t j = 0; j < figury.size(); ++j) {
      if (figury[j].get() == f->lezy_w) parent = static_cast<int>(j);
    }
    r.parent.push_back(parent);
    r.level.push_back(f->poziom);
  }
  return r;
}

TEST(Nesting, ConcentricSquaresGetLevelsWhateverTheirOrder) {
  std::vector<int> order{0, 1, 2};
  do {
    const std::vector<std::vector<trealpoint>> squares{rectangle(0, 0, 90, 90), rectangle(10, 10, 80, 80),
                                                       rectangle(20, 20, 70, 70)};
    tListaFigur figury;
    for (int i : order) figury.push_back(figure(squares[i]));
    EXPECT_EQ(co_w_czym(figury), 2);
    for (std::size_t k = 0; k < 3; ++k) {
      const int size = order[k];  // 0 largest
      EXPECT_EQ(figury[k]->poziom, size);
      if (size == 0) {
        EXPECT_EQ(figury[k]->lezy_w, nullptr);
      } else {
        const auto parent = std::find(order.begin(), order.end(), size - 1) - order.begin();
        EXPECT_EQ(figury[k]->lezy_w, figury[parent].get());
      }
    }
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST(Nesting, OpenFiguresContainNothingAndTouchingBoxesDoNotNest) {
  tListaFigur figury;
  figury.push_back(figure({{0, 0}, {100, 0}, {100, 100}, {0, 100}}));  // open
  figury.push_back(figure(rectangle(10, 10, 20, 20)));
  figury.push_back(figure(rectangle(10, 5, 50, 50)));  // shares minimum x with the one before
  figury.push_back(figure({{30, 30}, {40, 40}}));      // open stroke inside the last
  EXPECT_EQ(co_w_czym(figury), 1);
  EXPECT_EQ(figury[1]->poziom, 0);
  EXPECT_EQ(figury[1]->lezy_w, nullptr);
  EXPECT_EQ(figury[3]->lezy_w, figury[2].get());
  EXPECT_EQ(figury[3]->poziom, 1);
}

// Random scenes of nested and overlapping rectangles and triangles: the
// indexed nesting gives exactly the result of the scan over every pair,
// including which of two overlapping figures a figure inside both gets.
TEST(Nesting, IndexedNestingMatchesTheScanOfEveryPair) {
  std::mt19937 rng(77);
  std::uniform_real_distribution<double> pos(0, 1000);
  std::uniform_real_distribution<double> size(2, 400);
  std::uniform_int_distribution<int> shape(0, 3);
  for (int scene = 0; scene < 60; ++scene) {
    tListaFigur figury;
    for (int i = 0; i < 80; ++i) {
      const double x = std::round(pos(rng)), y = std::round(pos(rng)), w = std::round(size(rng)),
                   h = std::round(size(rng));
      switch (shape(rng)) {
        case 0: figury.push_back(figure(rectangle(x, y, x + w, y + h))); break;
        case 1: figury.push_back(figure({{x, y}, {x + w, y}, {x + w / 2, y + h}, {x, y}})); break;
        case 2: figury.push_back(figure(testing::reversed(rectangle(x, y, x + w, y + h)))); break;
        default: figury.push_back(figure({{x, y}, {x + w, y + h}}));  // an open stroke
      }
    }
    const Nest expected = scanEveryPair(figury);
    const Nest got = nestingOf(figury);
    EXPECT_EQ(got.parent, expected.parent) << "scene " << scene;
    EXPECT_EQ(got.level, expected.level) << "scene " << scene;
    EXPECT_EQ(got.deepest, expected.deepest) << "scene " << scene;
  }
}

TEST(Nesting, DegenerateFiguresNeverHangOrCrash) {
  constexpr double kBig = 2147483647.0;
  tListaFigur figury;
  figury.push_back(figure({{5, 5}, {5, 5}, {5, 5}, {5, 5}}));                       // all points equal
  figury.push_back(figure({{0, 0}, {50, 0}, {100, 0}, {0, 0}}));                    // collinear closed
  figury.push_back(figure({{0, 0}, {0, 0}, {10, 0}, {10, 10}, {10, 10}, {0, 0}}));  // repeated points
  figury.push_back(figure(rectangle(kBig - 100, kBig - 100, kBig, kBig)));
  figury.push_back(figure(rectangle(kBig - 50, kBig - 50, kBig - 10, kBig - 10)));
  figury.push_back(figure({{std::nan(""), 0}, {1, 1}, {2, 0}, {std::nan(""), 0}}));
  figury.push_back(
      figure({{-INFINITY, -INFINITY}, {INFINITY, -INFINITY}, {INFINITY, INFINITY}, {-INFINITY, -INFINITY}}));
  figury.push_back(figure(rectangle(-1000, -1000, 1000, 1000)));
  const Nest got = nestingOf(figury);
  EXPECT_EQ(got.level[4], 1) << "a square far out still nests";
  EXPECT_EQ(got.parent[4], 3);
  EXPECT_EQ(got.parent, scanEveryPair(figury).parent);
}

}  // namespace
}  // namespace trazvik
