#include "project/figure_collector.h"

#include "geometry/crossing.h"
#include "geometry/points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace trazvik {
namespace {

using Pts = std::vector<trealpoint>;

std::unique_ptr<tfigura> figura(Pts p) {
  auto f = std::make_unique<tfigura>();
  f->p = std::move(p);
  finishFigureShape(*f, 2.0);
  return f;
}

tUstawieniaWczytania wszystko(double acc = 2.0) {
  tUstawieniaWczytania u;
  u.auto_add = u.auto_remove = u.crosstopoint = true;
  u.prj_accuracy = acc;
  u.komorkaKresek = 40;
  return u;
}

// The loading steps exactly as described: every new figure is compared
// with every figure already in the project, in order.
class ProstyZbieracz {
 public:
  explicit ProstyZbieracz(tUstawieniaWczytania u) : u_(u) {}
  void dodaj(tfigura n) {
    if (u_.auto_add && n.otwarta && n.p.size() > 1) {
      bool joined = true;
      while (joined) {
        joined = false;
        std::size_t i = 0;
        while (i < figs_.size()) {
          tfigura& f = figs_[i];
          const double t = u_.prj_accuracy;
          if (!(f.otwarta && f.p.size() > 1)) {
            ++i;
            continue;
          }
          bool j = true;
          if (nearPointTol(n.p.back(), f.p.front(), t)) {
            for (std::size_t k = 1; k < f.p.size(); ++k) n.p.push_back(f.p[k]);
          } else if (nearPointTol(n.p.back(), f.p.back(), t)) {
            for (std::size_t k = f.p.size() - 1; k-- > 0;) n.p.push_back(f.p[k]);
          } else if (nearPointTol(n.p.front(), f.p.front(), t)) {
            for (std::size_t k = 1; k < f.p.size(); ++k) n.p.insert(n.p.begin(), f.p[k]);
          } else if (nearPointTol(n.p.front(), f.p.back(), t)) {
            for (std::size_t k = f.p.size() - 1; k-- > 0;) n.p.insert(n.p.begin(), f.p[k]);
          } else {
            j = false;
          }
          if (j) {
            figs_.erase(figs_.begin() + static_cast<long>(i));
            joined = true;
          } else {
            ++i;
          }
        }
      }
    }
    if (u_.auto_remove) {
      for (const tfigura& f : figs_) {
        if (f.p == n.p) return;
      }
    }
    liczParametryFigury(n, u_.prj_accuracy);
    n.otwarta = n.p.size() < 3 || !nearPoint(n.p.front(), n.p.back());
    n.otwor = false;
    if (u_.crosstopoint && n.p.size() == 2) {
      for (std::size_t i = 0; i < figs_.size(); ++i) {
        trealpoint q;
        if (figs_[i].p.size() == 2 &&
            segmentsCrossInside({figs_[i].p[0], figs_[i].p[1]}, {n.p[0], n.p[1]}, u_.prj_accuracy, q)) {
          figs_.erase(figs_.begin() + static_cast<long>(i));
          n.p = {q, q};
          n.otwor = true;
          liczParametryFigury(n, u_.prj_accuracy);
          break;
        }
      }
    }
    figs_.push_back(n);
  }
  std::vector<tfigura> figs_;
  tUstawieniaWczytania u_;
};

TEST(FigureCollector, JoinsTouchingOpenFiguresInEveryOrientation) {
  const struct {
    Pts first, second, joined;
  } cases[] = {
      // new last = old first
      {{{100, 0}, {100, 100}}, {{0, 0}, {100, 0}}, {{0, 0}, {100, 0}, {100, 100}}},
      // new last = old last: old reversed onto the end
      {{{100, 100}, {100, 0}}, {{0, 0}, {100, 1}}, {{0, 0}, {100, 1}, {100, 100}}},
      // new first = old first: old reversed in front
      {{{0, 0}, {0, 50}, {0, 90}}, {{1, 1}, {70, 0}}, {{0, 90}, {0, 50}, {1, 1}, {70, 0}}},
      // new first = old last
      {{{5, 5}, {9, 9}}, {{9, 9}, {20, 0}}, {{5, 5}, {9, 9}, {20, 0}}},
  };
  for (const auto& c : cases) {
    tZbieraczFigur z(wszystko());
    z.dodaj(figura(c.first));
    z.dodaj(figura(c.second));
    auto l = z.odbierz();
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0]->p, c.joined);
    EXPECT_TRUE(l[0]->op.empty() && l[0]->dp.empty()) << "outlines wait for the tool-path step";
  }
  // without auto_add they stay apart (and touching is no crossing here)
  tUstawieniaWczytania u = wszystko();
  u.auto_add = false;
  u.crosstopoint = false;
  tZbieraczFigur z(u);
  z.dodaj(figura({{0, 0}, {100, 0}}));
  z.dodaj(figura({{100, 0}, {100, 100}}));
  EXPECT_EQ(z.ilosc(), 2u);
}

