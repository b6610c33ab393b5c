// Plot file constructs as drivers and drawing programs write them: each one
// read into the figures a plotter would draw, warned about when it draws
// something that is not cut, or refused when it would be misread.
#include "import/read_figures.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace trazvik::import {
namespace {

using Points = std::vector<trealpoint>;

tFigureFile readPlot(const std::string& content) {
  trazvik::testing::TempFolder folder;
  trazvik::testing::writeFile(folder / "drawing.plt", content);
  return readFigureFile((folder / "drawing.plt").string(), kFileTypeHpgl);
}

std::string describe(const tFigureFile& file) {
  std::string out;
  for (const auto& fig : file.figures) {
    out += "[";
    for (const trealpoint& p : fig->p) out += " (" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    out += "]";
  }
  for (const auto& w : file.warnings.list()) out += " {" + w.text("drawing.plt") + "}";
  return out;
}

// An encoded number of PE: base 64 (32 in seven-bit mode), lowest digit
// first, the sign in the lowest bit.
std::string encoded(std::int64_t value, bool sevenBit = false) {
  std::uint64_t v = value < 0 ? (static_cast<std::uint64_t>(-value) << 1) | 1 : static_cast<std::uint64_t>(value) << 1;
  const unsigned base = sevenBit ? 32 : 64;
  std::string out;
  while (v >= base) {
    out += static_cast<char>(63 + v % base);
    v /= base;
  }
  out += static_cast<char>((sevenBit ? 95 : 191) + v);
  return out;
}

TEST(PlotConstructs, ExactFiguresAndTheirWarnings) {
  struct Case {
    const char* what;
    std::string input;
    std::vector<Points> figures;
    std::vector<std::string> warnings;  // in order of first appearance
  };
  const Case cases[] = {
      {"reals with signs and leading points", "PU-.4,+.5;PD+10.4,-3849.99;PU;", {{{0, 0}, {10, -3850}}}, {}},
      {"parameters of undrawn instructions are skipped",
       "SI.3,.5;DI+1,0;LT-2.5;VS.5,,-3;PU0,0;PD10,0;",
       {{{0, 0}, {10, 0}}},
       {}},
      {"quoted strings hold letters",
       "CO\"PD 5,5 is a comment\";BP1,\"plot PD\";PU0,0;PD10,0;",
       {{{0, 0}, {10, 0}}},
       {}},
      {"label text up to ETX",
       "PU0,0;LBPD99,99 text\x03PU0,0;PD10,0;LBmore\x03",
       {{{0, 0}, {10, 0}}},
       {"byte 6: label text (LB) is not cut (2 times)"}},
      {"label terminator set by DT",
       "DT@,1;PU0,0;LBPD50,50;@PU0,0;PD10,0;DT;LBx@y\x03PU0,0;PD0,5;",
       {{{0, 0}, {10, 0}}, {{0, 0}, {0, 5}}},
       {"byte 12: label text (LB) is not cut (2 times)"}},
      {"rectangle outline EA, pen stays",
       "PU10,20;EA50,60;PD10,30;PU;",
       {{{10, 20}, {50, 20}, {50, 60}, {10, 60}, {10, 20}}, {{10, 20}, {10, 30}}},
       {}},
      {"rectangle outline ER", "PU10,20;ER-5,5;", {{{10, 20}, {5, 20}, {5, 25}, {10, 25}, {10, 20}}}, {}},
      {"user units on the scaling points",
       "IN;IP0,0,4000,4000;SC0,100,0,100;PU0,0;PD100,0,100,100,0,100,0,0;PU;",
       {{{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}}},
       {}},
      {"scaling points moved later rescale",
       "IP0,0,100,100;SC0,10,0,10;IP0,0,400,400;PU1,1;PD2,1;",
       {{{40, 40}, {80, 40}}},
       {}},
      {"isotropic scaling, centred",
       "IP0,0,4000,2000;SC0,100,0,100,1;PU0,0;PD100,100;",
       {{{1000, 0}, {3000, 2000}}},
       {}},
      {"point-factor scaling", "IP100,100,200,200;SC0,2,0,3,2;PU0,0;PD10,10;", {{{100, 100}, {120, 130}}}, {}},
      {"relative moves in user units",
       "IP0,0,4000,4000;SC0,100,0,100;PU10,10;PR;PD5,0;",
       {{{400, 400}, {600, 400}}},
       {}},
      {"SC alone turns scaling off", "IP0,0,4000,4000;SC0,100,0,100;SC;PU0,0;PD100,0;", {{{0, 0}, {100, 0}}}, {}},
      {"encoded polyline",
       "PE<=" + encoded(0) + encoded(0) + encoded(100) + encoded(0) + encoded(0) + encoded(-100) + ";",
       {{{0, 0}, {100, 0}, {100, -100}}},
       {}},
      {"encoded, seven-bit, fraction bits, pen-up move and pen",
       "PE7>" + encoded(1, true) + ":" + encoded(3, true) + "<=" + encoded(20, true) + encoded(40, true) +
           encoded(2000, true) + encoded(-2000, true) + "<" + encoded(1000, true) + encoded(0, true) +
           encoded(0, true) + encoded(4, true) + ";",
       {{{10, 20}, {1010, -980}}, {{1510, -980}, {1510, -978}}},
       {}},
      {"closing a subpolygon draws its edge",
       "PU0,0;PM0;PD10,0,10,10;PM2;PU;EP;",
       {{{0, 0}, {10, 0}, {10, 10}, {0, 0}}},
       {}},
      {"printer-language wrapper",
       "\x1b%-12345X@PJL ENTER LANGUAGE=HPGL2\r\n\x1b"
       "E\x1b%1BIN;PU0,0;PD10,0;PU;\x1b%0APrinted PD99,99\x1b%1B\x1b.I81;;17:PU",
       {{{0, 0}, {10, 0}}},
       {}},
      {"unknown instruction",
       "ZZ1,2;PU0,0;PD5,5;ZZ;",
       {{{0, 0}, {5, 5}}},
       {"byte 0: unknown instruction ZZ is ignored (2 times)"}},
      {"fills",
       "PU0,0;RA10,10;WG5,0,90;PD5,5;",
       {{{0, 0}, {5, 5}}},
       {"byte 6: filled areas (RA, RR, WG) are not cut (2 times)"}},
      {"symbols", "SM*;PU0,0;PD5,5;SM;", {{{0, 0}, {5, 5}}}, {"byte 0: symbols drawn at the points (SM) are not cut"}},
      {"drawing on a later page",
       "PU0,0;PD1,1;PU;PG;PU0,0;PD2,2;PG;",
       {{{0, 0}, {1, 1}}, {{0, 0}, {2, 2}}},
       {"byte 15: drawing after a page advance (PG) lands on the first page"}},
      {"rotation",
       "RO90;PU0,0;PD5,5;",
       {{{0, 0}, {5, 5}}},
       {"byte 0: rotation (RO) is not applied; the drawing keeps the file's axes"}},
      {"odd coordinate", "PU0,0;PD5,5,7;", {{{0, 0}, {5, 5}}}, {"byte 12: a coordinate without its pair is ignored"}},
  };
  for (const Case& c : cases) {
    const tFigureFile file = readPlot(c.input);
    ASSERT_TRUE(file.ok()) << c.what << ": " << file.errorText("drawing.plt");
    ASSERT_EQ(file.figures.size(), c.figures.size()) << c.what << ": " << describe(file);
    for (std::size_t i = 0; i < c.figures.size(); ++i)
      EXPECT_EQ(file.figures[i]->p, c.figures[i]) << c.what << " #" << i << ": " << describe(file);
    ASSERT_EQ(file.warnings.list().size(), c.warnings.size()) << c.what << ": " << describe(file);
    for (std::size_t i = 0; i < c.warnings.size(); ++i)
      EXPECT_EQ(file.warnings.list()[i].text("drawing.plt"), "drawing.plt: " + c.warnings[i]) << c.what;
  }
}

TEST(PlotConstructs, CurvesStayWithinAPlotterUnit) {
  struct Case {
    const char* what;
    const char* input;
    std::size_t figure;  // the curve's figure
    trealpoint centre;
    double radius;
    trealpoint first, last;
    trealpoint low, high;  // the figure's extent
  };
  const Case cases[] = {
      {"circle round the pen", "PU100,100;CI40;", 0, {100, 100}, 40, {140, 100}, {140, 100}, {60, 60}, {140, 140}},
      {"circle, negative radius starts at 180 degrees",
       "PU0,0;CI-400;",
       0,
       {0, 0},
       400,
       {-400, 0},
       {-400, 0},
       {-400, -400},
       {400, 400}},
      {"circle in user units",
       "IP0,0,4000,4000;SC0,100,0,100;PU50,50;CI10;",
       0,
       {2000, 2000},
       400,
       {2400, 2000},
       {2400, 2000},
       {1600, 1600},
       {2400, 2400}},
      {"absolute arc, counterclockwise",
       "PU1000,0;PD;AA0,0,90;PU;",
       0,
       {0, 0},
       1000,
       {1000, 0},
       {0, 1000},
       {0, 0},
       {1000, 1000}},
      {"relative arc, clockwise",
       "PU1000,0;PD;AR-1000,0,-90;PU;",
       0,
       {0, 0},
       1000,
       {1000, 0},
       {0, -1000},
       {0, -1000},
       {1000, 0}},
      {"three-point arc through the top",
       "PU0,0;PD;AT500,500,1000,0;PU;",
       0,
       {500, 0},
       500,
       {0, 0},
       {1000, 0},
       {0, 0},
       {1000, 500}},
      {"three-point arc, relative, through the bottom",
       "PU0,0;PD;RT500,-500,1000,0;PU;",
       0,
       {500, 0},
       500,
       {0, 0},
       {1000, 0},
       {0, -500},
       {1000, 0}},
      {"wedge outline", "PU0,0;EW1000,0,90;", 0, {0, 0}, 1000, {0, 0}, {0, 0}, {0, 0}, {1000, 1000}},
  };
  for (const Case& c : cases) {
    const tFigureFile file = readPlot(c.input);
    ASSERT_TRUE(file.ok()) << c.what << ": " << file.errorText("drawing.plt");
    ASSERT_GT(file.figures.size(), c.figure) << c.what;
    const tfigura& f = *file.figures[c.figure];
    EXPECT_EQ(f.p.front(), c.first) << c.what;
    EXPECT_EQ(f.p.back(), c.last) << c.what;
    EXPECT_NEAR(f.fig_pp.x, c.low.x, 1) << c.what;
    EXPECT_NEAR(f.fig_pp.y, c.low.y, 1) << c.what;
    EXPECT_NEAR(f.fig_pk.x, c.high.x, 1) << c.what;
    EXPECT_NEAR(f.fig_pk.y, c.high.y, 1) << c.what;
    const auto onCircle = [&](const trealpoint& p) {
      return std::fabs(std::hypot(p.x - c.centre.x, p.y - c.centre.y) - c.radius) < 1;
    };
    std::size_t pointsOnCircle = 0;
    for (std::size_t i = 0; i < f.p.size(); ++i) {
      const trealpoint& p = f.p[i];
      EXPECT_EQ(p.x, std::round(p.x)) << c.what << ": whole plotter units";
      if (!onCircle(p)) continue;
      ++pointsOnCircle;
      // The middle of each chord stays within a unit (plus rounding) of the circle.
      if (i == 0 || !onCircle(f.p[i - 1])) continue;
      const double mr = std::hypot((p.x + f.p[i - 1].x) / 2 - c.centre.x, (p.y + f.p[i - 1].y) / 2 - c.centre.y);
      EXPECT_GT(mr, c.radius - 2) << c.what << " segment " << i;
    }
    EXPECT_GT(pointsOnCircle, 8u) << c.what;
  }
  // A circle in a pen-down run is a figure of its own; the run goes on after it.
  const tFigureFile file = readPlot("PU0,0;PD100,0;CI50;PD200,0;PU;");
  ASSERT_EQ(file.figures.size(), 3u) << describe(file);
  EXPECT_EQ(file.figures[0]->p, (Points{{0, 0}, {100, 0}}));
  EXPECT_NEAR(file.figures[1]->center.x, 100, 0.5);
  EXPECT_EQ(file.figures[2]->p, (Points{{100, 0}, {200, 0}}));
  // A pen-up arc only moves the pen; a Bezier curve keeps to its hull.
  const tFigureFile moved = readPlot("PU100,0;AA0,0,180;PD0,50;PU;PU0,0;PD;BZ0,1000,1000,1000,1000,0;PU;");
  ASSERT_EQ(moved.figures.size(), 2u) << describe(moved);
  EXPECT_EQ(moved.figures[0]->p, (Points{{-100, 0}, {0, 50}}));
  EXPECT_EQ(moved.figures[1]->p.back(), (trealpoint{1000, 0}));
  EXPECT_NEAR(moved.figures[1]->fig_pk.y, 750, 1);
}

TEST(PlotConstructs, MisreadingsAreRefusedWithTheirPlace) {
  struct Case {
    const char* what;
    const char* input;
    const char* text;
  };
  const Case cases[] = {
      {"relative move after a label", "PU0,0;LBab\x03PR10,0;PD10,0;",
       "byte 11: the pen position after a label or a character move (LB, CP, PB, UC) is not known"},
      {"stroke from the end of a label", "PU0,0;LBab\x03PD10,0;", "byte 11: the pen position after a label"},
      {"circle after a character move", "PU0,0;CP2,0;CI5;", "byte 12: the pen position after a label"},
      {"scaling without scaling points", "IN;SC0,100,0,100;PU0,0;PD1,1;",
       "byte 3: scaling (SC) needs the scaling points set by IP, found \"SC\""},
      {"scaling with an empty range", "IP0,0,10,10;SC0,0,0,100;", "byte 12: scaling (SC) with an empty range"},
      {"scaling points forgotten while scaling", "IP0,0,10,10;SC0,1,0,1;IP;PU0,0;",
       "byte 22: scaling (SC) needs the scaling points set by IP"},
      {"malformed number", "PU0,0;PD1-2,0;", "byte 8: a number is expected here, found \"1-2\""},
      {"encoded number cut short", "PE=\x40;", "byte 3: a number is expected here"},
      {"circle beyond the coordinates' range", "PU0,0;CI2147483648;",
       "byte 6: a point lies beyond the 32-bit coordinates of plot files"},
      {"polygon mode beyond any mode", "PM6666766667;", "byte 0: polygon mode (PM) 6666766667 is not 0, 1 or 2"},
      {"polygon mode between modes", "PM0;PD1,1;PM1.5;", "byte 10: polygon mode (PM) 1.5 is not 0, 1 or 2"},
  };
  for (const Case& c : cases) {
    const tFigureFile file = readPlot(std::string("SP1;PU0,0;PD5,5;PU;") + c.input);
    ASSERT_FALSE(file.ok()) << c.what;
    EXPECT_TRUE(file.figures.empty()) << c.what;
    const std::string text = file.errorText("drawing.plt");
    const std::string shifted = [&] {
      // The place in the message counts the good figure in front.
      std::string t = c.text;
      const std::size_t digits = t.find_first_of("0123456789");
      const std::size_t end = t.find(':');
      return t.substr(0, digits) + std::to_string(std::stoull(t.substr(digits, end - digits)) + 19) + t.substr(end);
    }();
    EXPECT_NE(text.find(shifted), std::string::npos) << c.what << ": " << text;
  }
}

}  // namespace
}  // namespace trazvik::import
