// DXF export of 3-D paths: the exact text, the number form, the file.
#include "import/dxf_export.h"
#include "import/read_figures.h"

#include "../common/comma_locale.h"
#include "../common/temp_folder.h"
#include "geometry/units.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trazvik::import {
namespace {

TEST(DxfExport, CoordinateTextKeepsSevenDigitsAndFiveDecimals) {
  struct Case {
    double mm;
    const char* text;
  };
  const Case cases[] = {
      {12.5, "12.50000"},
      {0.123456, "0.12346"},
      {1234.56789, "1234.56800"},
      {-2.5, "-2.50000"},
      {0, "0.00000"},
      {-0.000001, "0.00000"},
      {10, "10.00000"},
      {99.999999, "100.00000"},
      {123456.789, "123456.80000"},
      {-9999999.4, "-9999999.00000"},
      {0.000005, "0.00001"},
  };
  for (const Case& c : cases) EXPECT_EQ(dxfCoordinateText(c.mm), c.text) << c.mm;
  EXPECT_EQ(dxfCoordinateText(123456789.0), "1.234568E+08");

  // The desktop program runs in the operator's locale: a DXF has a decimal point whatever it is.
  testing::CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "pl_PL.UTF-8 is not installed (scripts/setup installs it)";
  for (const Case& c : cases) EXPECT_EQ(dxfCoordinateText(c.mm), c.text) << c.mm << " in a decimal-comma locale";
  EXPECT_EQ(dxfCoordinateText(123456789.0), "1.234568E+08");
}

TEST(DxfExport, SkeletonAndOnePolylinePerFigureWithAPath) {
  std::vector<tfigura> figs(3);
  EXPECT_EQ(dxfExportText(figs, kFileTypeGcode),
            "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
  figs[1].sp = {{1000, -250, 0}};
  figs[2].sp = {{40, 80, -20}, {40, 80, -20}};
  EXPECT_EQ(dxfExportText(figs, kFileTypeGcode),
            "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"
            "  0\r\nPOLYLINE\r\n  70\r\n8\r\n"
            "  0\r\nVERTEX\r\n  10\r\n10.00000\r\n  20\r\n-2.50000\r\n  30\r\n0.00000\r\n"
            "  0\r\nSEQEND\r\n"
            "  0\r\nPOLYLINE\r\n  70\r\n8\r\n"
            "  0\r\nVERTEX\r\n  10\r\n0.40000\r\n  20\r\n0.80000\r\n  30\r\n-0.20000\r\n"
            "  0\r\nVERTEX\r\n  10\r\n0.40000\r\n  20\r\n0.80000\r\n  30\r\n-0.20000\r\n"
            "  0\r\nSEQEND\r\n"
            "  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
  // Plot-file units are 40 per millimetre.
  figs = std::vector<tfigura>(1);
  figs[0].sp = {{400, 20, 0}};
  EXPECT_NE(dxfExportText(figs, kFileTypeHpgl).find("10.00000\r\n  20\r\n0.50000"), std::string::npos);
}

TEST(DxfExport, WrittenFileReplacesAnOldOneAndReadsBack) {
  trazvik::testing::TempFolder folder;
  const std::string path = (folder / "out.dxf").string();
  trazvik::testing::writeFile(path, std::string(100000, 'x'));
  std::vector<tfigura> figs(1);
  figs[0].sp = {{0, 0, 0}, {1000, 0, -100}, {1000, 500, -100}};
  ASSERT_EQ(ZapiszDXF(path, figs, kFileTypeGcode), 0);
  EXPECT_EQ(trazvik::testing::readFile(path), dxfExportText(figs, kFileTypeGcode));
  // The exported 3-D polyline is a drawing the reader takes back.
  const tFigureFile back = readFigureFile(path, kFileTypeDxf);
  ASSERT_TRUE(back.ok()) << back.errorText(path);
  ASSERT_EQ(back.figures.size(), 1u);
  EXPECT_EQ(back.figures[0]->p, (std::vector<trealpoint>{{0, 0}, {1000, 0}, {1000, 500}}));
  EXPECT_NE(ZapiszDXF((folder / "no-such-folder" / "x.dxf").string(), figs, kFileTypeGcode), 0);
}

}  // namespace
}  // namespace trazvik::import