TEST(FigureCollector, JoiningRepeatsUntilNothingChangesAndClosesARing) {
  tZbieraczFigur z(wszystko());
  z.dodaj(figura({{0, 0}, {10, 0}}));
  z.dodaj(figura({{10, 10}, {0, 10}}));
  z.dodaj(figura({{0, 10}, {0, 0}}));    // joins both: a U
  z.dodaj(figura({{10, 0}, {10, 10}}));  // joins the U at both ends
  auto l = z.odbierz();
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l[0]->p.size(), 5u);
  EXPECT_FALSE(l[0]->otwarta);
  EXPECT_TRUE(samePoint(l[0]->p.front(), l[0]->p.back()));
}

TEST(FigureCollector, DuplicatesAndCrossesAndClosure) {
  tZbieraczFigur z(wszystko());
  z.dodaj(figura({{0, 0}, {50, 0}, {50, 50}, {0, 50}, {1, 1}}));
  z.dodaj(figura({{0, 0}, {50, 0}, {50, 50}, {0, 50}, {1, 1}}));  // drawn twice
  z.dodaj(figura({{100, 0}, {150, 0}, {150, 50}, {100, 50}, {102, 0}}));
  z.dodaj(figura({{200, 0}, {220, 20}}));
  z.dodaj(figura({{200, 20}, {220, 0}}));  // an X
  auto l = z.odbierz();
  ASSERT_EQ(l.size(), 3u);
  EXPECT_FALSE(l[0]->otwarta);  // 1 unit off: closed
  EXPECT_TRUE(l[1]->otwarta);   // 2 units off: open
  EXPECT_TRUE(l[2]->otwor);
  EXPECT_EQ(l[2]->p, (Pts{{210, 10}, {210, 10}}));
  EXPECT_EQ(l[2]->center, (trealpoint{210, 10}));
}

TEST(FigureCollector, OnlyStrokesCrossingInsideBothBecomeADrillPoint) {
  struct Case {
    const char* what;
    Pts first, second;
    double accuracy;
    bool drill;
    trealpoint point;  // of the drill mark
  };
  const Case cases[] = {
      {"X", {{0, 0}, {100, 100}}, {{0, 100}, {100, 0}}, 2.0, true, {50, 50}},
      {"X off the middle", {{0, 0}, {100, 0}}, {{30, -40}, {30, 60}}, 2.0, true, {30, 0}},
      {"X crossing just beyond the accuracy", {{0, 0}, {100, 0}}, {{50, -3}, {50, 100}}, 2.0, true, {50, 0}},
      {"X of a drawing", {{0, 0}, {1000, 1000}}, {{0, 1000}, {1000, 0}}, 0.01, true, {500, 500}},
      {"L", {{0, 0}, {100, 0}}, {{100, 0}, {100, 100}}, 2.0, false, {}},
      {"L meeting at both starts", {{0, 0}, {100, 0}}, {{0, 0}, {0, 100}}, 2.0, false, {}},
      {"V at the ends", {{0, 0}, {50, 100}}, {{100, 0}, {50, 100}}, 2.0, false, {}},
      {"T, the new stroke ends on the old", {{0, 0}, {100, 0}}, {{50, 0}, {50, 100}}, 2.0, false, {}},
      {"T, the old stroke ends on the new", {{50, -100}, {50, 0}}, {{0, 0}, {100, 0}}, 2.0, false, {}},
      {"T overshooting by less than the accuracy", {{0, 0}, {100, 0}}, {{50, -1}, {50, 100}}, 2.0, false, {}},
      {"T of a drawing", {{0, 0}, {1000, 0}}, {{500, 0}, {500, 1000}}, 0.01, false, {}},
      {"T of a drawing, slanted", {{0, 0}, {1000, 300}}, {{500, 150}, {900, 1000}}, 0.01, false, {}},
      {"apart", {{0, 0}, {100, 0}}, {{50, 1}, {50, 100}}, 2.0, false, {}},
      {"on one line", {{0, 0}, {100, 0}}, {{50, 0}, {150, 0}}, 2.0, false, {}},
  };
  for (const Case& c : cases) {
    tUstawieniaWczytania u;
    u.crosstopoint = true;
    u.prj_accuracy = c.accuracy;
    tZbieraczFigur z(u);
    z.dodaj(figura(c.first));
    z.dodaj(figura(c.second));
    auto l = z.odbierz();
    if (c.drill) {
      ASSERT_EQ(l.size(), 1u) << c.what;
      EXPECT_TRUE(l[0]->otwor) << c.what;
      ASSERT_EQ(l[0]->p.size(), 2u) << c.what;
      for (const trealpoint& q : l[0]->p) {
        EXPECT_NEAR(q.x, c.point.x, 1e-9) << c.what;
        EXPECT_NEAR(q.y, c.point.y, 1e-9) << c.what;
      }
      continue;
    }
    ASSERT_EQ(l.size(), 2u) << c.what;
    EXPECT_EQ(l[0]->p, c.first) << c.what;
    EXPECT_EQ(l[1]->p, c.second) << c.what;
    EXPECT_FALSE(l[0]->otwor || l[1]->otwor) << c.what;
  }
}

