// HPGL export of a project's figures: pens, strokes, rounding, CR LF.
#include "job/hpgl_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace trazvik {
namespace {

tfigura figure(std::int32_t colour, std::vector<trealpoint> p, std::vector<trealpoint> op = {},
               std::vector<trpoint3d> sp = {}) {
  tfigura f;
  f.org_color = colour;
  f.p = std::move(p);
  f.op = std::move(op);
  f.sp = std::move(sp);
  return f;
}

TEST(HpglExport, ListsInOrderWithPensStrokesAndRepeatedOutlinePointsLeftOut) {
  const tfigura a = figure(1, {{0, 0}, {400, 0}, {400, 400}}, {{-8, -8}, {-8, -8}, {408, -8}, {408, -8}},
                           {{-8, -8, 0}, {-8, -8, -100}, {408, -8, -100}});
  const tfigura b = figure(2, {{10, 20}, {30, 40}});
  const tfigura c = figure(2, {{1, 1}, {2, 2}});
  const std::string text = hpglExportText({&a, &b, &c}, false);
  EXPECT_EQ(text,
            "SP 1;\r\nPA 0,0;\r\nPD 400,0;\r\nPD 400,400;\r\nPU;\r\n"
            // op: the repeats after the first and the third point are left out
            "PA -8,-8;\r\nPD 408,-8;\r\nPU;\r\n"
            // sp: only x and y; its repeated xy stays (the z differs)
            "PA -8,-8;\r\nPD -8,-8;\r\nPD 408,-8;\r\nPU;\r\n"
            "SP 2;\r\nPA 10,20;\r\nPD 30,40;\r\nPU;\r\n"
            // same pen: no new pen line
            "PA 1,1;\r\nPD 2,2;\r\nPU;\r\n");
}

TEST(HpglExport, AllInOnePenKeepsThePenOfTheDrawnPointsForOutlineAndPath) {
  // Figure b has no drawn stroke, so its outline would be the first list to
  // name pen 5; with everything in one pen it is drawn with pen 3.
  const tfigura a = figure(3, {{0, 0}, {1, 0}});
  const tfigura b = figure(5, {{7, 7}}, {{0, 0}, {2, 0}}, {{0, 0, 0}, {3, 0, 0}});
  struct Case {
    bool allInOne;
    const char* expected;
  };
  const Case cases[] = {
      {false,
       "SP 3;\r\nPA 0,0;\r\nPD 1,0;\r\nPU;\r\nSP 5;\r\nPA 0,0;\r\nPD 2,0;\r\nPU;\r\nPA 0,0;\r\nPD 3,0;\r\nPU;\r\n"},
      {true, "SP 3;\r\nPA 0,0;\r\nPD 1,0;\r\nPU;\r\nPA 0,0;\r\nPD 2,0;\r\nPU;\r\nPA 0,0;\r\nPD 3,0;\r\nPU;\r\n"},
  };
  for (const Case& k : cases) EXPECT_EQ(hpglExportText({&a, &b}, k.allInOne), k.expected) << k.allInOne;

  // Even with everything in one pen the first stroke names its pen.
  EXPECT_EQ(hpglExportText({&b}, true), "SP 5;\r\nPA 0,0;\r\nPD 2,0;\r\nPU;\r\nPA 0,0;\r\nPD 3,0;\r\nPU;\r\n");
}

TEST(HpglExport, CoordinatesRoundHalvesToEvenAndStayWithinTheIntegerRange) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const tfigura f = figure(0, {{2.5, 3.5}, {-2.5, -3.5}, {0.49, -0.51}, {1e300, -1e300}, {nan, 12.0}});
  EXPECT_EQ(hpglExportText({&f}, false),
            "SP 0;\r\nPA 2,4;\r\nPD -2,-4;\r\nPD 0,-1;\r\nPD 2147483647,-2147483647;\r\nPD 0,12;\r\nPU;\r\n");
}

TEST(HpglExport, ListsOfFewerThanTwoPointsWriteNothingNotEvenAPen) {
  const tfigura empty = figure(4, {{1, 1}}, {{1, 1}}, {{1, 1, 0}});
  std::string out;
  tHpglPen pen;
  appendHpglFigure(out, empty, false, pen);
  EXPECT_EQ(out, "");
  EXPECT_FALSE(pen.written);

  // The pen is carried between calls for one export.
  const tfigura a = figure(4, {{0, 0}, {1, 1}});
  appendHpglFigure(out, a, false, pen);
  appendHpglFigure(out, a, false, pen);
  EXPECT_EQ(out, "SP 4;\r\nPA 0,0;\r\nPD 1,1;\r\nPU;\r\nPA 0,0;\r\nPD 1,1;\r\nPU;\r\n");
  Bytes bytes;
  tHpglPen fresh;
  appendHpglFigure(bytes, a, false, fresh);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "SP 4;\r\nPA 0,0;\r\nPD 1,1;\r\nPU;\r\n");
}

TEST(HpglExport, WritersPenStateStartsAtZeroAndCarriesThePen) {
  const tfigura a = figure(2, {{0, 0}, {1, 1}}, {{0, 0}, {1, 0}});
  const tfigura b = figure(2, {{5, 5}, {6, 6}});
  const tfigura c = figure(3, {{7, 7}, {8, 8}});
  int last_pen = 0;
  Bytes out;
  writeHpglFigure(a, true, last_pen, out);
  writeHpglFigure(b, true, last_pen, out);
  writeHpglFigure(c, true, last_pen, out);
  EXPECT_EQ(last_pen, 3);
  EXPECT_EQ(std::string(out.begin(), out.end()),
            "SP 2;\r\nPA 0,0;\r\nPD 1,1;\r\nPU;\r\nPA 0,0;\r\nPD 1,0;\r\nPU;\r\n"
            "PA 5,5;\r\nPD 6,6;\r\nPU;\r\nSP 3;\r\nPA 7,7;\r\nPD 8,8;\r\nPU;\r\n");
}

}  // namespace
}  // namespace trazvik
