#include "prepare/outline.h"

#include "figure_builders.h"
#include "layers/warstwy.h"
#include "prepare/containment.h"
#include "prepare/direction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace trazvik {
namespace {

using testing::figure;
using testing::rectangle;
using testing::reversed;

struct Box {
  double x0, y0, x1, y1;
};

Box boxOf(const std::vector<trealpoint>& pts) {
  Box b{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
  for (const trealpoint& p : pts) {
    b = {std::min(b.x0, p.x), std::min(b.y0, p.y), std::max(b.x1, p.x), std::max(b.y1, p.y)};
  }
  return b;
}

void expectBox(const std::vector<trealpoint>& pts, Box expected, const char* what) {
  const Box b = boxOf(pts);
  EXPECT_NEAR(b.x0, expected.x0, 1) << what;
  EXPECT_NEAR(b.y0, expected.y0, 1) << what;
  EXPECT_NEAR(b.x1, expected.x1, 1) << what;
  EXPECT_NEAR(b.y1, expected.y1, 1) << what;
}

// A 10 mm plate (DXF units) with a 4 mm square hole, both traced as the
// direction step leaves them by default (outer counter-clockwise, inner
// clockwise), and an open stroke.
tListaFigur plate() {
  tListaFigur figury;
  figury.push_back(figure(rectangle(0, 0, 1000, 1000), 0));
  figury.push_back(figure(reversed(rectangle(300, 300, 700, 700)), 1));
  figury.push_back(figure({{2000, 0}, {2500, 0}, {2500, 400}}, 2));
  co_w_czym(figury);
  JakiKierunek(figury, -1);
  return figury;
}

OutlineProject dxf() {
  OutlineProject p;
  p.ImportFileType = 2;
  p.pp = {0, 0};
  return p;
}

TEST(AddOutline, OuterFiguresGrowHolesShrinkOpenFiguresStay) {
  tListaFigur figury = plate();
  PrepareSettings s;  // 3 mm tool: radius 150 units
  AddOutline(figury, s, dxf());
  expectBox(figury[0]->op, {-150, -150, 1150, 1150}, "plate");
  expectBox(figury[1]->op, {450, 450, 550, 550}, "hole");
  EXPECT_EQ(figury[2]->op, figury[2]->p);
  EXPECT_EQ(figury[0]->dp, figury[0]->p) << "no polishing";
  // negatyw swaps the sides
  s.negatyw = true;
  AddOutline(figury, s, dxf());
  expectBox(figury[0]->op, {150, 150, 850, 850}, "plate, negative");
  expectBox(figury[1]->op, {150, 150, 850, 850}, "hole, negative");
}

TEST(AddOutline, RadiusFollowsScaleDiameterAndSwitches) {
  struct Case {
    const char* name;
    double srednica, skala;
    bool doOutline;
    double grow;  // how far the plate's outline lies outside it
  };
  const std::vector<Case> cases = {
      {"3 mm tool", 3, 100, true, 150},
      {"drawing at half scale", 3, 50, true, 300},
      {"6 mm tool at double scale", 6, 200, true, 150},
      {"outline switched off", 3, 100, false, 0},
      {"tool of no diameter", 0, 100, true, 0},
  };
  for (const Case& c : cases) {
    tListaFigur figury = plate();
    PrepareSettings s;
    s.srednica = c.srednica;
    s.skala = c.skala;
    s.doOutline = c.doOutline;
    AddOutline(figury, s, dxf());
    expectBox(figury[0]->op, {-c.grow, -c.grow, 1000 + c.grow, 1000 + c.grow}, c.name);
  }
}

TEST(AddOutline, PolishingRoughsOutsideTheFinalOutline) {
  tListaFigur figury = plate();
  PrepareSettings s;
  s.polerowanie = true;  // allowance 0.3 mm = 30 units, start 0.5 mm above the bottom
  const OutlineTotals totals = AddOutline(figury, s, dxf());
  expectBox(figury[0]->dp, {-180, -180, 1180, 1180}, "roughing outline");
  expectBox(figury[0]->op, {-150, -150, 1150, 1150}, "final outline");
  const double bottom = (10 + 0.49 - 1.5) * 100;
  const auto& sp = figury[0]->sp;
  EXPECT_DOUBLE_EQ(sp.front().z, bottom + 50) << "roughing stops Poler_start above the bottom";
  EXPECT_DOUBLE_EQ(sp.back().z, bottom);
  EXPECT_GT(figury[0]->lenpol, 0);
  EXPECT_EQ(figury[2]->lenpol, 0) << "open figures get no polishing round";
  EXPECT_NEAR(totals.total_lenpol, figury[0]->lenpol + figury[1]->lenpol, 1e-9);
  s.doOutline = false;  // polishing allowance alone
  AddOutline(figury, s, dxf());
  expectBox(figury[0]->dp, {-30, -30, 1030, 1030}, "allowance only");
  EXPECT_EQ(figury[0]->op, figury[0]->p);
}

TEST(AddOutline, ToolpathHeightsAndProjectTotals) {
  tListaFigur figury = plate();
  PrepareSettings s;
  s.srednica = 0;  // toolpaths on the drawn lines, easy to measure
  const OutlineTotals totals = AddOutline(figury, s, dxf());
  const double bottom = (10 + 0.49 - 1.5) * 100;
  for (const auto& f : figury) {
    for (const trpoint3d& q : f->sp) EXPECT_DOUBLE_EQ(q.z, bottom);
  }
  EXPECT_NEAR(figury[0]->lenwork, 40, 1e-9);  // mm
  EXPECT_NEAR(figury[1]->lenwork, 16, 1e-9);
  EXPECT_NEAR(figury[2]->lenwork, 9, 1e-9);
  EXPECT_NEAR(totals.total_lenwork, 65, 1e-9);
  EXPECT_NEAR(figury[0]->obwod, 4000, 1e-9);
  // plunge from the surface and back up, per figure
  EXPECT_NEAR(figury[0]->lenz, 3, 1e-9);
  EXPECT_NEAR(totals.total_lenz, 9, 1e-9);
  // travel: corner (0, 0, 100) -> (0, 0, bottom) -> (300, 300) -> (2000, 0),
  // then from the stroke's end back to the corner
  const double up = bottom - 100;
  const double expected = std::hypot(0.0, up) + std::hypot(300.0, 300.0) + std::hypot(1700.0, 300.0) +
                          std::hypot(std::hypot(2500.0, 400.0), up);
  EXPECT_NEAR(totals.total_lenprzes, expected / 100, 1e-9);
  EXPECT_NEAR(figury[1]->lenPrzes, std::hypot(300.0, 300.0) / 100, 1e-9);
  EXPECT_NEAR(totals.travelHeight, 15.49, 1e-12);
  s.isLaser = true;
  s.laserZAxis = true;
  EXPECT_NEAR(AddOutline(figury, s, dxf()).travelHeight, 5.49, 1e-12);
}

TEST(AddOutline, EngravingProjectsGetNoToolpaths) {
  tListaFigur figury = plate();
  OutlineProject p = dxf();
  p.grawer = true;
  const OutlineTotals totals = AddOutline(figury, PrepareSettings{}, p);
  for (const auto& f : figury) EXPECT_TRUE(f->sp.empty());
  EXPECT_EQ(totals.total_lenwork, 0);
}

TEST(AddOutline, MultiLayerToolDiameterAndDepthComeFromTheLayer) {
  tListaFigur figury = plate();
  figury[0]->org_color = 1;
  figury[1]->org_color = 2;
  figury[2]->org_color = 2;
  tWarstwy warstwy;
  warstwy.ustawMaszyne(2, 24000);
  warstwy.create(figury, "", false, 100, 500, 1.5, 2);
  tWarstwa w = warstwy.layer[1];
  w.srednicaFrezu = 6;
  w.glebokosc = 4;
  warstwy.setLayer(w, false);
  PrepareSettings s;
  s.multiLayer = true;
  s.headCount = 2;
  OutlineProject p = dxf();
  p.warstwy = &warstwy;
  EXPECT_EQ(dajSredniceFrezuNaFigurze(figury, 0, s, &warstwy), 6);
  EXPECT_EQ(dajSredniceFrezuNaFigurze(figury, 1, s, &warstwy), 0) << "layer 2 keeps its default diameter 0";
  AddOutline(figury, s, p);
  expectBox(figury[0]->op, {-300, -300, 1300, 1300}, "6 mm tool of layer 1");
  EXPECT_DOUBLE_EQ(figury[0]->sp.front().z, (10 + 0.49 - 4) * 100);
  s.headCount = 1;  // one head: the settings' diameter
  EXPECT_EQ(dajSredniceFrezuNaFigurze(figury, 0, s, &warstwy), 3);
  EXPECT_EQ(dajSredniceFrezuNaFigurze(figury, 7, s, &warstwy), 3);
}

TEST(AddOutline, OffsetSideByLevelDirectionAndNegative) {
  struct Case {
    int level, dir;
    bool negatyw;
    int side;
  };
  const std::vector<Case> cases = {
      {0, -1, false, -1}, {0, 1, false, 1}, {1, 1, false, -1}, {1, -1, false, 1},
      {2, -1, false, -1}, {0, 0, false, 1}, {0, -1, true, 1},  {1, 1, true, 1},
  };
  for (const Case& c : cases) {
    tfigura f;
    f.poziom = c.level;
    f.dir = c.dir;
    EXPECT_EQ(offsetSide(f, c.negatyw), c.side) << c.level << " " << c.dir << " " << c.negatyw;
  }
}

}  // namespace
}  // namespace trazvik