TEST(FigureCollector, IndexedLoadingMatchesTheFullScans) {
  // Strokes between points of a coarse lattice, jittered below the
  // accuracy, with repeats and crossings: joining, duplicates and crosses
  // all interact.
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    auto lattice = [&] {
      return trealpoint{static_cast<double>(rng() % 6) * 30 + static_cast<double>(rng() % 3) * 0.6,
                        static_cast<double>(rng() % 6) * 30 + static_cast<double>(rng() % 3) * 0.6};
    };
    tUstawieniaWczytania u = wszystko();
    u.auto_add = seed % 4 != 0;
    u.crosstopoint = seed % 3 != 0;
    tZbieraczFigur z(u);
    ProstyZbieracz ref(u);
    std::vector<Pts> earlier;
    for (int i = 0; i < 120; ++i) {
      Pts p;
      if (!earlier.empty() && rng() % 8 == 0) {
        p = earlier[rng() % earlier.size()];
      } else {
        const int n = 2 + static_cast<int>(rng() % 3);
        for (int k = 0; k < n; ++k) p.push_back(lattice());
        if (rng() % 6 == 0) p.push_back(p.front());
      }
      earlier.push_back(p);
      auto f = figura(p);
      if (!f->valid) continue;
      ref.dodaj(*f);
      z.dodaj(std::move(f));
    }
    auto l = z.odbierz();
    ASSERT_EQ(l.size(), ref.figs_.size()) << "seed " << seed;
    for (std::size_t i = 0; i < l.size(); ++i) {
      EXPECT_EQ(l[i]->p, ref.figs_[i].p) << "seed " << seed << " figure " << i;
      EXPECT_EQ(l[i]->otwor, ref.figs_[i].otwor);
      EXPECT_EQ(l[i]->otwarta, ref.figs_[i].otwarta);
    }
  }
}

TEST(FigureCollector, HugeAndDegenerateCoordinatesDoNotBreakTheIndexes) {
  const double big = 2147483647.0;
  const std::vector<Pts> input{
      {{big, big}, {-big, -big}},       {{-big, big}, {big, -big}},  // crosses the first at (0, 0)
      {{big, big - 5}, {big, big - 4}}, {{1e300, 0}, {-1e300, 0}},
      {{0, 0}, {0, 0}, {0, 0}, {1, 0}}, {{-big, -big}, {-big, -big}, {-big + 1, -big}},
  };
  tZbieraczFigur z(wszystko(0.01));
  ProstyZbieracz ref(wszystko(0.01));
  for (const Pts& p : input) {
    ref.dodaj(*figura(p));
    z.dodaj(figura(p));
  }
  auto l = z.odbierz();
  ASSERT_EQ(l.size(), ref.figs_.size());
  for (std::size_t i = 0; i < l.size(); ++i) {
    EXPECT_EQ(l[i]->p, ref.figs_[i].p);
    EXPECT_EQ(l[i]->otwor, ref.figs_[i].otwor);
  }
  // The X became a drill point at (0, 0), which the stroke starting there
  // then took in.
  const Pts joined{{0, 0}, {0, 0}, {0, 0}, {0, 0}, {1, 0}};
  EXPECT_TRUE(std::any_of(l.begin(), l.end(), [&](const auto& f) { return f->p == joined; }));
}

}  // namespace
}  // namespace trazvik
