#include "project/preview_scene.h"

#include "layers/layer_colors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace trazvik {
namespace {

constexpr int W = 200, H = 100;

tScenaPodgladu scena() {
  tScenaPodgladu s;
  s.min = {0, 0};
  s.max = {1000, 500};
  // a red horizontal line along the middle, a blue dot at the top right
  s.linie.push_back({{{0, 250}, {1000, 250}}, kolorRGB(255, 0, 0), 1, false});
  s.kropki.push_back({{1000, 500}, kolorRGB(0, 0, 255), 4});
  s.napisy.push_back({{0, 0}, "17", kolorRGB(0, 128, 0)});
  return s;
}

struct Px {
  int r, g, b;
  bool operator==(const Px&) const = default;
};

Px at(const std::vector<unsigned char>& px, int x, int y) {
  const std::size_t i = (static_cast<std::size_t>(y) * W + static_cast<std::size_t>(x)) * 3;
  return {px[i], px[i + 1], px[i + 2]};
}

TEST(Preview, ProjectionKeepsAspectAndTurnsYDown) {
  const tScenaPodgladu s = scena();
  const tRzutPodgladu rzut(s, W, H);
  // 1000 x 500 into 160 x 60 with a 20 px margin: height limits, 0.12 px/unit
  EXPECT_DOUBLE_EQ(rzut.skala, 0.12);
  const trealpoint lo = rzut({0, 0}), hi = rzut({1000, 500});
  EXPECT_DOUBLE_EQ(lo.y, 80);
  EXPECT_DOUBLE_EQ(hi.y, 20);
  EXPECT_DOUBLE_EQ((lo.x + hi.x) / 2, 100);  // centred
}

TEST(Preview, RasterDrawsLinesDotsAndText) {
  const auto px = rasteryzujScene(scena(), W, H);
  ASSERT_EQ(px.size(), static_cast<std::size_t>(W * H * 3));
  EXPECT_EQ(at(px, 5, 5), (Px{255, 255, 255}));  // background
  EXPECT_EQ(at(px, 100, 50), (Px{255, 0, 0}));   // the middle line
  EXPECT_EQ(at(px, 100, 45), (Px{255, 255, 255}));
  const trealpoint dot = tRzutPodgladu(scena(), W, H)({1000, 500});
  EXPECT_EQ(at(px, static_cast<int>(dot.x), static_cast<int>(dot.y)), (Px{0, 0, 255}));
  int green = 0;
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) green += at(px, x, y) == Px{0, 128, 0};
  }
  EXPECT_GT(green, 10);  // the digits of "17"
}

TEST(Preview, HugeAndBrokenCoordinatesAreClippedNotCrashing) {
  tScenaPodgladu s = scena();
  s.linie.push_back({{{-1e300, 250}, {1e300, 260}}, kolorRGB(0, 0, 0), 3, true});
  s.linie.push_back({{{NAN, 0}, {5, INFINITY}}, kolorRGB(0, 0, 0), 1, false});
  s.kropki.push_back({{NAN, NAN}, 0, 3});
  s.napisy.push_back({{1e300, -1e300}, "9", 0});
  const auto px = rasteryzujScene(s, W, H);
  EXPECT_EQ(px.size(), static_cast<std::size_t>(W * H * 3));
  EXPECT_EQ(at(px, 5, 5), (Px{255, 255, 255}));
}

TEST(Preview, SvgHoldsThePolylinesInPixelsAndEscapesText) {
  tScenaPodgladu s = scena();
  s.napisy.push_back({{0, 0}, "<&>", 0});
  const std::string svg = scenaSvg(s, W, H);
  EXPECT_NE(svg.find("points=\"40.00,50.00 160.00,50.00\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("stroke=\"#ff0000\""), std::string::npos);
  EXPECT_NE(svg.find("fill=\"#0000ff\""), std::string::npos);
  EXPECT_NE(svg.find("&lt;&amp;&gt;"), std::string::npos);
  EXPECT_EQ(svg.find("<&>"), std::string::npos);
}

TEST(Preview, WritesPngAndSvgFiles) {
  const auto dir = std::filesystem::path(::testing::TempDir()) / "trazvik_preview";
  std::filesystem::create_directories(dir);
  const std::string png = (dir / "p.png").string(), svg = (dir / "p.SVG").string();
  EXPECT_EQ(zapiszPodglad(scena(), png, W, H), "");
  EXPECT_EQ(zapiszPodglad(scena(), svg, W, H), "");
  std::ifstream in(png, std::ios::binary);
  std::string head(8, '\0');
  in.read(head.data(), 8);
  EXPECT_EQ(head, "\x89PNG\r\n\x1a\n");
  std::ifstream s(svg);
  std::stringstream text;
  text << s.rdbuf();
  EXPECT_NE(text.str().find("<svg"), std::string::npos);
  EXPECT_NE(zapiszPodglad(scena(), (dir / "missing" / "x.png").string(), W, H), "");
  EXPECT_NE(zapiszPodglad(scena(), png, 5, H), "");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace trazvik
