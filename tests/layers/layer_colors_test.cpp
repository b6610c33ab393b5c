#include "layers/layer_colors.h"

#include "geometry/units.h"

#include <gtest/gtest.h>

#include <set>

namespace trazvik {
namespace {

struct Rgb {
  int index, r, g, b;
};

TEST(LayerColors, DxfPaletteEntriesHaveTheirStandardValues) {
  const Rgb cases[] = {
      {0, 0, 0, 0},         {1, 255, 0, 0},      {2, 255, 255, 0},     {3, 0, 255, 0},       {4, 0, 255, 255},
      {5, 0, 0, 255},       {6, 255, 0, 255},    {7, 255, 255, 255},   {8, 65, 65, 65},      {9, 128, 128, 128},
      {10, 255, 0, 0},      {11, 255, 170, 170}, {12, 189, 0, 0},      {13, 189, 126, 126},  {19, 79, 53, 53},
      {20, 255, 63, 0},     {22, 189, 46, 0},    {30, 255, 127, 0},    {36, 104, 52, 0},     {50, 255, 255, 0},
      {91, 170, 255, 170},  {130, 0, 255, 255},  {171, 170, 170, 255}, {210, 255, 0, 255},   {249, 79, 53, 59},
      {250, 51, 51, 51},    {251, 80, 80, 80},   {252, 105, 105, 105}, {253, 130, 130, 130}, {254, 190, 190, 190},
      {255, 255, 255, 255},
  };
  for (const Rgb& c : cases) {
    EXPECT_EQ(kolorDxf(c.index), kolorRGB(c.r, c.g, c.b)) << "index " << c.index;
    EXPECT_EQ(kolorWarstwy(kFileTypeDxf, c.index), kolorRGB(c.r, c.g, c.b)) << "index " << c.index;
  }
}

TEST(LayerColors, DxfPaletteColoursAreDistinctAcrossTheHueBlock) {
  // Entries 10..249 are 24 hues x 5 brightness steps x pure/pale: all differ.
  std::set<tKolor> seen;
  for (int i = 10; i < 250; ++i) seen.insert(kolorDxf(i));
  EXPECT_EQ(seen.size(), 240u);
}

TEST(LayerColors, KeysOutsideTheirTableAreBlack) {
  EXPECT_EQ(kolorDxf(-1), 0u);
  EXPECT_EQ(kolorDxf(256), 0u);
  EXPECT_EQ(kolorWarstwy(kFileTypeDxf, 1024), 0u);
  EXPECT_EQ(kolorWarstwy(kFileTypeBitmap, 3), 0u);
  EXPECT_EQ(kolorWarstwy(0, 3), 0u);
  EXPECT_EQ(kolorPisaka(0), 0u);
}

TEST(LayerColors, PlotPensCycleThroughEightColours) {
  const Rgb pens[] = {{1, 0, 0, 0},     {2, 0, 0, 255},   {3, 255, 0, 0}, {4, 0, 128, 0},
                      {5, 128, 0, 128}, {6, 255, 255, 0}, {7, 0, 0, 128}, {8, 128, 0, 0},
                      {9, 0, 0, 0},     {10, 0, 0, 255},  {16, 128, 0, 0}};
  for (const Rgb& p : pens) {
    EXPECT_EQ(kolorWarstwy(kFileTypeHpgl, p.index), kolorRGB(p.r, p.g, p.b)) << "pen " << p.index;
  }
  // Blue is stored in the high byte.
  EXPECT_EQ(kolorPisaka(2), 0xFF0000u);
}

TEST(LayerColors, GcodeKeyIsItsOwnColour) {
  EXPECT_EQ(kolorWarstwy(kFileTypeGcode, 0), 0u);
  EXPECT_EQ(kolorWarstwy(kFileTypeGcode, 0xFF0000), 0xFF0000u);
}

}  // namespace
}  // namespace trazvik
