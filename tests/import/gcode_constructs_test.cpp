// What the G-code reader makes of each construct a program may hold: the
// moves it reads (against moves computed by hand), what it warns about, and
// what it refuses with the line and the word.
#include "import/read_figures.h"

#include "dxf_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace trazvik::import {
namespace {

struct P {
  double x, y, z;
};

// A figure as expected: rapid or cutting, and its points in millimetres.
struct Fig {
  bool cut;
  std::vector<P> points;
};

struct Case {
  const char* what;
  std::string program;
  std::vector<Fig> figures;   // when read
  std::string warning;        // expected among the warnings ("" for none at all)
  std::string refusal;        // when refused: the error text after "part.nc: "
  bool absoluteArcs = false;  // the setting chkAbsolutArcPos
};

class GcodeConstructs : public ::testing::Test {
 protected:
  tFigureFile read(const std::string& program, bool absoluteArcs) {
    tReaderSettings settings;
    settings.gcode.chkAbsolutArcPos = absoluteArcs;
    return testutil::readText(folder_, "part.nc", program, settings);
  }

  void check(const Case& c) {
    SCOPED_TRACE(c.what);
    const tFigureFile file = read(c.program, c.absoluteArcs);
    if (!c.refusal.empty()) {
      ASSERT_FALSE(file.ok());
      const std::string text = file.errorText("part.nc");
      EXPECT_EQ(text.substr(text.rfind("part.nc: ")), "part.nc: " + c.refusal);
      return;
    }
    ASSERT_TRUE(file.ok()) << file.errorText("part.nc");
    std::string warnings;
    for (const tReadWarning& w : file.warnings.list()) warnings += w.text("part.nc") + "\n";
    if (c.warning.empty()) {
      EXPECT_EQ(warnings, "");
    } else {
      EXPECT_NE(warnings.find(c.warning), std::string::npos) << warnings;
    }
    ASSERT_EQ(file.figures.size(), c.figures.size());
    for (std::size_t i = 0; i < c.figures.size(); ++i) {
      const tfigura& f = *file.figures[i];
      EXPECT_EQ(f.Gprzestawcza, !c.figures[i].cut) << "figure " << i;
      ASSERT_EQ(f.sp.size(), c.figures[i].points.size()) << "figure " << i;
      EXPECT_TRUE(f.p.empty()) << "figure " << i << ": the points are kept once, as the 3-D path";
      for (std::size_t k = 0; k < f.sp.size(); ++k) {
        const P& e = c.figures[i].points[k];
        EXPECT_NEAR(f.sp[k].x, e.x * 100, 1e-6) << "figure " << i << " point " << k;
        EXPECT_NEAR(f.sp[k].y, e.y * 100, 1e-6) << "figure " << i << " point " << k;
        EXPECT_NEAR(f.sp[k].z, e.z * 100, 1e-6) << "figure " << i << " point " << k;
      }
    }
  }

