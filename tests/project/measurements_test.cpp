#include "project/measurements.h"

#include <gtest/gtest.h>

#include <cmath>

namespace trazvik {
namespace {

std::unique_ptr<tfigura> fig(trealpoint center, trealpoint start) {
  auto f = std::make_unique<tfigura>();
  f->center = center;
  f->p = {start};
  return f;
}

tGabarytProjektu kwadrat(int size) {
  tGabarytProjektu g;
  g.pp = {0, 0};
  g.pk = {size, size};
  g.center = {size / 2.0, size / 2.0};
  g.size_x = g.size_y = size;
  return g;
}

TEST(Measurements, SameRingIsOrderedByStartDirection) {
  for (const int outDir : {0, 1, 2}) {
    tListaFigur l;
    l.push_back(fig({500, 500}, {600, 500}));  // start east of the centre: q = 0.375
    l.push_back(fig({500, 500}, {500, 600}));  // north: q = 0.625
    ustalDist(l, kwadrat(1000), outDir);
    if (outDir == 1) {
      EXPECT_LT(l[1]->DistToProj, l[0]->DistToProj);
    } else {
      EXPECT_LT(l[0]->DistToProj, l[1]->DistToProj);
    }
  }
}

TEST(Measurements, KeysFollowTheFormula) {
  tListaFigur l;
  l.push_back(fig({500, 500}, {600, 500}));
  ustalDist(l, kwadrat(1000), 0);
  // r0 = round(1414.21/2 + 1) = 708; ring 0; q = 0.375
  EXPECT_EQ(l[0]->DistToProj, static_cast<int>(std::nearbyint(1.375 * 6 * 708 + 8 * 708)));
}

TEST(Measurements, FartherRingsAlwaysComeLater) {
  tListaFigur l;
  // near the centre with the "latest" direction, far out with the earliest
  l.push_back(fig({510, 500}, {500 - 1, 500 - 1e-9}));
  l.push_back(fig({990, 990}, {990 + 1, 990}));
  // 256 figures: rings of round(708 / 4) = 177 units
  for (int i = 0; i < 254; ++i) l.push_back(fig({100.0 + i, 100}, {0, 0}));
  ustalDist(l, kwadrat(1000), 0);
  EXPECT_LT(l[0]->DistToProj, l[1]->DistToProj);
}

TEST(Measurements, ZeroHeightProjectUsesTheUnsetValue) {
  tGabarytProjektu g;
  g.pp = {0, 0};
  g.pk = {1000, 0};
  g.center = {500, 0};
  g.size_x = 1000;
  g.size_y = 0;
  tListaFigur l;
  l.push_back(fig({100, 0}, {0, 0}));
  l.push_back(fig({900, 0}, {1000, 0}));
  ustalDist(l, g, 0);
  // Every transformed y is the same huge value, so only x counts: r0 = 501,
  // both in ring 0, starts to the west (q 0.875) and east (q 0.375).
  EXPECT_EQ(l[0]->DistToProj, 9644);
  EXPECT_EQ(l[1]->DistToProj, 8141);
}

TEST(Measurements, NestedFiguresAreKeyedAroundTheirParent) {
  tListaFigur l;
  l.push_back(fig({500, 500}, {0, 0}));
  l[0]->fig_x_size = 300;
  l[0]->fig_y_size = 400;  // r = 251, w = 63
  l.push_back(fig({600, 500}, {600, 500}));
  l[1]->poziom = 1;
  l[1]->lezy_w = l[0].get();
  l.push_back(fig({500, 600}, {500, 600}));
  l[2]->poziom = 2;
  l[2]->lezy_w = l[0].get();
  ustalDist(l, kwadrat(1000), 0);
  // d = 100 -> ring 1; q east = 0.375
  EXPECT_EQ(l[1]->DistToFig, static_cast<int>(std::nearbyint(1.375 * 2 * 251 + 2 * 4 * 251)));
  EXPECT_EQ(l[0]->DistToFig, 0);
  const int north = l[2]->DistToFig;
  ustalDist(l, kwadrat(1000), 1);
  // clockwise: odd levels keep, even levels reverse
  EXPECT_EQ(l[1]->DistToFig, static_cast<int>(std::nearbyint(1.375 * 2 * 251 + 2 * 4 * 251)));
  EXPECT_EQ(l[2]->DistToFig, static_cast<int>(std::nearbyint((1 - 0.625 + 1) * 2 * 251 + 2 * 4 * 251)));
  EXPECT_NE(l[2]->DistToFig, north);
}

TEST(Measurements, HugeProjectsKeepKeysInRange) {
  tGabarytProjektu g;
  g.pp = {-2147483647, -2147483647};
  g.pk = {2147483647, 2147483647};
  g.size_x = g.size_y = 4294967294.0;
  tListaFigur l;
  l.push_back(fig({2147483647.0, 2147483647.0}, {0, 0}));
  ustalDist(l, g, 0);
  EXPECT_EQ(l[0]->DistToProj, 2147483647);
  ustalDist(l, g, 0);
  tListaFigur none;
  ustalDist(none, g, 0);
}

TEST(Measurements, CuttingLengthInTheOperatorsUnit) {
  EXPECT_DOUBLE_EQ(dlugoscCiecia(100, 254, 0), 254);
  EXPECT_DOUBLE_EQ(dlugoscCiecia(50, 254, 1), 5);
  EXPECT_DOUBLE_EQ(dlugoscCiecia(200, 304.8, 2), 2);
}

TEST(Measurements, EstimatedTime) {
  tDaneCzasuCiecia d;
  d.iloscFigur = 10;
  d.skala = 100;
  d.totalLenwork = 1000;
  d.glebokosc = 2;
  d.workSpeed = 1000;
  d.przeSpeed = 5000;
  EXPECT_DOUBLE_EQ(szacowanyCzasCiecia(d), 1.5);
  d.polerSpeed = 200;
  d.totalLenpol = 400;
  d.totalLenprzes = 2000;
  d.nadmat = 5;
  d.skala = 50;
  // (500 + 200)/1000 + 200/200 + 50*(2000 + 500)/100/5000 + 0.3
  EXPECT_DOUBLE_EQ(szacowanyCzasCiecia(d), 0.7 + 1 + 0.25 + 0.3);
}

}  // namespace
}  // namespace trazvik
