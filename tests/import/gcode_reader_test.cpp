// The G-code side of the reader: words, modes, units, arcs in both centre
// modes, feeds and spindle limits, figure splitting and lengths.
#include "import/gcode_words.h"
#include "import/thpgl.h"

#include "dxf_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace trazvik::import {
namespace {

class GcodeReader : public ::testing::Test {
 protected:
  tFigureFile read(const std::string& program, tGcodeSettings gcode = relativeCentres()) {
    tReaderSettings settings;
    settings.gcode = gcode;
    return testutil::readText(folder_, "part.nc", program, settings);
  }
  // Every figure the reader gives, also those without points.
  std::vector<tfigura> all(const std::string& program, tGcodeSettings gcode = relativeCentres()) {
    trazvik::testing::writeFile(folder_ / "all.nc", program);
    Thpgl reader;
    reader.gcode.settings = gcode;
    EXPECT_EQ(reader.open((folder_ / "all.nc").string(), kFileTypeGcode, false), 0);
    std::vector<tfigura> figs;
    for (int guard = 0; !reader.EndOfFile && guard < 1000; ++guard) {
      figs.emplace_back();
      reader.get_figura(figs.back());
    }
    EXPECT_FALSE(reader.failed()) << reader.error().text();
    feed_ = reader.gcode.gFeed;
    spindle_ = reader.gcode.gSpindle;
    return figs;
  }
  static tGcodeSettings relativeCentres() {
    tGcodeSettings s;
    s.chkAbsolutArcPos = false;
    return s;
  }
  trazvik::testing::TempFolder folder_;
  double feed_ = 0, spindle_ = 0;
};

double pathLength(const std::vector<trpoint3d>& sp) {
  double sum = 0;
  for (std::size_t i = 1; i < sp.size(); ++i)
    sum += std::sqrt(std::pow(sp[i].x - sp[i - 1].x, 2) + std::pow(sp[i].y - sp[i - 1].y, 2) +
                     std::pow(sp[i].z - sp[i - 1].z, 2)) /
           100;
  return sum;
}

TEST(GcodeWords, LinesTakenApartIntoWords) {
  struct Case {
    std::string line;
    std::string words;    // letter=value, G and M codes times ten and as written
    std::string problem;  // "number: TOKEN" or "refused: TOKEN"; empty when read
  };
  const auto describe = [](const tGcodeBlock& b) {
    std::string out;
    for (int i = 0; i < b.gCount; ++i) out += gcodeWordText('G', b.g[i]) + " ";
    for (int i = 0; i < b.mCount; ++i) out += gcodeWordText('M', b.m[i] * 10) + " ";
    for (char c = 'A'; c <= 'Z'; ++c) {
      if (!b.has(c)) continue;
      char v[32];
      std::snprintf(v, sizeof v, "%g", b[c]);
      out += std::string(1, c) + "=" + v + " ";
    }
    if (b.percent) out += "% ";
    if (b.blockDelete) out += "/ ";
    if (b.unclosedComment) out += "( ";
    return out;
  };
  const Case cases[] = {
      // A comment in parentheses ends at its ")": the words after it count.
      {"  N10 G1 X1,5 (comment X9) Y2", "G1 N=10 X=1.5 Y=2 ", ""},
      {"(only a comment)", "", ""},
      {"G0 X5 ; note Y7", "G0 X=5 ", ""},
      {"g1 x-.5 y+3. f1200", "G1 F=1200 X=-0.5 Y=3 ", ""},
      {"G17G21G90G91.1G94", "G17 G21 G90 G91.1 G94 ", ""},
      {"G1 X 1 0 . 5", "G1 X=10.5 ", ""},
      {"M3 S12000 M8", "M3 M8 S=12000 ", ""},
      {"/G0 X1", "G0 X=1 / ", ""},
      {"%", "% ", ""},
      {"G1 X1 (no end", "G1 X=1 ( ", ""},
      {"G1 X0.123456789012345678901", "G1 X=0.123457 ", ""},
      {"G1 X1\x1a", "G1 X=1 ", ""},
      {"G1 XY2", "", "number: X"},
      {"G1 X1-2", "", "number: X1-2"},
      {"G1 X1.2.3", "", "number: X1.2.3"},
      {"G1 X", "", "number: X"},
      {"G1 X#1", "", "refused: X#1"},
      {"#1=5", "", "refused: #1=5"},
      {"G1 x [1+2]", "", "refused: x [1+2]"},
      {"G1 [1+2]", "", "refused: [1+2]"},
      {"G1 X1 X2", "", "refused: X2"},
      {"G1.25 X1", "", "refused: G1.25"},
      {"G1 X1*56", "", "refused: *56"},
      {"X1 /Y2", "", "refused: /Y2"},
      {"M3.5", "", "refused: M3.5"},
  };
  for (const Case& c : cases) {
    const std::string& line = c.line;
    tGcodeBlock block;
    tGcodeLineProblem problem;
    const bool ok = parseGcodeLine(line, block, problem);
    if (c.problem.empty()) {
      EXPECT_TRUE(ok) << c.line << ": " << problem.reason << " " << problem.token;
      EXPECT_EQ(describe(block), c.words) << c.line;
    } else {
      EXPECT_FALSE(ok) << c.line;
      EXPECT_EQ((problem.badNumber ? "number: " : "refused: ") + problem.token, c.problem) << c.line;
      EXPECT_EQ(problem.badNumber, problem.reason.empty()) << c.line;
    }
  }
}

TEST_F(GcodeReader, RapidThenCuttingFigures) {
  const auto figs = all("G0 X0 Y0\nG1 X10 Y0 F300\nG1 X10 Y10\n");
  ASSERT_EQ(figs.size(), 2u);
  EXPECT_TRUE(figs[0].Gprzestawcza);
  EXPECT_EQ(figs[0].org_color, 0xFF0000);
  EXPECT_EQ(drawnPoints(figs[0]), (std::vector<trealpoint>{{0, 0}}));
  EXPECT_FALSE(figs[1].Gprzestawcza);
  EXPECT_EQ(figs[1].org_color, 0);
  EXPECT_EQ(drawnPoints(figs[1]), (std::vector<trealpoint>{{0, 0}, {1000, 0}, {1000, 1000}}));
  EXPECT_EQ(figs[1].sp.back(), (trpoint3d{1000, 1000, 0}));
  EXPECT_TRUE(figs[1].p.empty()) << "the points are kept once, as the 3-D path";
  EXPECT_EQ(figs[1].fig_pk, (trealpoint{1000, 1000})) << "the shape comes from the 3-D path";
  EXPECT_DOUBLE_EQ(figs[1].lenwork, 20);
  EXPECT_EQ(figs[1].Gszybkosc, 300) << "the feed of the last cutting moves";
}

TEST_F(GcodeReader, FiguresSplitAtEveryChangeBetweenRapidAndCutting) {
  const auto figs = all("G21\nG0 Z5\nX0 Y0\nG1 Z-1 F100\nX20 F400\nG0 Z5\nX50 Y0\nG1 Z-1\nG3 X50 Y0 I10 J0\nG0 Z5");
  ASSERT_EQ(figs.size(), 5u);
  const bool rapid[] = {true, false, true, false, true};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(figs[i].Gprzestawcza, rapid[i]) << i;
  // The first cutting figure plunges 6 mm and cuts 20 mm; its feed is the
  // one in force when it ended, not the first one.
  EXPECT_DOUBLE_EQ(figs[1].lenwork, 6 + 20);
  EXPECT_EQ(figs[1].Gszybkosc, 400);
  EXPECT_DOUBLE_EQ(figs[2].lenPrzes, 6 + 30);
  // A 6 mm plunge and a full circle of radius 10 at z = -1: exact length
  // 2 pi 10 within the chord error of its 180 segments.
  const double exact = 6 + 2 * M_PI * 10;
  EXPECT_NEAR(figs[3].lenwork, exact, exact * std::pow(2 * M_PI / 180, 2) / 24 + 1e-9);
  EXPECT_LT(figs[3].lenwork, exact);
  EXPECT_EQ(figs[3].Gszybkosc, 400);
  ASSERT_EQ(figs[4].sp.size(), 2u) << "the last line's move is executed: a lift in place";
  EXPECT_EQ(figs[4].sp.back(), (trpoint3d{5000, 0, 500}));
  EXPECT_DOUBLE_EQ(figs[4].lenPrzes, 6);
  EXPECT_EQ(feed_, 400);
}

TEST_F(GcodeReader, ArcsInBothCentreModesMatchExactLengths) {
  struct Case {
    const char* what;
    std::string program;
    bool absolute;
    double radius;
    double sweep;  // radians, signed
    int segments;
  };
  const Case cases[] = {
      {"G2 three quarters, relative", "G1 X10 Y0\nG2 X0 Y10 I-10 J0\n", false, 10, -1.5 * M_PI, 135},
      {"G2 the same, absolute", "G1 X10 Y0\nG2 X0 Y10 I0 J0\n", true, 10, -1.5 * M_PI, 135},
      {"G3 quarter, J left out", "G1 X10 Y5\nG3 X5 Y10 I-5\n", false, 5, 0.5 * M_PI, 45},
      {"G3 full circle", "G1 X3 Y0\nG3 X3 Y0 I-3 J0\n", false, 3, 2 * M_PI, 180},
      {"G2 radius form", "G1 X10 Y0\nG2 X0 Y-10 R10\n", false, 10, -0.5 * M_PI, 45},
      {"G3 long arc by negative R", "G1 X10 Y0\nG3 X0 Y-10 R-10\n", false, 10, 1.5 * M_PI, 135},
      {"small radius, at least 12 per turn", "G1 X0.01 Y0\nG3 X-0.01 Y0 I-0.01 J0\n", false, 0.01, M_PI, 6},
  };
  for (const Case& c : cases) {
    tGcodeSettings s;
    s.chkAbsolutArcPos = c.absolute;
    const auto figs = all(c.program, s);
    ASSERT_EQ(figs.size(), 1u) << c.what;
    const tfigura& f = figs[0];
    // The G1 target (no position before it), then the arc's N segments.
    EXPECT_EQ(static_cast<int>(f.sp.size()) - 1, c.segments) << c.what;
    const double exactArc = c.radius * std::fabs(c.sweep);
    const double chord = 2 * c.radius * std::sin(std::fabs(c.sweep) / c.segments / 2);
    const double arcLength = pathLength(f.sp);
    EXPECT_NEAR(arcLength, chord * c.segments, 1e-9) << c.what;
    EXPECT_NEAR(arcLength, exactArc, exactArc * std::pow(std::fabs(c.sweep) / c.segments, 2) / 24 + 1e-12) << c.what;
    EXPECT_NEAR(f.lenwork, pathLength(f.sp), 1e-9) << c.what;
    // The arc turns the stated way: signed area of the arc points.
    double turn = 0;
    for (std::size_t i = 1; i < f.sp.size(); ++i) turn += f.sp[i - 1].x * f.sp[i].y - f.sp[i - 1].y * f.sp[i].x;
    EXPECT_EQ(turn > 0, c.sweep > 0) << c.what;
  }
}

TEST_F(GcodeReader, UnitsFeedsAndSpindleLimits) {
  tGcodeSettings s = relativeCentres();
  s.minFeed = 50;
  s.maxFeed = 5000;
  s.minSpindle = 1000;
  s.maxSpindle = 18000;
  auto figs = all("G20\nG1 X1 Y0 F10\nG21\nX30 S24000\n", s);
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(drawnPoints(figs[0]), (std::vector<trealpoint>{{2540, 0}, {3000, 0}}));
  EXPECT_DOUBLE_EQ(feed_, 254);
  EXPECT_EQ(spindle_, 18000);
  figs = all("G1 X1 F1 S5\n", s);
  EXPECT_EQ(feed_, 50);
  EXPECT_EQ(spindle_, 1000);
  figs = all("G1 X1 F100000\n", s);
  EXPECT_EQ(feed_, 5000);
  // A new file starts in millimetres; without an F word the figure takes
  // WorkSpeed; without a known machine nothing is limited.
  s = relativeCentres();
  s.WorkSpeed = 1234;
  figs = all("G1 X1 S30000\n", s);
  EXPECT_EQ(drawnPoints(figs[0]).back(), (trealpoint{100, 0}));
  EXPECT_EQ(figs[0].Gszybkosc, 1234);
  EXPECT_EQ(spindle_, 30000);
}

TEST_F(GcodeReader, CloseMovesStoreOnePointAndLinesWithoutAxesDoNotMove) {
  const auto figs = all("G1 X1 Y1\nX1.0005 Y1.0009\nM3 S1000\n(comment)\n\nG2\nG1 X2\n");
  ASSERT_EQ(figs.size(), 1u);
  ASSERT_EQ(drawnPoints(figs[0]).size(), 2u) << "no position before the first move";
  EXPECT_EQ(drawnPoints(figs[0])[0], (trealpoint{100, 100}));
  EXPECT_NEAR(drawnPoints(figs[0])[1].x, 200, 1e-9);
  EXPECT_NEAR(drawnPoints(figs[0])[1].y, 100.09, 1e-9) << "coordinates are modal";
}

TEST_F(GcodeReader, MalformedWordsFailWithFileLineAndWord) {
  struct Case {
    std::string program;
    const char* expected;
  };
  const Case cases[] = {
      {"G0 X0\nG1 X Y10\n", "part.nc: line 2: a number is expected here, found \"X\""},
      {"G0 X0\n\nG1 X1-2\n", "line 3: a number is expected here, found \"X1-2\""},
      {"G1 F.\n", "line 1: a number is expected here, found \"F.\""},
      {"G0 X99999999999999\n", "line 1: a point lies farther than 10 km"},
  };
  for (const Case& c : cases) {
    const tFigureFile file = read(c.program);
    EXPECT_FALSE(file.ok()) << c.program;
    EXPECT_NE(file.errorText("part.nc").find(c.expected), std::string::npos) << file.errorText("part.nc");
  }
}

TEST_F(GcodeReader, LastLineIsExecutedWhateverItsLineEnd) {
  for (const std::string end : {"", "\n", "\r\n", "\r"}) {
    const auto figs = all("G0 X5 Y5\n" + std::string("G1 X6 Y5") + end);
    ASSERT_EQ(figs.size(), 2u) << "end " << end.size();
    EXPECT_EQ(drawnPoints(figs[1]).back(), (trealpoint{600, 500}));
  }
}

TEST_F(GcodeReader, HugeArcsAreBounded) {
  const auto figs = all("G1 X9000000 Y0\nG3 X9000000 Y0 I-9000000 J0\n");
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_LE(drawnPoints(figs[0]).size(), 100002u);
}

}  // namespace
}  // namespace trazvik::import
