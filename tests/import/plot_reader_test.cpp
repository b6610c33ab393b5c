#include "import/read_figures.h"
#include "import/thpgl.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace trazvik::import {
namespace {

using Points = std::vector<trealpoint>;

struct Expected {
  std::int32_t color;
  Points points;
  double width = 0;
};

tFigureFile readPlot(const std::string& content, double mnoznikZ = 1) {
  trazvik::testing::TempFolder folder;
  const auto path = folder / "drawing.plt";
  trazvik::testing::writeFile(path, content);
  tReaderSettings settings;
  settings.mnoznikZ = mnoznikZ;
  return readFigureFile(path.string(), kFileTypeHpgl, settings);
}

std::string describe(const tFigureFile& file) {
  std::string out;
  for (const auto& fig : file.figures) {
    const tfigura& f = *fig;
    out += "[pen " + std::to_string(f.org_color) + ":";
    for (const trealpoint& p : f.p) out += " (" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    out += "]";
  }
  return out;
}

TEST(PlotReader, InstructionsBecomeFigures) {
  struct Case {
    const char* what;
    const char* input;
    std::vector<Expected> figures;
    double mnoznikZ = 1;
  };
  const Case cases[] = {
      {"one figure", "IN;SP1;PU100,100;PD200,100,200,200;PU;", {{1, {{100, 100}, {200, 100}, {200, 200}}}}},
      {"pen change while down splits",
       "SP1;PU0,0;PD10,0;SP2;PD20,0;PU;",
       {{1, {{0, 0}, {10, 0}}}, {2, {{10, 0}, {20, 0}}}}},
      {"pen down on the spot", "PU0,0;PD0,0;PU;", {{0, {{0, 0}}}}},
      {"pen width times mnoznikZ", "PW0.5,3;SP3;PU0,0;PD10,0;PU;", {{3, {{0, 0}, {10, 0}}, 1.0}}, 2},
      {"PW without pen goes to the current pen", "SP2;PW0.7;PU0,0;PD5,5;PU;", {{2, {{0, 0}, {5, 5}}, 0.7}}},
      {"PW of another pen leaves this one", "SP2;PW0.7,4;PU0,0;PD5,5;PU;", {{2, {{0, 0}, {5, 5}}, 0}}},
      {"PW without parameters keeps widths", "SP2;PW0.7;PW;PU0,0;PD5,5;PU;", {{2, {{0, 0}, {5, 5}}, 0.7}}},
      {"PR without pair, relative PD", "PU100,100;PR;PD10,0,0,10;PU;", {{0, {{100, 100}, {110, 100}, {110, 110}}}}},
      {"lower case", "pu0,0;pd10,10;", {{0, {{0, 0}, {10, 10}}}}},
      {"no terminator at the end", "PU0,0;PD10,0", {{0, {{0, 0}, {10, 0}}}}},
      {"blanks as separators", "PU 0 0 PD 100 0 PU", {{0, {{0, 0}, {100, 0}}}}},
      {"no separators at all", "SP1PU0,0PD10,10PU", {{1, {{0, 0}, {10, 10}}}}},
      {"pairs repeat the instruction", "PU0,0;PD1,1,2,2,3,3;PU;", {{0, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}}}},
      {"repeated points are kept once", "PU0,0;PD10,10,10,10,20,20;PU;", {{0, {{0, 0}, {10, 10}, {20, 20}}}}},
      {"odd parameter left over", "PU0,0;PD10,0,20;PU;", {{0, {{0, 0}, {10, 0}}}}},
      {"signs", "PU-10,+20;PD-30,-40;PU;", {{0, {{-10, 20}, {-30, -40}}}}},
      {"reals rounded to plotter units", "PU0.6,-0.4;PD10.25,3849.99,.5,+2.5;PU;", {{0, {{1, 0}, {10, 3850}, {0, 2}}}}},
      {"a lone point is no number", "PU0,0;PD.;PD5,5;PU;", {{0, {{0, 0}, {5, 5}}}}},
      {"PA while down draws", "PU0,0;PD;PA10,0,10,10;PU;", {{0, {{0, 0}, {10, 0}, {10, 10}}}}},
      {"SP without number is pen 0", "SP3;SP;PU0,0;PD1,1;PU;", {{0, {{0, 0}, {1, 1}}}}},
      {"pen change while up", "SP1;PU0,0;SP2;PD5,5;PU;", {{2, {{0, 0}, {5, 5}}}}},
      {"highest pen", "SP1024;PU0,0;PD1,1;PU;", {{1024, {{0, 0}, {1, 1}}}}},
      {"pen number rounds", "SP1.4;PU0,0;PD1,1;PU;", {{1, {{0, 0}, {1, 1}}}}},
      {"one-letter draw and move", "M10,10;C20,10;C20,20;M0,0;", {{0, {{10, 10}, {20, 10}, {20, 20}}}}},
      {"garbage between instructions", "PU0,0;\x01\xff\x7f PD 10 , 10 ;#PU;", {{0, {{0, 0}, {10, 10}}}}},
      {"no pen down, no figure", "IN;SP1;PU10,10;PA20,20;PU;", {}},
      {"last instruction after a split is kept",
       "SP1;PU0,0;PD10,0;SP2;PD20,0",
       {{1, {{0, 0}, {10, 0}}}, {2, {{10, 0}, {20, 0}}}}},
      // Plotter rules for relative plotting and non-move instructions.
      {"PR pair moves from the current position", "PA100,100;PR10,10;PD5,0;PU;", {{0, {{110, 110}, {115, 110}}}}},
      {"PR while down draws",
       "PU0,0;PD;PR100,0,0,100,-100,0,0,-100;PU;",
       {{0, {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}}}},
      {"PU keeps relative plotting",
       "PR;PU10,10;PD5,0;PU5,5;PD0,5;PU;",
       {{0, {{10, 10}, {15, 10}}}, {0, {{20, 15}, {20, 20}}}}},
      {"repeated PR does not add the base twice",
       "PU100,0;PR;PD10,0;PR;PD10,0;PU;",
       {{0, {{100, 0}, {110, 0}, {120, 0}}}}},
      {"PA returns to absolute plotting", "PR;PU10,10;PA50,50;PD60,50;PU;", {{0, {{50, 50}, {60, 50}}}}},
      {"parameters of other instructions are no positions",
       "IN;IP0,0,1000,1000;SC;SP1;PD500,500;PU;",
       {{1, {{0, 0}, {500, 500}}}}},
  };
  for (const Case& c : cases) {
    const tFigureFile file = readPlot(c.input, c.mnoznikZ);
    ASSERT_TRUE(file.ok()) << c.what << ": " << file.errorText("drawing.plt");
    ASSERT_EQ(file.figures.size(), c.figures.size()) << c.what << ": " << describe(file);
    for (std::size_t i = 0; i < c.figures.size(); ++i) {
      EXPECT_EQ(file.figures[i]->org_color, c.figures[i].color) << c.what << " #" << i;
      EXPECT_EQ(file.figures[i]->p, c.figures[i].points) << c.what << " #" << i << ": " << describe(file);
      EXPECT_DOUBLE_EQ(file.figures[i]->width, c.figures[i].width) << c.what << " #" << i;
    }
  }
}

