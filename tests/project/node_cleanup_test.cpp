#include "project/node_cleanup.h"

#include "geometry/lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace trazvik {
namespace {

using Pts = std::vector<trealpoint>;

TEST(NodeCleanup, StraightLineTest) {
  const struct {
    trealpoint a, b, c;
    bool straight;
  } cases[] = {
      {{0, 0}, {0, 5}, {0, -3}, true},  // all on one vertical, even turning back
      {{0, 0}, {0, 5}, {1, 9}, false},  // two share an x
      {{0, 0}, {4, 1}, {0, 2}, false},  // first and last share an x
      {{0, 0}, {1, 1}, {3, 3}, true},
      {{0, 0}, {2, 2}, {1, 1}, true},                 // back along the same line
      {{0, 0}, {1, 1.0000001}, {2, 2}, false},        // slope differs by 1e-7
      {{0, 0}, {1e6, 1e6 + 1e-5}, {2e6, 2e6}, true},  // differs by 1e-11 in slope
      {{0, 0}, {10, 0}, {20, 0}, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(naProstej(c.a, c.b, c.c), c.straight)
        << "(" << c.a.x << "," << c.a.y << ") (" << c.b.x << "," << c.b.y << ") (" << c.c.x << "," << c.c.y << ")";
  }
}

TEST(NodeCleanup, NodeOptimisationRemovesNearPointsThenStraightMiddles) {
  const struct {
    Pts in, out;
  } cases[] = {
      // near-equal neighbours, measured against the point kept before them
      {{{0, 0}, {0.0005, 0}, {0.0009, 0.0009}, {5, 7}, {9, 1}}, {{0, 0}, {5, 7}, {9, 1}}},
      // a straight run collapses to its ends, a corner stays
      {{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 4}, {3, 8}}, {{0, 0}, {3, 0}, {3, 8}}},
      // a closed square keeps its corners and its closing point
      {{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}},
      // two points are left alone even when equal
      {{{1, 1}, {1, 1}}, {{1, 1}, {1, 1}}},
      // all points equal: one is left
      {{{2, 2}, {2, 2}, {2, 2}, {2, 2}}, {{2, 2}}},
      // collinear closed figure: the middle goes, the turn-back stays
      {{{0, 0}, {10, 0}, {20, 0}, {0, 0}}, {{0, 0}, {20, 0}, {0, 0}}},
  };
  for (const auto& c : cases) {
    Pts p = c.in;
    optymalizujWezly(p);
    EXPECT_EQ(p, c.out);
  }
}

// The simplification as written for one point list: remove points from the
// list itself and move indices as the description says.
Pts uproscWprost(Pts p, double t) {
  std::size_t a = 0, j = 2;
  while (j < p.size()) {
    const tLineGen l = segmentLineGen({p[a], p[j]});
    double m = 0;
    for (std::size_t i = a + 1; i < j; ++i) m = std::max(m, pointLineDistance(p[i], l));
    if (m >= t) {
      p.erase(p.begin() + static_cast<long>(a) + 1, p.begin() + static_cast<long>(j) - 1);
      a = a + 1;
      j = a + 2;
    } else {
      ++j;
    }
  }
  if (a + 1 < p.size()) p.erase(p.begin() + static_cast<long>(a) + 1, p.end() - 1);
  return p;
}

TEST(NodeCleanup, ShortSegmentSimplification) {
  Pts line{{0, 0}, {1, 0.5}, {2, -0.5}, {3, 0.2}, {4, 0}};
  Pts p = line;
  uproscKrotkieOdcinki(p, 2.0);
  EXPECT_EQ(p, (Pts{{0, 0}, {4, 0}}));

  // a corner survives: the run stops before the point that bends away
  Pts corner{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}, {3, 3}};
  p = corner;
  uproscKrotkieOdcinki(p, 0.5);
  EXPECT_EQ(p, (Pts{{0, 0}, {3, 0}, {3, 3}}));

  // a closed square of short sides keeps its corners
  Pts sq{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
  p = sq;
  uproscKrotkieOdcinki(p, 0.5);
  EXPECT_EQ(p, sq);

  for (const Pts& small : {Pts{}, Pts{{1, 1}}, Pts{{1, 1}, {2, 2}}}) {
    p = small;
    uproscKrotkieOdcinki(p, 2);
    EXPECT_EQ(p, small);
  }
}

TEST(NodeCleanup, SimplificationMatchesTheLiteralProcedureOnRandomPolylines) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> step(-3, 3);
  for (int round = 0; round < 300; ++round) {
    Pts p{{0, 0}};
    const int n = 3 + static_cast<int>(rng() % 40);
    for (int i = 1; i < n; ++i) p.push_back({p.back().x + step(rng), p.back().y + step(rng)});
    if (round % 5 == 0) p.push_back(p.front());
    const double t = 0.5 + (rng() % 4);
    Pts mine = p;
    uproscKrotkieOdcinki(mine, t);
    EXPECT_EQ(mine, uproscWprost(p, t)) << "round " << round;
  }
}

TEST(NodeCleanup, DegenerateInputEnds) {
  const double big = 2147483647.0;
  Pts p{{big, big}, {big, big}, {-big, big}, {big, -big}, {big, big}, {NAN, 0}, {0, INFINITY}};
  Pts q = p;
  optymalizujWezly(q);
  uproscKrotkieOdcinki(q, 2);
  EXPECT_GE(q.size(), 2u);
  q = p;
  uproscKrotkieOdcinki(q, 2);
  EXPECT_GE(q.size(), 2u);
}

}  // namespace
}  // namespace trazvik
