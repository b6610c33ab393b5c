// The bitmap decoder against files made here: every depth, coding and
// header, with pictures whose pixels differ, and files that must be refused.
#include "import/bmp_decoder.h"

#include "bmp_fixtures.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace trazvik::import {
namespace {

using trazvik::testing::bmpFile;
using trazvik::testing::BmpLayout;
using trazvik::testing::Rgb;

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255},
    kGrey{128, 128, 128};

std::vector<Rgb> pixelsOf(const tBitmap& b) {
  std::vector<Rgb> out;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) out.push_back({b.pixel(x, y)[0], b.pixel(x, y)[1], b.pixel(x, y)[2]});
  return out;
}

struct DecodeCase {
  const char* name;
  BmpLayout layout;
  std::vector<Rgb> expected;  // top row first
};

// 3 x 2 pictures: the odd width pads every row, two rows show their order.
std::vector<DecodeCase> decodeCases() {
  std::vector<DecodeCase> c;
  c.push_back({"1 bit",
               {40, 3, 2, 1, 0, false, {kBlack, kWhite}, 0, {}, {0, 1, 0, 1, 1, 0}, {}},
               {kBlack, kWhite, kBlack, kWhite, kWhite, kBlack}});
  c.push_back({"1 bit with white first in the palette",
               {40, 3, 2, 1, 0, false, {kWhite, kBlack}, 0, {}, {0, 1, 0, 1, 1, 0}, {}},
               {kWhite, kBlack, kWhite, kBlack, kBlack, kWhite}});
  c.push_back({"1 bit over a byte",
               {40, 10, 1, 1, 0, false, {kBlack, kWhite}, 0, {}, {1, 0, 0, 0, 0, 0, 0, 0, 1, 1}, {}},
               {kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kWhite, kWhite}});
  c.push_back({"4 bits",
               {40, 3, 2, 4, 0, false, {kBlack, kRed, kGreen, kBlue, kGrey, kWhite}, 6, {}, {1, 2, 3, 4, 5, 0}, {}},
               {kRed, kGreen, kBlue, kGrey, kWhite, kBlack}});
  c.push_back({"8 bits, short palette",
               {40, 3, 2, 8, 0, false, {kRed, kGreen, kBlue}, 3, {}, {2, 1, 0, 0, 1, 2}, {}},
               {kBlue, kGreen, kRed, kRed, kGreen, kBlue}});
  c.push_back({"8 bits, OS/2 header",
               {12, 3, 2, 8, 0, false, {kRed, kGreen, kBlue}, 0, {}, {0, 1, 2, 2, 1, 0}, {}},
               {kRed, kGreen, kBlue, kBlue, kGreen, kRed}});
  c.push_back({"16 bits 5-5-5",
               {40, 3, 2, 16, 0, false, {}, 0, {}, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0, 0x4210}, {}},
               {kRed, kGreen, kBlue, kWhite, kBlack, {132, 132, 132}}});
  c.push_back(
      {"16 bits 5-6-5",
       {40, 3, 2, 16, 3, false, {}, 0, {0xF800, 0x07E0, 0x001F}, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0, 0x0400}, {}},
       {kRed, kGreen, kBlue, kWhite, kBlack, {0, 130, 0}}});
  c.push_back({"24 bits",
               {40, 3, 2, 24, 0, false, {}, 0, {}, {0xFF0000, 0x00FF00, 0x0000FF, 0x102030, 0xFFFFFF, 0}, {}},
               {kRed, kGreen, kBlue, {0x10, 0x20, 0x30}, kWhite, kBlack}});
  c.push_back({"24 bits, top-down",
               {40, 3, 2, 24, 0, true, {}, 0, {}, {0xFF0000, 0x00FF00, 0x0000FF, 0x102030, 0xFFFFFF, 0}, {}},
               {kRed, kGreen, kBlue, {0x10, 0x20, 0x30}, kWhite, kBlack}});
  c.push_back({"24 bits, V4 header",
               {108, 3, 2, 24, 0, false, {}, 0, {}, {0xFF0000, 0x00FF00, 0x0000FF, 0, 0, 0x808080}, {}},
               {kRed, kGreen, kBlue, kBlack, kBlack, kGrey}});
  c.push_back({"32 bits",
               {40, 3, 2, 32, 0, false, {}, 0, {}, {0xFFFF0000, 0x00FF00, 0x0000FF, 0x102030, 0xFFFFFF, 0}, {}},
               {kRed, kGreen, kBlue, {0x10, 0x20, 0x30}, kWhite, kBlack}});
  c.push_back({"32 bits, V5 header, red in the low byte",
               {124,
                3,
                2,
                32,
                3,
                true,
                {},
                0,
                {0x000000FF, 0x0000FF00, 0x00FF0000},
                {0x0000FF, 0x00FF00, 0xFF0000, 0x302010, 0xFFFFFF, 0},
                {}},
               {kRed, kGreen, kBlue, {0x10, 0x20, 0x30}, kWhite, kBlack}});
  // RLE8: bottom row given absolutely (colours 1, 1, 2, padded to a word);
  // end of line; top row: jump 1 right (the pixel skipped keeps colour 0),
  // a run of 2 of colour 2; end of picture.
  c.push_back(
      {"RLE8",
       {40, 3, 2, 8, 1, false, {kRed, kGreen, kBlue}, 3, {}, {}, {0, 3, 1, 1, 2, 0, 0, 0, 0, 2, 1, 0, 2, 2, 0, 1}},
       {kRed, kBlue, kBlue, kGreen, kGreen, kBlue}});
  // RLE4: bottom row a run of 3 alternating colours 1 and 2; top row given
  // absolutely as 3 nibbles 2, 0, 1 (padded to a word).
  c.push_back({"RLE4",
               {40, 3, 2, 4, 2, false, {kRed, kGreen, kBlue}, 3, {}, {}, {3, 0x12, 0, 0, 0, 3, 0x20, 0x10, 0, 1}},
               {kBlue, kRed, kGreen, kGreen, kBlue, kGreen}});
  return c;
}