TEST(PlotReader, FiguresAreFinished) {
  const tFigureFile file = readPlot("SP1;PU0,0;PD40,0,40,40,0,40,0,0;PU;SP2;PU0,0;PD0,0;PU;PU80,0;PD81,0,90,0,90,1;");
  ASSERT_TRUE(file.ok());
  ASSERT_EQ(file.figures.size(), 3u);
  const tfigura& square = *file.figures[0];
  EXPECT_TRUE(square.valid);
  EXPECT_FALSE(square.otwarta);
  EXPECT_EQ(square.fig_pk, (trealpoint{40, 40}));
  EXPECT_EQ(square.center, (trealpoint{20, 20}));
  const tfigura& dot = *file.figures[1];
  EXPECT_FALSE(dot.valid);  // one point: the project drops it
  EXPECT_TRUE(dot.otwarta);
  EXPECT_TRUE(file.figures[2]->otwarta);
  // (80,0)-(81,0) is below the plot accuracy of 2; the last segment is not counted.
  EXPECT_EQ(file.shortSegments, 1);
}

TEST(PlotReader, BadNumbersAndPensFailTheWholeFile) {
  struct Case {
    const char* input;
    tReadErrorKind kind;
    std::uint64_t offset;
    std::string token;
  };
  const Case cases[] = {
      {"PU0,0;PD10,99999999999;", tReadErrorKind::Refused, 8, "PD"},
      {"PU0,0;PR2147483647,0;PR1,0;", tReadErrorKind::Refused, 23, "PR"},
      {"PU0,0;\nPD1-2,0;", tReadErrorKind::BadNumber, 9, "1-2"},
      {"SP1025;", tReadErrorKind::PenOutOfRange, 0, "SP1025"},
      {"PU0,0;SP-1;", tReadErrorKind::PenOutOfRange, 6, "SP-1"},
      {"SP1024.6;", tReadErrorKind::PenOutOfRange, 0, "SP1024.6"},
      {"PW0.3,2000;", tReadErrorKind::PenOutOfRange, 0, "PW0.3,2000"},
      {"SP1;PW0.3,-1;", tReadErrorKind::PenOutOfRange, 4, "PW0.3,-1"},
  };
  for (const Case& c : cases) {
    // A good figure first: nothing of the file may survive the error.
    const std::string input = std::string("SP1;PU0,0;PD5,5;PU;") + c.input;
    const tFigureFile file = readPlot(input);
    ASSERT_FALSE(file.ok()) << c.input;
    EXPECT_TRUE(file.figures.empty()) << c.input;
    EXPECT_EQ(file.error.kind, c.kind) << c.input;
    EXPECT_EQ(file.error.offset, c.offset + 19) << c.input;
    EXPECT_EQ(file.error.token, c.token) << c.input;
    const std::string text = file.errorText("ignored");
    EXPECT_NE(text.find("drawing.plt: byte " + std::to_string(c.offset + 19)), std::string::npos) << text;
    EXPECT_NE(text.find("\"" + c.token + "\""), std::string::npos) << text;
  }
}

