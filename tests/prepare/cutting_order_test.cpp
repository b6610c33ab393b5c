#include "prepare/cutting_order.h"

#include "figure_builders.h"
#include "prepare/containment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace trazvik {
namespace {

using testing::figure;
using testing::rectangle;

std::vector<int> orgOrder(const tListaFigur& figury) {
  std::vector<int> order;
  for (const auto& f : figury) order.push_back(f->org_index);
  return order;
}

PrepareSettings orderSettings(int orderFig, int orderGlobal, bool together) {
  PrepareSettings s;
  s.order_fig = orderFig;
  s.Order_global = orderGlobal;
  s.WszystkieWjednej = together;
  return s;
}

// Two letters "O" side by side (outer and inner contour each) and, in the
// first one, a dot inside the inner contour (level 2). org_index: 0 outer
// left, 1 inner left, 2 dot, 3 outer right, 4 inner right.
tListaFigur twoLetters() {
  tListaFigur figury;
  figury.push_back(figure(rectangle(0, 0, 100, 100), 0));
  figury.push_back(figure(rectangle(20, 20, 80, 80), 1));
  figury.push_back(figure(rectangle(45, 45, 55, 55), 2));
  figury.push_back(figure(rectangle(200, 0, 300, 100), 3));
  figury.push_back(figure(rectangle(220, 20, 280, 80), 4));
  co_w_czym(figury);
  return figury;
}

void shuffle(tListaFigur& figury, unsigned seed) {
  std::mt19937 rng(seed);
  std::shuffle(figury.begin(), figury.end(), rng);
}

TEST(CuttingOrder, SettingsGiveTheExpectedOrder) {
  struct Case {
    const char* name;
    int orderFig, orderGlobal;
    bool together;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {"keep the order", 0, 0, false, {0, 1, 2, 3, 4}},
      {"keep the order, nests together", 0, 0, true, {2, 1, 0, 4, 3}},
      {"inner first, from the left", 1, 4, false, {2, 1, 4, 0, 3}},
      {"inner first, from the right", 1, 3, false, {2, 4, 1, 3, 0}},
      {"outer first, from the left", 2, 4, false, {0, 3, 1, 4, 2}},
      {"inner first, from the left, nests together", 1, 4, true, {2, 1, 0, 4, 3}},
      {"outer first, from the left, nests together", 2, 4, true, {0, 1, 2, 3, 4}},
      {"outer first, from the right, nests together", 2, 3, true, {3, 4, 0, 1, 2}},
  };
  for (const Case& c : cases) {
    for (unsigned seed : {1u, 2u, 3u}) {
      tListaFigur figury = twoLetters();
      shuffle(figury, seed);
      UstawKolejnosc(figury, orderSettings(c.orderFig, c.orderGlobal, c.together), 50);
      EXPECT_EQ(orgOrder(figury), c.expected) << c.name << ", shuffle " << seed;
    }
  }
}

TEST(CuttingOrder, NestedFiguresKeepTheirEnclosingFigure) {
  tListaFigur figury = twoLetters();
  shuffle(figury, 9);
  UstawKolejnosc(figury, orderSettings(1, 4, true), 50);
  for (const auto& f : figury) {
    if (f->org_index == 1) {
      EXPECT_EQ(f->lezy_w->org_index, 0);
    }
    if (f->org_index == 2) {
      EXPECT_EQ(f->lezy_w->org_index, 1);
    }
    if (f->org_index == 4) {
      EXPECT_EQ(f->lezy_w->org_index, 3);
    }
  }
}

TEST(CuttingOrder, HatchLinesComeFirstWhateverTheSettings) {
  for (int orderFig : {0, 1, 2}) {
    for (bool together : {false, true}) {
      tListaFigur figury = twoLetters();
      for (int i = 0; i < 3; ++i) {
        auto line = figure({{10.0 + i, 10}, {10.0 + i, 90}}, 10 + i);
        line->kreska = true;
        line->pochodzi = 2 - i;
        figury.push_back(std::move(line));
      }
      shuffle(figury, 4);
      UstawKolejnosc(figury, orderSettings(orderFig, 4, together), 50);
      for (int i = 0; i < 3; ++i) EXPECT_TRUE(figury[i]->kreska) << orderFig << together;
      // Without a hatch comparison the lines keep their file order; with the
      // nests together they follow the figure they hatch.
      const std::vector<int> lines{figury[0]->org_index, figury[1]->org_index, figury[2]->org_index};
      EXPECT_EQ(lines, together ? std::vector<int>({12, 11, 10}) : std::vector<int>({10, 11, 12}));
    }
  }
  // A supplied hatch comparison decides between lines.
  tListaFigur figury;
  for (int i = 0; i < 3; ++i) {
    auto line = figure({{10.0 * i, 0}, {10.0 * i, 90}}, i);
    line->kreska = true;
    figury.push_back(std::move(line));
  }
  UstawKolejnosc(figury, orderSettings(0, 0, false), 0,
                 [](const tfigura& a, const tfigura& b) { return b.org_index - a.org_index; });
  EXPECT_EQ(orgOrder(figury), (std::vector<int>{2, 1, 0}));
}

TEST(CuttingOrder, MixedRunGoesRightBelowTheCentreThenBackAbove) {
  tListaFigur figury;
  figury.push_back(figure(rectangle(0, 0, 10, 10), 0));
  figury.push_back(figure(rectangle(50, 0, 60, 10), 1));
  figury.push_back(figure(rectangle(0, 80, 10, 90), 2));
  figury.push_back(figure(rectangle(50, 80, 60, 90), 3));
  shuffle(figury, 5);
  UstawKolejnosc(figury, orderSettings(0, 5, false), 45);
  EXPECT_EQ(orgOrder(figury), (std::vector<int>{0, 1, 3, 2}));
}

TEST(CuttingOrder, CentreOutwardsAndMultiLayerWidth) {
  tListaFigur figury;
  for (int i = 0; i < 4; ++i) figury.push_back(figure(rectangle(10.0 * i, 0, 10.0 * i + 5, 5), i));
  figury[0]->DistToProj = 30;
  figury[1]->DistToProj = 10;
  figury[2]->DistToProj = 20;
  figury[3]->DistToProj = 10;
  figury[1]->width = 2;
  figury[3]->width = 1;
  PrepareSettings s = orderSettings(0, 1, false);
  UstawKolejnosc(figury, s, 0);
  EXPECT_EQ(orgOrder(figury), (std::vector<int>{1, 3, 2, 0})) << "equal keys keep the file order";
  s.multiLayer = true;
  UstawKolejnosc(figury, s, 0);
  EXPECT_EQ(orgOrder(figury), (std::vector<int>{3, 1, 2, 0})) << "multi-layer: the thinner pen first";
  s.Order_global = 2;
  UstawKolejnosc(figury, s, 0);
  EXPECT_EQ(orgOrder(figury), (std::vector<int>{0, 2, 3, 1}));
}

// The main comparison is a consistent order for every setting, so sorting
// gives a list in which no neighbour pair is out of order.
TEST(CuttingOrder, MainComparisonIsConsistent) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> small(0, 3);
  for (int orderFig = 0; orderFig <= 3; ++orderFig) {
    for (int orderGlobal = 0; orderGlobal <= 6; ++orderGlobal) {
      for (bool multi : {false, true}) {
        tListaFigur figury;
        for (int i = 0; i < 60; ++i) {
          auto f = figure(rectangle(small(rng) * 10, small(rng) * 10, 50, 50), i);
          f->poziom = small(rng);
          f->DistToProj = small(rng);
          f->width = small(rng);
          f->kreska = small(rng) == 0;
          figury.push_back(std::move(f));
        }
        PrepareSettings s = orderSettings(orderFig, orderGlobal, false);
        s.multiLayer = multi;
        UstawKolejnosc(figury, s, 15);
        for (std::size_t i = 0; i + 1 < figury.size(); ++i) {
          EXPECT_LE(porownajFigury(*figury[i], *figury[i + 1], s, 15, {}), 0) << orderFig << orderGlobal << multi;
          for (std::size_t j = i + 1; j < figury.size(); ++j) {
            EXPECT_EQ(porownajFigury(*figury[i], *figury[j], s, 15, {}) > 0,
                      porownajFigury(*figury[j], *figury[i], s, 15, {}) < 0);
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace trazvik
