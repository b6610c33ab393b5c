#include "prepare/frame_and_pick.h"

#include "figure_builders.h"
#include "layers/warstwy.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

using testing::figure;
using testing::rectangle;

TEST(Frame, OnlyTheFirstFrameFigureFollowsTheSetting) {
  for (std::size_t framePosition : {0u, 1u}) {
    tListaFigur figury;
    figury.push_back(figure(rectangle(10, 10, 20, 20)));
    figury.insert(figury.begin() + static_cast<std::ptrdiff_t>(framePosition), figure(rectangle(0, 0, 100, 100)));
    figury.push_back(figure(rectangle(0, 0, 100, 100)));
    figury[framePosition]->ramka = true;
    figury[2]->ramka = true;
    oznaczToCutRamki(figury, true, true, nullptr);
    EXPECT_FALSE(figury[framePosition]->tocut) << "frame at " << framePosition;
    EXPECT_TRUE(figury[2]->tocut) << "a later frame figure stays";
    EXPECT_TRUE(figury[1 - framePosition]->tocut);
    oznaczToCutRamki(figury, true, false, nullptr);
    EXPECT_TRUE(figury[framePosition]->tocut);
  }
  tListaFigur figury;
  figury.push_back(figure(rectangle(0, 0, 100, 100)));
  figury[0]->ramka = true;
  oznaczToCutRamki(figury, false, true, nullptr);
  EXPECT_TRUE(figury[0]->tocut) << "a project without a frame is left alone";
}

TEST(Frame, MultiLayerCountsFollowTheCutFlag) {
  tListaFigur figury;
  figury.push_back(figure(rectangle(0, 0, 100, 100)));
  figury.push_back(figure(rectangle(10, 10, 20, 20)));
  figury[0]->org_color = 3;
  figury[0]->ramka = true;
  figury[1]->org_color = 3;
  tWarstwy warstwy;
  warstwy.create(figury, "", false, 100, 500, 1.5, 1);
  ASSERT_EQ(warstwy.getIloscFigAktywnych(3), 2);
  oznaczToCutRamki(figury, true, true, &warstwy);
  EXPECT_EQ(warstwy.getIloscFigAktywnych(3), 1);
  oznaczToCutRamki(figury, true, true, &warstwy);
  EXPECT_EQ(warstwy.getIloscFigAktywnych(3), 1) << "no change, no count";
  oznaczToCutRamki(figury, true, false, &warstwy);
  EXPECT_EQ(warstwy.getIloscFigAktywnych(3), 2);
}

TEST(PickFigure, NearestOutlineInMillimetres) {
  tListaFigur figury;
  // Plot file units (40 per mm), origin of the project at (400, 400).
  figury.push_back(figure(rectangle(400, 400, 800, 800)));    // 0..10 mm
  figury.push_back(figure(rectangle(1200, 400, 1600, 800)));  // 20..30 mm
  figury.push_back(figure(rectangle(1200, 400, 1600, 800)));  // the same again: ties go to the first
  for (auto& f : figury) f->xp = f->yp = 400;
  struct Case {
    double x, y, skala;
    int expected;
  };
  const std::vector<Case> cases = {
      {5, 5, 100, 0}, {11, 5, 100, 0}, {19, 5, 100, 1}, {25, -3, 100, 1}, {35, 5, 50, 1}, {12, 5, 50, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ktoraToFigura(figury, c.y, c.x, 1, c.skala), c.expected) << c.x << ", " << c.y << " at " << c.skala;
  }
  tListaFigur none;
  EXPECT_EQ(ktoraToFigura(none, 0, 0, 1, 100), -1);
}

}  // namespace
}  // namespace trazvik