TEST(PlotReader, OpenReportsTheSystemsErrorCode) {
  trazvik::testing::TempFolder folder;
  Thpgl reader;
  EXPECT_EQ(reader.open((folder / "missing.plt").string(), kFileTypeHpgl, false), ENOENT);
  EXPECT_TRUE(reader.EndOfFile);
  EXPECT_EQ(reader.open(folder.path().string(), kFileTypeHpgl, false), EISDIR);

  const tFigureFile missing = readFigureFile((folder / "missing.plt").string(), kFileTypeHpgl);
  EXPECT_EQ(missing.openError, ENOENT);
  EXPECT_NE(missing.errorText("x/missing.plt").find("x/missing.plt: the file cannot be opened"), std::string::npos);
}

TEST(PlotReader, EndOfFileComesWithTheLastFigure) {
  trazvik::testing::TempFolder folder;
  trazvik::testing::writeFile(folder / "a.plt", "SP1;PU0,0;PD10,0;PU;\r\n");
  trazvik::testing::writeFile(folder / "empty.plt", "");
  Thpgl reader;
  ASSERT_EQ(reader.open((folder / "empty.plt").string(), kFileTypeHpgl, false), 0);
  EXPECT_TRUE(reader.EndOfFile);

  ASSERT_EQ(reader.open((folder / "a.plt").string(), kFileTypeHpgl, false), 0);
  EXPECT_FALSE(reader.EndOfFile);
  tfigura fig;
  reader.get_figura(fig);
  EXPECT_EQ(fig.p.size(), 2u);
  EXPECT_TRUE(reader.EndOfFile);  // no empty figure after the last one
  EXPECT_FALSE(reader.failed());
  reader.close();
}

}  // namespace
}  // namespace trazvik::import
