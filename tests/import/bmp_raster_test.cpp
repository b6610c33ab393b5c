// Raster lines from pictures whose every pixel names its own place, so a
// line shows which picture pixels were sampled, in which order, and the
// power each got.
#include "import/bmp_raster.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace trazvik::import {
namespace {

// A picture whose red component is f(x, y) (y from the top).
tBitmap picture(int w, int h, const std::function<int(int, int)>& red) {
  tBitmap b;
  b.width = w;
  b.height = h;
  b.rgb.resize(static_cast<std::size_t>(w * h * 3));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      auto* p = const_cast<std::uint8_t*>(b.pixel(x, y));
      p[0] = static_cast<std::uint8_t>(red(x, y));
      p[1] = p[2] = 77;  // only red counts
    }
  return b;
}

std::vector<std::vector<int>> values(const tRasterLines& r) {
  std::vector<std::vector<int>> out;
  for (const tLinia& l : r.ListaLini) out.emplace_back(l.Pixelki.begin(), l.Pixelki.end());
  return out;
}

tRasterSettings greyMapped(double w, double h) {
  tRasterSettings s;
  s.szerokosc = w;
  s.wysokosc = h;
  s.greyMapping = true;
  return s;
}

struct SamplingCase {
  const char* name;
  tBitmap picture;
  tRasterSettings settings;
  std::vector<std::vector<int>> lines;  // bottom line first
};

TEST(BmpToList, SamplesFromTheBottomUpSkippingColumnZero) {
  const auto place = [](int x, int y) { return x * 10 + y; };
  const std::vector<SamplingCase> cases = {
      // 10 x 10 pixels onto 4 x 4: xs = ys = 2; columns 1, 3, 5, 7; rows
      // 9, 7, 5, 3 (from the bottom).
      {"every other pixel",
       picture(10, 10, place),
       greyMapped(0.6, 0.6),
       {{19, 39, 59, 79}, {17, 37, 57, 77}, {15, 35, 55, 75}, {13, 33, 53, 73}}},
      // Two rows onto two lines: the second line would sample row 0, and
      // takes row 1 (the top row is never sampled); two columns onto two
      // pixels: the second is held to the last column.
      {"held inside the picture", picture(2, 2, place), greyMapped(0.3, 0.3), {{11, 11}, {11, 11}}},
      // A height of a whole number of pitches: exactly that many lines.
      {"whole pitches", picture(4, 4, place), greyMapped(0.15, 0.45), {{13}, {12}, {11}}},
  };
  for (const SamplingCase& c : cases) EXPECT_EQ(values(BMPToList(c.picture, c.settings)), c.lines) << c.name;
}

TEST(BmpToList, PowersRunFromBlackToWhite) {
  const tBitmap greys = picture(5, 2, [](int x, int) {
    return std::vector<int>{0, 0, 255, 128, 0}[static_cast<std::size_t>(x)];
  });
  struct Case {
    const char* name;
    int full;
    bool mapped;
    std::vector<int> line;  // columns 1 to 3: black, white, mid grey
  };
  const std::vector<Case> cases = {
      {"8-bit power", 255, false, {166, 43, 104}},  // 165.75, 43.35, 165.75 - 0.48 * 128
      {"12-bit power", 4095, false, {2662, 696, 1675}},
      {"grey mapped by the controller", 4095, true, {0, 255, 128}},
  };
  for (const Case& c : cases) {
    tRasterSettings s;
    s.szerokosc = 0.45;  // 3 pixels: columns 1, 2, 3 of 5 (xs = 1.25)
    s.wysokosc = 0.15;
    s.laserFullPower = c.full;
    s.greyMapping = c.mapped;
    EXPECT_EQ(values(BMPToList(greys, s)), std::vector<std::vector<int>>{c.line}) << c.name;
  }
}

TEST(BmpToList, LineLengthAndCountFollowThePitch) {
  const tBitmap b = picture(8, 8, [](int, int) { return 0; });
  struct Case {
    const char* name;
    double width, height;
    bool mapped;
    int pixels, lines, linesOfList;
  };
  const std::vector<Case> cases = {
      {"30 x 40 mm", 30, 40, false, 200, 267, 267},
      {"line buffer limit", 2000, 0.15, false, kMaxLinePixels, 1, 1},
      {"line buffer limit, grey mapped", 2000, 0.15, true, kMaxLinePixelsGreyMapped, 1, 1},
      {"height not a whole number of pitches", 1.5, 40.1, false, 10, 267, 268},
  };
  for (const Case& c : cases) {
    tRasterSettings s;
    s.szerokosc = c.width;
    s.wysokosc = c.height;
    s.greyMapping = c.mapped;
    const tRasterLines r = BMPToList(b, s);
    EXPECT_EQ(r.szerokoscPixel, c.pixels) << c.name;
    EXPECT_EQ(r.wysokoscPixel, c.lines) << c.name;
    ASSERT_EQ(static_cast<int>(r.ListaLini.size()), c.linesOfList) << c.name;
    for (const tLinia& l : r.ListaLini) EXPECT_EQ(static_cast<int>(l.Pixelki.size()), c.pixels) << c.name;
  }
}

TEST(BmpToList, NothingToSampleGivesNoLines) {
  const tBitmap b = picture(4, 4, [](int, int) { return 0; });
  tRasterSettings zeroPitch;
  zeroPitch.krok = 0;
  tRasterSettings noWidth;
  noWidth.szerokosc = 0;
  EXPECT_TRUE(BMPToList(b, zeroPitch).ListaLini.empty());
  EXPECT_TRUE(BMPToList(b, noWidth).ListaLini.empty());
  EXPECT_TRUE(BMPToList(tBitmap{}, tRasterSettings{}).ListaLini.empty());
}

TEST(BmpToList, ValuesWiderThanAByteSendTheHighestByte) {
  EXPECT_EQ(pixelByte(43), 43);
  EXPECT_EQ(pixelByte(255), 255);
  EXPECT_EQ(pixelByte(2662), 255);  // its low byte, 0x66, would burn black pixels lighter than white
}

}  // namespace
}  // namespace trazvik::import
