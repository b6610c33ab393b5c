// Hatching of closed figures: where the scan lines are cut, which pieces
// they give through holes, how the lines are turned and ordered.
#include "prepare/hatching.h"

#include "prepare/containment.h"
#include "prepare/hatch_scan.h"

#include "figure_builders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>

namespace trazvik {
namespace {

using testing::figure;
using testing::rectangle;

std::vector<trealpoint> circle(double cx, double cy, double r, int n) {
  std::vector<trealpoint> pts;
  for (int i = 0; i <= n; ++i) {
    const double a = 2 * std::numbers::pi * (i % n) / n;
    pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return pts;
}

std::vector<const tfigura*> hatchLines(const tListaFigur& figury) {
  std::vector<const tfigura*> lines;
  for (const auto& f : figury)
    if (f->kreska) lines.push_back(f.get());
  return lines;
}

tParametryKreskowania parameters(trealpoint lo, trealpoint hi, double spacing, double angle) {
  tParametryKreskowania p;
  p.lo = lo;
  p.hi = hi;
  p.odstep = spacing;
  p.katStopnie = angle;
  p.glebokoscZ = -150;
  return p;
}

// Lines grouped by scan line, in the order they were made.
std::vector<std::vector<const tfigura*>> byScanLine(const tListaFigur& figury, const tKreskowanie& k) {
  std::vector<std::vector<const tfigura*>> groups;
  for (const tfigura* f : hatchLines(figury)) {
    if (groups.empty() || !OrginFromSeameLine(*groups.back().back(), *f, k)) groups.emplace_back();
    groups.back().push_back(f);
  }
  return groups;
}

TEST(Hatching, SquareAtZeroDegreesGetsOneLinePerSpacingCutAtItsSides) {
  tListaFigur figury;
  figury.push_back(figure(rectangle(0, 0, 1000, 1000)));
  const tWynikKreskowania w = DodajKreski(figury, 1, parameters({0, 0}, {1000, 1000}, 100, 0));
  ASSERT_TRUE(w.blad.empty()) << w.blad;
  EXPECT_EQ(w.geometria.wzor, 2);
  const auto lines = hatchLines(figury);
  ASSERT_EQ(lines.size(), 10u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const tfigura& l = *lines[i];
    ASSERT_EQ(l.p.size(), 2u);
    EXPECT_NEAR(l.p[0].y, 99.999 + 100.0 * i, 1e-6);
    EXPECT_EQ(l.p[0].y, l.p[1].y);
    EXPECT_DOUBLE_EQ(std::min(l.p[0].x, l.p[1].x), 0);
    EXPECT_DOUBLE_EQ(std::max(l.p[0].x, l.p[1].x), 1000);
    EXPECT_TRUE(l.otwarta && l.tocut && l.valid);
    EXPECT_EQ(l.pochodzi, 0);
    EXPECT_EQ(l.lezy_w, figury[0].get());
    EXPECT_EQ(l.poziom, figury[0]->poziom + 1);
    EXPECT_DOUBLE_EQ(l.lenwork, 10);  // mm of a DXF drawing
    ASSERT_EQ(l.sp.size(), 2u);
    EXPECT_EQ(l.sp[0].z, -150);
    EXPECT_EQ(l.org_index, static_cast<int>(i) + 1);
  }
}

TEST(Hatching, RingAt45DegreesGetsTwoPiecesPerScanLineThroughTheHoleAndNoneInIt) {
  tListaFigur figury;
  figury.push_back(figure(circle(0, 0, 1000, 90)));
  figury.push_back(figure(circle(0, 0, 400, 60)));
  figury[1]->poziom = 1;
  figury[1]->lezy_w = figury[0].get();
  const tWynikKreskowania w = DodajKreski(figury, 2, parameters({-1000, -1000}, {1000, 1000}, 50, 45));
  ASSERT_TRUE(w.blad.empty());
  EXPECT_EQ(w.geometria.wzor, 3);
  const auto groups = byScanLine(figury, w.geometria);
  ASSERT_GT(groups.size(), 30u);
  const double holeApothem = 400 * std::cos(std::numbers::pi / 60);
  for (const auto& group : groups) {
    // Distance of the scan line from the centre.
    const tfigura& l = *group.front();
    const double d = std::fabs(l.p[0].y * std::cos(w.geometria.kat) - l.p[0].x * std::sin(w.geometria.kat));
    if (d < holeApothem - 1) {
      EXPECT_EQ(group.size(), 2u) << d;
    }
    if (d > 401) {
      EXPECT_EQ(group.size(), 1u) << d;
    }
    for (const tfigura* piece : group) {
      EXPECT_NEAR(std::atan2(piece->p[1].y - piece->p[0].y, piece->p[1].x - piece->p[0].x), std::numbers::pi / 4, 1e-9);
      for (double t : {0.01, 0.25, 0.5, 0.75, 0.99}) {
        const trealpoint q{piece->p[0].x + t * (piece->p[1].x - piece->p[0].x),
                           piece->p[0].y + t * (piece->p[1].y - piece->p[0].y)};
        EXPECT_FALSE(IsPointInPoly(q, figury[1]->p)) << "a hatch line crosses the hole";
        EXPECT_TRUE(IsPointInPoly(q, figury[0]->p));
      }
      EXPECT_EQ(piece->lezy_w, figury[0].get());
    }
  }
}

TEST(Hatching, BothWaysAlternatesBetweenScanLinesNotBetweenPieces) {
  for (bool bothWays : {false, true}) {
    tListaFigur figury;
    figury.push_back(figure(rectangle(0, 0, 1000, 1000)));
    figury.push_back(figure(rectangle(400, 100, 600, 900)));  // a slot: two pieces per line across it
    const tWynikKreskowania w = DodajKreski(figury, 2, parameters({0, 0}, {1000, 1000}, 100, 0));
    KierunkiKresek(figury, w.geometria, bothWays);
    const auto groups = byScanLine(figury, w.geometria);
    ASSERT_EQ(groups.size(), 10u);
    for (std::size_t g = 0; g < groups.size(); ++g) {
      const bool rightward = g % 2 == 0 || !bothWays;
      for (const tfigura* piece : groups[g]) EXPECT_EQ(piece->p[1].x > piece->p[0].x, rightward) << g << bothWays;
    }
    EXPECT_EQ(groups[4].size(), 2u);
  }
}

TEST(Hatching, LinesOfAScanLineAreCutAlongTheirDirectionAndScanLinesInTurn) {
  tListaFigur figury;
  figury.push_back(figure(rectangle(0, 0, 1000, 1000)));
  figury.push_back(figure(rectangle(100, 400, 900, 600)));
  const tWynikKreskowania w = DodajKreski(figury, 2, parameters({0, 0}, {1000, 1000}, 100, 90));
  EXPECT_EQ(w.geometria.wzor, 1);
  KierunkiKresek(figury, w.geometria, true);
  // Sorted from the reverse of the order they were made in: scan lines by
  // x, each walked in its own direction, so the tool goes up one line and
  // down the next.
  std::vector<const tfigura*> lines = hatchLines(figury);
  std::reverse(lines.begin(), lines.end());
  std::stable_sort(lines.begin(), lines.end(),
                   [&](const tfigura* a, const tfigura* b) { return porownajKreski(*a, *b, w.geometria) < 0; });
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const tfigura& a = *lines[i - 1];
    const tfigura& b = *lines[i];
    if (OrginFromSeameLine(a, b, w.geometria)) {
      EXPECT_EQ(a.p[0].x, b.p[0].x);
      const bool up = a.p[1].y > a.p[0].y;
      EXPECT_EQ(up ? a.p[1].y <= b.p[0].y : a.p[1].y >= b.p[0].y, true) << i;
    } else {
      EXPECT_LT(a.p[0].x, b.p[0].x);
    }
  }
}

TEST(Hatching, SpacingThatIsNotPositiveOrTooFineIsRefusedWithoutLines) {
  for (double spacing : {0.0, -1.0, std::nan(""), 1e-9}) {
    tListaFigur figury;
    figury.push_back(figure(rectangle(0, 0, 1000, 1000)));
    const tWynikKreskowania w = DodajKreski(figury, 1, parameters({0, 0}, {1000, 1000}, spacing, 30));
    EXPECT_FALSE(w.blad.empty()) << spacing;
    EXPECT_EQ(figury.size(), 1u) << spacing;
  }
}

TEST(HatchScanner, AVertexOnAScanLineCountsOnce) {
  tListaFigur figury;
  // A diamond whose side vertices lie exactly on a scan line.
  figury.push_back(figure({{500, 0}, {1000, 500}, {500, 1000}, {0, 500}, {500, 0}}));
  const std::uint32_t closed[] = {0};
  const prepare::HatchScanner scanner(figury, closed, {0, 0}, {1000, 1000}, -0.001, 100, 0, 1000);
  std::vector<prepare::HatchCrossing> c;
  for (std::size_t k = 0; k < scanner.lineCount(); ++k) {
    scanner.crossings(k, c);
    EXPECT_EQ(c.size() % 2, 0u) << k;
  }
  scanner.crossings(5, c);  // y = 500 through both side vertices
  ASSERT_EQ(c.size(), 2u);
  EXPECT_DOUBLE_EQ(c[0].at.x, 0);
  EXPECT_DOUBLE_EQ(c[1].at.x, 1000);
}

}  // namespace
}  // namespace trazvik