TEST(BmpDecoder, EveryVariantGivesItsPixels) {
  for (const DecodeCase& c : decodeCases()) {
    tBitmap b;
    std::string reason;
    ASSERT_TRUE(decodeBmp(bmpFile(c.layout), b, reason)) << c.name << ": " << reason;
    EXPECT_EQ(b.width, c.layout.width) << c.name;
    EXPECT_EQ(b.height, c.layout.height) << c.name;
    EXPECT_EQ(pixelsOf(b), c.expected) << c.name;
  }
}

struct RefusalCase {
  const char* name;
  std::vector<std::uint8_t> file;
  const char* reason;  // a part of the reason
};

std::vector<std::uint8_t> valid24() { return bmpFile(decodeCases()[8].layout); }

std::vector<RefusalCase> refusalCases() {
  std::vector<RefusalCase> c;
  auto cut = valid24();
  cut.resize(cut.size() - 5);
  c.push_back({"pixels cut short", cut, "truncated"});
  auto header = valid24();
  header.resize(30);
  c.push_back({"header cut short", header, "truncated"});
  auto magic = valid24();
  magic[1] = 'X';
  c.push_back({"no BM", magic, "not a bitmap"});
  c.push_back({"empty file", {}, "not a bitmap"});
  BmpLayout wide{40, 30001, 1, 24, 0, false, {}, 0, {}, {}, {0}};
  c.push_back({"over 30000 wide", bmpFile(wide), "too large"});
  BmpLayout tall{40, 1, 30001, 24, 0, true, {}, 0, {}, {}, {0}};
  c.push_back({"over 30000 high, top-down", bmpFile(tall), "too large"});
  BmpLayout huge{40, 20000, 20000, 24, 0, false, {}, 0, {}, {}, {0}};
  c.push_back({"too many pixels", bmpFile(huge), "too large"});
  BmpLayout flat{40, 3, 0, 24, 0, false, {}, 0, {}, {}, {0}};
  c.push_back({"no rows", bmpFile(flat), "height"});
  auto headerSize = valid24();
  headerSize[14] = 20;
  c.push_back({"unknown header size", headerSize, "unknown header"});
  auto depth = valid24();
  depth[28] = 7;
  c.push_back({"7 bits per pixel", depth, "bits per pixel"});
  auto rleDepth = valid24();
  rleDepth[30] = 1;
  c.push_back({"RLE8 on 24 bits", rleDepth, "does not go with"});
  auto jpeg = valid24();
  jpeg[30] = 4;
  c.push_back({"embedded JPEG", jpeg, "JPEG"});
  BmpLayout index{40, 3, 2, 8, 0, false, {kRed, kGreen}, 2, {}, {0, 1, 5, 0, 0, 0}, {}};
  c.push_back({"colour past the palette", bmpFile(index), "palette of 2"});
  BmpLayout mask{40, 3, 2, 16, 3, false, {}, 0, {0xF00F, 0x07E0, 0x001F}, {0, 0, 0, 0, 0, 0}, {}};
  c.push_back({"split colour mask", bmpFile(mask), "colour mask"});
  BmpLayout runPast{40, 3, 2, 8, 1, false, {kRed}, 1, {}, {}, {4, 0, 0, 1}};
  c.push_back({"run past the row", bmpFile(runPast), "outside"});
  BmpLayout jumpPast{40, 3, 2, 8, 1, false, {kRed}, 1, {}, {}, {0, 2, 9, 0, 0, 1}};
  c.push_back({"jump past the picture", bmpFile(jumpPast), "outside"});
  BmpLayout noEnd{40, 3, 2, 8, 1, false, {kRed}, 1, {}, {}, {3, 0, 0}};
  c.push_back({"run-length code without its end", bmpFile(noEnd), "truncated"});
  BmpLayout absoluteCut{40, 3, 2, 8, 1, false, {kRed}, 1, {}, {}, {0, 3, 0}};
  c.push_back({"absolute run cut short", bmpFile(absoluteCut), "truncated"});
  return c;
}

TEST(BmpDecoder, HostileFilesAreRefusedWithTheReason) {
  for (const RefusalCase& c : refusalCases()) {
    tBitmap b;
    std::string reason;
    EXPECT_FALSE(decodeBmp(c.file, b, reason)) << c.name;
    EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
    EXPECT_TRUE(b.rgb.empty()) << c.name;
  }
}

TEST(BmpDecoder, DamagedFilesEndWithPixelsOrAReason) {
  // Every byte of a header, palette and coded pixels may be damaged: the
  // decoder gives a whole picture or a reason, and never reads past the file.
  std::mt19937 random(20261210);
  for (const DecodeCase& c : decodeCases()) {
    const std::vector<std::uint8_t> good = bmpFile(c.layout);
    for (int round = 0; round < 300; ++round) {
      std::vector<std::uint8_t> bad = good;
      for (int k = 0; k < 3; ++k) bad[random() % bad.size()] = static_cast<std::uint8_t>(random());
      if (round % 5 == 0) bad.resize(random() % bad.size());
      tBitmap b;
      std::string reason;
      if (decodeBmp(bad, b, reason)) {
        EXPECT_EQ(b.rgb.size(), static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.height) * 3) << c.name;
      } else {
        EXPECT_FALSE(reason.empty()) << c.name;
      }
    }
  }
}

}  // namespace
}  // namespace trazvik::import