  trazvik::testing::TempFolder folder_;
};

TEST_F(GcodeConstructs, ReadAsTheProgramMeans) {
  const Case cases[] = {
      {"lower-case words", "g0 x1 y2\ng1 x3 y2 f100\n", {{false, {{1, 2, 0}}}, {true, {{1, 2, 0}, {3, 2, 0}}}}, "", ""},
      {"comments end at ')', ';' ends the line",
       "G0 X1 (go) Y2 ; rest X9\nG1 (cut) X3 (fast)\n",
       {{false, {{1, 2, 0}}}, {true, {{1, 2, 0}, {3, 2, 0}}}},
       "",
       ""},
      {"'%' around the program, N numbers; the closing '%' ends it",
       "%\nN10 G0 X1 Y2\nN20 G1 X3\n%\nG0 X50\n",
       {{false, {{1, 2, 0}}}, {true, {{1, 2, 0}, {3, 2, 0}}}},
       "",
       ""},
      {"a program number on the first line names the program",
       "O1000 (PART)\nG0 X1 Y2\nG1 X3\n",
       {{false, {{1, 2, 0}}}, {true, {{1, 2, 0}, {3, 2, 0}}}},
       "",
       ""},
      {"M30 ends the program after its line's move",
       "G0 X1 Y2\nG1 X3 M30\nG1 X9\n",
       {{false, {{1, 2, 0}}}, {true, {{1, 2, 0}, {3, 2, 0}}}},
       "",
       ""},
      {"M2 too", "G0 X1 Y2\nM2\nG1 X9\n", {{false, {{1, 2, 0}}}}, "", ""},
      {"codes without geometry are harmless",
       "G17 G21 G40 G49 G54 G61 G64 G94 G80 G50 G69 G15 G97\nT1 M6\nG43 H1 D1\nM3 S1000 M8\nG4 P0.5\nG0 X1 Y2\n"
       "G1 X3 F100\nG04 X1.5 (a dwell's time, no move)\nG9 X3\nM9\nM5\n",
       {{false, {{1, 2, 0}}}, {true, {{1, 2, 0}, {3, 2, 0}}}},
       "",
       ""},
      // Incremental: each axis word is a distance from where the tool is.
      {"G91 incremental moves",
       "G0 X10 Y10 Z5\nG91\nG1 X5 Y-2 Z-6 F200\nX-5\nG90 G0 Z5\n",
       {{false, {{10, 10, 5}}}, {true, {{10, 10, 5}, {15, 8, -1}, {10, 8, -1}}}, {false, {{10, 8, -1}, {10, 8, 5}}}},
       "",
       ""},
      {"G20 inches until G21",
       "G20\nG0 X1 Y0.5\nG21 G1 X30\n",
       {{false, {{25.4, 12.7, 0}}}, {true, {{25.4, 12.7, 0}, {30, 12.7, 0}}}},
       "",
       ""},
      // G81 at (5,5) and (15,5): above R=2 already; down to R, feed to -3,
      // back to the start height 10 (G98).
      {"G81 with G98 retracts to the start height",
       "G0 X0 Y0 Z10\nG81 X5 Y5 Z-3 R2 F100\nX15\nG80\nG0 Z20\n",
       {{false, {{0, 0, 10}, {5, 5, 10}, {5, 5, 2}}},
        {true, {{5, 5, 2}, {5, 5, -3}}},
        {false, {{5, 5, -3}, {5, 5, 10}, {15, 5, 10}, {15, 5, 2}}},
        {true, {{15, 5, 2}, {15, 5, -3}}},
        {false, {{15, 5, -3}, {15, 5, 10}, {15, 5, 20}}}},
       "",
       ""},
      {"G81 with G99 retracts to R",
       "G0 X0 Y0 Z10\nG99 G81 X5 Y5 Z-3 R2\nX15\nG80 G0 Z20\n",
       {{false, {{0, 0, 10}, {5, 5, 10}, {5, 5, 2}}},
        {true, {{5, 5, 2}, {5, 5, -3}}},
        {false, {{5, 5, -3}, {5, 5, 2}, {15, 5, 2}}},
        {true, {{15, 5, 2}, {15, 5, -3}}},
        {false, {{15, 5, -3}, {15, 5, 2}, {15, 5, 20}}}},
       "",
       ""},
      // Below R the tool first rises to R, then crosses.
      {"G82 from below R, its dwell P no move",
       "G0 X0 Y0 Z-1\nG82 X4 Y0 Z-2 R1 P500 F50\nG80\n",
       {{false, {{0, 0, -1}, {0, 0, 1}, {4, 0, 1}}}, {true, {{4, 0, 1}, {4, 0, -2}}}, {false, {{4, 0, -2}, {4, 0, 1}}}},
       "",
       ""},
      // G83 Q2.5 from R=1 to -5: pecks to -1.5, -4, -5; after each the
      // tool goes up to R and rapidly back to 0.254 above where it was.
      {"G83 pecks",
       "G0 X0 Y0 Z5\nG83 X10 Y0 Z-5 R1 Q2.5 F100\nG80\n",
       {{false, {{0, 0, 5}, {10, 0, 5}, {10, 0, 1}}},
        {true, {{10, 0, 1}, {10, 0, -1.5}}},
        {false, {{10, 0, -1.5}, {10, 0, 1}, {10, 0, -1.246}}},
        {true, {{10, 0, -1.246}, {10, 0, -4}}},
        {false, {{10, 0, -4}, {10, 0, 1}, {10, 0, -3.746}}},
        {true, {{10, 0, -3.746}, {10, 0, -5}}},
        {false, {{10, 0, -5}, {10, 0, 5}}}},
       "",
       ""},
      // Incremental cycle: R from Z 5 is 2, the depth from R is -2; L2
      // drills at X+10 and X+20.
      {"G91 drilling with repeats",
       "G0 X0 Y0 Z5\nG91 G99 G81 X10 Y0 Z-4 R-3 L2 F100\nG90 G80 G0 Z5\n",
       {{false, {{0, 0, 5}, {10, 0, 5}, {10, 0, 2}}},
        {true, {{10, 0, 2}, {10, 0, -2}}},
        {false, {{10, 0, -2}, {10, 0, 2}, {20, 0, 2}}},
        {true, {{20, 0, 2}, {20, 0, -2}}},
        {false, {{20, 0, -2}, {20, 0, 2}, {20, 0, 5}}}},
       "",
       ""},
      // G28 G91 Z0: Z goes home through where it is; the figure ends there
      // and nothing is drawn until Z is known again.
      {"G28 ends the figure",
       "G0 X0 Y0 Z5\nG28 G91 Z0\nG90 G0 X10 Y10\nG0 Z5\nG1 Z-1\n",
       {{false, {{0, 0, 5}}}, {false, {{10, 10, 5}}}, {true, {{10, 10, 5}, {10, 10, -1}}}},
       "part.nc: line 2: G28 moves to a machine position: it is not cut and the figure ends there",
       ""},
      {"G53 ends the figure",
       "G0 X1 Y1 Z5\nG53 G0 Z0\nG0 X2\nG1 Z-1\nX3\n",
       {{false, {{1, 1, 5}}}, {true, {{2, 1, -1}, {3, 1, -1}}}},
       "part.nc: line 2: G53 moves to a machine position: it is not cut and the figure ends there",
       ""},
      {"G30 with an intermediate point",
       "G0 X0 Y0 Z5\nG30 Z20\nG0 Z5\n",
       {{false, {{0, 0, 5}, {0, 0, 20}}}, {false, {{0, 0, 5}}}},
       "part.nc: line 2: G30 moves to a machine position",
       ""},
      {"block delete reads the line",
       "G0 X1 Y2\n/G1 X3\n",
       {{false, {{1, 2, 0}}}, {true, {{1, 2, 0}, {3, 2, 0}}}},
       "part.nc: line 2: lines marked for block delete (/) are read as with the switch off",
       ""},
      {"program stops",
       "G0 X1 Y2\nM0\nM1\n",
       {{false, {{1, 2, 0}}}},
       "part.nc: line 2: program stops (M0, M1) are not made: the job runs through (2 times)",
       ""},
      {"unknown M codes",
       "G0 X1 Y2\nM62 P1\nM62 P2\n",
       {{false, {{1, 2, 0}}}},
       "part.nc: line 2: M62 is not carried out (2 times)",
       ""},
      {"an unclosed comment",
       "G0 X1 Y2 (no end Y7\n",
       {{false, {{1, 2, 0}}}},
       "part.nc: line 1: a comment without its closing \")\" runs to the end of the line",
       ""},
      {"a move before any motion mode",
       "X5 Y5\nG1 X10\n",
       {{false, {{5, 5, 0}}}, {true, {{5, 5, 0}, {10, 5, 0}}}},
       "part.nc: line 1: moves without a motion mode (G0 to G3) are not drawn",
       ""},
      {"cuts with the spindle stopped",
       "G0 X1 Y2\nM5\nG1 X3\n",
       {{false, {{1, 2, 0}}}, {true, {{1, 2, 0}, {3, 2, 0}}}},
       "part.nc: line 3: cuts after M5 (spindle stopped) are read as cuts",
       ""},
  };
  for (const Case& c : cases) check(c);
}

TEST_F(GcodeConstructs, RefusedWithTheLineAndTheWord) {
  const Case cases[] = {
      {"parameters", "G0 X0\n#1=5\n", {}, "", "line 2: parameters (#) are not read, found \"#1=5\""},
      {"a parameter as a value", "G0 X#1\n", {}, "", "line 1: parameters (#) are not read, found \"X#1\""},
      {"expressions", "G0 X0\nG1 X[1+2]\n", {}, "", "line 2: expressions in brackets are not read, found \"X[1+2]\""},
      {"O words",
       "G0 X0\nO100 sub\n",
       {},
       "",
       "line 2: subprograms and program flow (O words) are not read, found \"O100 sub\""},
      {"a program number with words",
       "O1 G0 X0\n",
       {},
       "",
       "line 1: subprograms and program flow (O words) are not read, found \"O1 G0 X0\""},
      {"M98", "G0 X0\nM98 P100\n", {}, "", "line 2: subprogram calls (M98, M99) are not read, found \"M98\""},
      {"M99", "M99\n", {}, "", "line 1: subprogram calls (M98, M99) are not read, found \"M99\""},
      {"arcs in G18",
       "G0 X10 Y0\nG18\nG2 X0 Z10 I-10 K0\n",
       {},
       "",
       "line 3: arcs outside the XY plane (G18, G19) are not read, found \"G2\""},
      {"arcs in G19",
       "G19 G0 X0\nG3 Y10 Z0 J5 K0\n",
       {},
       "",
       "line 2: arcs outside the XY plane (G18, G19) are not read, found \"G3\""},
      {"G41", "G41 D1\n", {}, "", "line 1: cutter radius compensation (G41, G42) is not read, found \"G41\""},
      {"G42", "G0 X0\nG42\n", {}, "", "line 2: cutter radius compensation (G41, G42) is not read, found \"G42\""},
      {"G92", "G92 X0 Y0\n", {}, "", "line 1: offsets set by the program (G10, G52, G92) are not read, found \"G92\""},
      {"G52", "G52 X5\n", {}, "", "line 1: offsets set by the program (G10, G52, G92) are not read, found \"G52\""},
      {"G10",
       "G10 L2 P1 X0\n",
       {},
       "",
       "line 1: offsets set by the program (G10, G52, G92) are not read, found \"G10\""},
      {"G55", "G0 X0\nG55\n", {}, "", "line 2: work offsets other than G54 (G55 to G59) are not read, found \"G55\""},
      {"G59.1", "G59.1\n", {}, "", "line 1: work offsets other than G54 (G55 to G59) are not read, found \"G59.1\""},
      {"G93", "G93 G1 X1 F2\n", {}, "", "line 1: feeds other than per minute (G93, G95) are not read, found \"G93\""},
      {"G95", "G95\n", {}, "", "line 1: feeds other than per minute (G93, G95) are not read, found \"G95\""},
      {"other G codes", "G0 X0\nG84 X1 Y1 Z-2 R1\n", {}, "", "line 2: this G code is not read, found \"G84\""},
      {"extra axes", "G0 X0 A90\n", {}, "", "line 1: axes other than X, Y and Z are not read, found \"A\""},
      {"a cut after G28 to where an axis is unknown",
       "G0 X0 Y0 Z5\nG28\nG1 X5\n",
       {},
       "",
       "line 3: a cut ends at a position left unknown by a move to a machine position (G28, G30, G53), found \"G1 X5\""},
      {"I and J without an arc",
       "G1 X5 I2\n",
       {},
       "",
       "line 1: I and J give an arc's centre; this line has no arc, found \"G1 X5 I2\""},
      {"R without an arc", "G1 X5 R2\n", {}, "", "line 1: R belongs to an arc or a drilling cycle, found \"G1 X5 R2\""},
      {"an arc without a centre",
       "G1 X5\nG2 X0 Y5\n",
       {},
       "",
       "line 2: an arc needs its centre (I, J) or its radius (R), found \"G2 X0 Y5\""},
      {"R arc ending where it starts",
       "G1 X5\nG2 X5 R3\n",
       {},
       "",
       "line 2: an arc given by R must not end where it starts, found \"G2 X5 R3\""},
      {"R arc too short",
       "G1 X0\nG2 X10 R4.9\n",
       {},
       "",
       "line 2: the arc's radius R is shorter than half the distance between its ends, found \"G2 X10 R4.9\""},
      // Relative I/J read as absolute: the centre (-10, 0) is 20 from the
      // start and 14.142 from the end.
      {"I/J of the other convention",
       "G1 X10 Y0\nG2 X0 Y10 I-10 J0\n",
       {},
       "",
       "line 2: the arc ends 5.858 mm off its circle (are I and J absolute or relative to the arc's start?), found "
       "\"G2 X0 Y10 I-10 J0\"",
       true},
      {"absolute centre with J left out",
       "G90.1\nG1 X10 Y0\nG2 X0 Y10 I0\n",
       {},
       "",
       "line 3: an arc with an absolute centre (G90.1) needs both I and J, found \"G2 X0 Y10 I0\""},
      {"drilling without R",
       "G0 X0 Y0 Z5\nG81 X1 Y1 Z-1\n",
       {},
       "",
       "line 2: a drilling cycle needs its depth Z and its retract plane R, found \"G81 X1 Y1 Z-1\""},
      {"G83 without Q",
       "G0 X0 Y0 Z5\nG83 X1 Y1 Z-1 R1\n",
       {},
       "",
       "line 2: G83 needs a peck depth Q above 0, found \"G83 X1 Y1 Z-1 R1\""},
      {"drilling without X or Y",
       "G0 X0 Y0 Z5\nG81 Z-1 R1\n",
       {},
       "",
       "line 2: a drilling cycle without X or Y: controls differ on whether it drills, found \"G81 Z-1 R1\""},
      {"drilling depth above R",
       "G0 X0 Y0 Z5\nG81 X1 Y1 Z2 R1\n",
       {},
       "",
       "line 2: the drilling depth Z lies above the retract plane R, found \"G81 X1 Y1 Z2 R1\""},
      {"a dwell that moves",
       "G0 X0\nG4 P1 Y5\n",
       {},
       "",
       "line 2: a dwell (G4) on a line that moves, found \"G4 P1 Y5\""},
      {"two motion codes", "G0 G1 X1\n", {}, "", "line 1: two motion codes on one line, found \"G1\""},
      {"a word twice", "G1 X1 X2\n", {}, "", "line 1: a word appears twice on one line, found \"X2\""},
      {"not G-code", "G1 X1\n$H\n", {}, "", "line 2: this is not a G-code word, found \"$H\""},
  };
  for (const Case& c : cases) check(c);
}

// Arcs against the centre, radius and segment count worked out by hand:
// every point on the circle, turning the stated way, from the start to the
// exact end, with Z following the angle on a helix.
TEST_F(GcodeConstructs, ArcsFollowTheCircleWorkedOutByHand) {
  struct ArcCase {
    const char* what;
    std::string program;
    bool absoluteArcs;
    P start, end, centre;
    double radius, sweep;  // sweep signed, radians
    int segments;
  };
  const ArcCase cases[] = {
      // R10 from (10,0) to (0,-10) clockwise: the short way about (0,0).
      {"R arc, short way", "G1 X10 Y0\nG2 X0 Y-10 R10\n", false, {10, 0, 0}, {0, -10, 0}, {0, 0, 0}, 10, -M_PI / 2, 45},
      // Negative R: the long way, centre (10,-10).
      {"R arc, long way",
       "G1 X10 Y0\nG2 X0 Y-10 R-10\n",
       false,
       {10, 0, 0},
       {0, -10, 0},
       {10, -10, 0},
       10,
       -1.5 * M_PI,
       135},
      {"R arc counterclockwise",
       "G1 X10 Y0\nG3 X0 Y10 R10\n",
       false,
       {10, 0, 0},
       {0, 10, 0},
       {0, 0, 0},
       10,
       M_PI / 2,
       45},
      // Half a circle by R: the centre is the chord's middle.
      {"R arc, half circle", "G1 X0 Y0\nG3 X10 Y0 R5\n", false, {0, 0, 0}, {10, 0, 0}, {5, 0, 0}, 5, M_PI, 90},
      // The program's G90.1 overrides the relative setting.
      {"G90.1 in the program",
       "G90.1\nG1 X10 Y0\nG3 X0 Y10 I0 J0\n",
       false,
       {10, 0, 0},
       {0, 10, 0},
       {0, 0, 0},
       10,
       M_PI / 2,
       45},
      // And G91.1 the absolute one.
      {"G91.1 in the program",
       "G91.1\nG1 X10 Y0\nG3 X0 Y10 I-10 J0\n",
       true,
       {10, 0, 0},
       {0, 10, 0},
       {0, 0, 0},
       10,
       M_PI / 2,
       45},
      // Incremental end point, relative centre.
      {"G91 arc", "G1 X10 Y0\nG91 G3 X-10 Y10 I-10 J0\n", false, {10, 0, 0}, {0, 10, 0}, {0, 0, 0}, 10, M_PI / 2, 45},
      // A helix: a full turn at radius 5 falling 2 mm.
      {"helix", "G1 X5 Y0 Z0\nG2 X5 Y0 Z-2 I-5 J0\n", false, {5, 0, 0}, {5, 0, -2}, {0, 0, 0}, 5, -2 * M_PI, 180},
      // Centre and end rounded to 3 decimals: 0.0014 off, inside 0.002.
      {"rounded end within tolerance",
       "G1 X1 Y0\nG3 X0.001 Y1.0014 I-1 J0\n",
       false,
       {1, 0, 0},
       {0.001, 1.0014, 0},
       {0, 0, 0},
       1.0007,
       M_PI / 2 - 0.001,
       16},
      // Radius 100, end 0.09 off: inside 0.1 % of the radius.
      {"large radius within 0.1 %",
       "G1 X100 Y0\nG3 X0 Y100.09 I-100 J0\n",
       false,
       {100, 0, 0},
       {0, 100.09, 0},
       {0, 0, 0},
       100.045,
       M_PI / 2,
       45},
  };
  for (const ArcCase& c : cases) {
    SCOPED_TRACE(c.what);
    const tFigureFile file = read(c.program, c.absoluteArcs);
    ASSERT_TRUE(file.ok()) << file.errorText("part.nc");
    ASSERT_EQ(file.figures.size(), 1u);
    const std::vector<trpoint3d>& sp = file.figures[0]->sp;
    ASSERT_EQ(static_cast<int>(sp.size()), c.segments + 1);
    EXPECT_NEAR(sp.front().x, c.start.x * 100, 1e-9);
    EXPECT_NEAR(sp.front().y, c.start.y * 100, 1e-9);
    EXPECT_NEAR(sp.back().x, c.end.x * 100, 1e-9);
    EXPECT_NEAR(sp.back().y, c.end.y * 100, 1e-9);
    EXPECT_NEAR(sp.back().z, c.end.z * 100, 1e-9);
    const double a0 = std::atan2(c.start.y - c.centre.y, c.start.x - c.centre.x);
    for (int k = 1; k < c.segments; ++k) {
      const double angle = a0 + c.sweep * k / c.segments;
      EXPECT_NEAR(sp[k].x, (c.centre.x + c.radius * std::cos(angle)) * 100, 2e-3) << k;
      EXPECT_NEAR(sp[k].y, (c.centre.y + c.radius * std::sin(angle)) * 100, 2e-3) << k;
      EXPECT_NEAR(sp[k].z, (c.start.z + (c.end.z - c.start.z) * k / c.segments) * 100, 1e-9) << k;
    }
  }
  // The same arc 0.0021 mm off at radius 1 is refused; 0.11 mm off at 100.
  for (const char* program : {"G1 X1 Y0\nG3 X0 Y1.0021 I-1 J0\n", "G1 X100 Y0\nG3 X0 Y100.11 I-100 J0\n"}) {
    const tFigureFile file = read(program, false);
    EXPECT_FALSE(file.ok()) << program;
    EXPECT_NE(file.errorText("part.nc").find("line 2: the arc ends"), std::string::npos) << file.errorText("part.nc");
  }
  // In inches the limit is 0.0002 inch (0.00508 mm) when that is more than
  // 0.1 % of the radius (here 0.0001 inch).
  EXPECT_TRUE(read("G20\nG1 X0.1 Y0\nG3 X0 Y0.10015 I-0.1 J0\n", false).ok());
  EXPECT_FALSE(read("G20\nG1 X0.1 Y0\nG3 X0 Y0.10025 I-0.1 J0\n", false).ok());
}

}  // namespace
}  // namespace trazvik::import
