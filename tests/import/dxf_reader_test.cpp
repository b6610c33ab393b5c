// The DXF side of the reader on small drawings: entities and their rules,
// colours, sections, line ends, errors and hostile input.
#include "import/thpgl.h"

#include "dxf_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace trazvik::import {
namespace {

using testutil::entities;

class DxfReader : public ::testing::Test {
 protected:
  tFigureFile read(const std::string& content, const tReaderSettings& settings = {}) {
    return testutil::readText(folder_, "drawing.dxf", content, settings);
  }
  std::vector<tfigura> figures(const std::string& content) {
    const tFigureFile file = read(content);
    EXPECT_TRUE(file.ok()) << file.errorText("drawing.dxf");
    std::vector<tfigura> out;
    for (const auto& f : file.figures) out.push_back(*f);
    return out;
  }
  trazvik::testing::TempFolder folder_;
};

const char* kLine = "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n10\n 21\n5\n";

TEST_F(DxfReader, LineInFileUnitsWithItsColour) {
  auto figs = figures(entities(kLine));
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].p, (std::vector<trealpoint>{{0, 0}, {1000, 500}}));
  EXPECT_EQ(figs[0].org_color, 0) << "no group 62: colour key 0";
  EXPECT_TRUE(figs[0].valid);
  // Groups in any order, colour after the coordinates, a blank-free code.
  figs = figures(entities("0\nLINE\n11\n-2.5\n21\n4\n10\n1,5\n20\n3\n62\n5\n"));
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].p, (std::vector<trealpoint>{{150, 300}, {-250, 400}}));
  EXPECT_EQ(figs[0].org_color, 5);
}

TEST_F(DxfReader, EveryLineEndAndLeadingBlanks) {
  const std::string lf = entities(kLine);
  std::string crlf, cr;
  for (const char c : lf) {
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    cr += c == '\n' ? '\r' : c;
  }
  for (const auto& [what, text] : {std::pair{"LF", lf}, std::pair{"CR LF", crlf}, std::pair{"CR", cr}}) {
    const tFigureFile file = read(text);
    ASSERT_TRUE(file.ok()) << what << ": " << file.errorText("drawing.dxf");
    ASSERT_EQ(file.figures.size(), 1u) << what;
    EXPECT_EQ(file.figures[0]->p.back(), (trealpoint{1000, 500})) << what;
  }
}

TEST_F(DxfReader, CirclesAndArcs) {
  auto figs =
      figures(entities("  0\nCIRCLE\n 62\n1\n 10\n5\n 20\n5\n 40\n10\n"
                       "  0\nARC\n 10\n0\n 20\n0\n 40\n15\n 50\n350\n 51\n10\n"
                       "  0\nARC\n 10\n20\n 20\n0\n 40\n5\n 50\n0\n 51\n90\n210\n0\n220\n0\n230\n-1\n"));
  ASSERT_EQ(figs.size(), 3u);
  EXPECT_EQ(figs[0].p.size(), 193u) << "radius 10: 192 segments";
  EXPECT_EQ(figs[0].org_color, 1);
  EXPECT_EQ(figs[0].p.front(), figs[0].p.back());
  EXPECT_FALSE(figs[0].otwarta);
  // 350 to 10 degrees: a short arc through angle 0 (x near 15).
  for (const auto& p : figs[1].p) EXPECT_GT(p.x, 1470);
  EXPECT_NEAR(figs[1].p.front().y, 1500 * std::sin(-10 * M_PI / 180), 0.01);
  // Extrusion (0, 0, -1) mirrors the arc in x: centre (-20, 0), from
  // (-25, 0) to (-20, 5).
  EXPECT_NEAR(figs[2].p.front().x, -2500, 0.01);
  EXPECT_NEAR(figs[2].p.back().x, -2000, 0.01);
  EXPECT_NEAR(figs[2].p.back().y, 500, 0.01);
  EXPECT_NEAR(figs[2].fig_pp.x, -2500, 0.01);
}

TEST_F(DxfReader, MirroredCircleAndPolylineKeepTheirPlace) {
  auto figs =
      figures(entities("  0\nCIRCLE\n 10\n40\n 20\n-8\n 40\n2\n230\n-1\n"
                       "  0\nLWPOLYLINE\n 90\n2\n 70\n0\n 10\n3\n 20\n4\n 10\n6\n 20\n4\n230\n-1\n"));
  ASSERT_EQ(figs.size(), 2u);
  EXPECT_NEAR(figs[0].center.x, -4000, 0.01);
  EXPECT_NEAR(figs[0].center.y, -800, 0.01);
  EXPECT_EQ(figs[1].p, (std::vector<trealpoint>{{-300, 400}, {-600, 400}}));
}

TEST_F(DxfReader, LightweightPolylinesClosedWithBulgesAndClassNames) {
  const std::string square =
      "  0\nLWPOLYLINE\n 90\n4\n 70\n1\n 10\n0\n 20\n0\n 10\n10\n 20\n0\n"
      " 10\n10\n 20\n10\n 10\n0\n 20\n10\n";
  auto figs = figures(entities(square));
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].p, (std::vector<trealpoint>{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}}));
  // Bulge 1 on every vertex: four half circles bulging outwards.
  const std::string round =
      "  0\nLWPOLYLINE\n 90\n4\n 70\n1\n 10\n0\n 20\n0\n 42\n1\n 10\n10\n 20\n0\n 42\n1\n"
      " 10\n10\n 20\n10\n 42\n1\n 10\n0\n 20\n10\n 42\n1\n";
  figs = figures(entities(round));
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_NEAR(figs[0].fig_pp.x, -500, 0.01);
  EXPECT_NEAR(figs[0].fig_pp.y, -500, 0.01);
  EXPECT_NEAR(figs[0].fig_pk.x, 1500, 0.01);
  EXPECT_NEAR(figs[0].fig_pk.y, 1500, 0.01);
  EXPECT_EQ(figs[0].p.front(), figs[0].p.back());
  // A bulge on the last vertex of an open polyline draws nothing.
  figs = figures(entities("  0\nLWPOLYLINE\n 70\n0\n 10\n0\n 20\n0\n 10\n10\n 20\n0\n 42\n1\n"));
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].p.size(), 2u);
  // A class table entry of the same name is no entity.
  figs = figures(entities("  0\nLWPOLYLINE\n  2\nAcDbPolyline\n 10\n1\n 20\n1\n 10\n2\n 20\n2\n" + std::string(kLine)));
  EXPECT_EQ(figs.size(), 1u);
}

TEST_F(DxfReader, ClassicPolylinesWithVerticesAndFitting) {
  const std::string vertex = "  0\nVERTEX\n 62\n3\n 10\n%X\n 20\n%Y\n 70\n%F\n";
  auto v = [&](double x, double y, int flags) {
    std::string s = vertex;
    s.replace(s.find("%X"), 2, std::to_string(x));
    s.replace(s.find("%Y"), 2, std::to_string(y));
    s.replace(s.find("%F"), 2, std::to_string(flags));
    return s;
  };
  // The header point is the elevation, not a vertex.
  std::string plain = "  0\nPOLYLINE\n 66\n1\n 10\n0\n 20\n0\n 30\n5\n 70\n0\n" + v(1, 1, 0) + v(4, 1, 0) + v(4, 3, 0) +
                      "  0\nSEQEND\n";
  auto figs = figures(entities(plain + kLine));
  ASSERT_EQ(figs.size(), 2u);
  EXPECT_EQ(figs[0].p, (std::vector<trealpoint>{{100, 100}, {400, 100}, {400, 300}}));
  EXPECT_EQ(figs[0].org_color, 3) << "a vertex colour colours the figure";
  // Spline fit: frame control points (16) are not on the curve; the fitted
  // vertices (8) are, and the curve through them stays near the circle they
  // were taken from.
  std::string fitted = "  0\nPOLYLINE\n 70\n4\n" + v(30, 0, 16) + v(40, 30, 16) + v(-40, 30, 16);
  for (int i = 0; i <= 20; ++i) fitted += v(30 * std::cos(M_PI * i / 20), 30 * std::sin(M_PI * i / 20), 8);
  figs = figures(entities(fitted + "  0\nSEQEND\n"));
  ASSERT_EQ(figs.size(), 1u);
  for (const auto& p : figs[0].p) EXPECT_NEAR(std::hypot(p.x, p.y), 3000, 2) << p.x << " " << p.y;
  EXPECT_GT(figs[0].p.size(), 21u) << "smoothed between the fitted vertices";
  // Curve fit keeps the original vertices (0) and those fitting added (1).
  std::string curve = "  0\nPOLYLINE\n 70\n3\n";
  for (int i = 0; i < 16; ++i) curve += v(20 * std::cos(M_PI * i / 8), 20 * std::sin(M_PI * i / 8), i % 2);
  figs = figures(entities(curve + "  0\nSEQEND\n"));
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].p.front(), figs[0].p.back()) << "closed";
  for (const auto& p : figs[0].p) EXPECT_NEAR(std::hypot(p.x, p.y), 2000, 5);
  // A polyline cut short by another entity still gives its vertices.
  figs = figures(entities("  0\nPOLYLINE\n 70\n0\n" + v(0, 0, 0) + v(1, 0, 0) + kLine));
  ASSERT_EQ(figs.size(), 2u);
  EXPECT_EQ(figs[0].p.size(), 2u);
}

TEST_F(DxfReader, EllipseAndSplineEntities) {
  auto figs =
      figures(entities("  0\nELLIPSE\n 10\n0\n 20\n0\n 11\n30\n 21\n0\n 40\n0.5\n 41\n0\n 42\n6.283185307179586\n"
                       "  0\nSPLINE\n 71\n3\n 72\n8\n 73\n4\n 40\n0\n 40\n0\n 40\n0\n 40\n0\n 40\n1\n 40\n1\n"
                       " 40\n1\n 40\n1\n 10\n0\n 20\n0\n 10\n10\n 20\n30\n 10\n30\n 20\n30\n 10\n40\n 20\n0\n"));
  ASSERT_EQ(figs.size(), 2u);
  EXPECT_EQ(figs[0].p.size(), 193u);
  EXPECT_NEAR(figs[0].fig_pk.x, 3000, 1e-3);
  EXPECT_NEAR(figs[0].fig_pk.y, 1500, 1e-3);
  EXPECT_EQ(figs[1].p.front(), (trealpoint{0, 0}));
  EXPECT_EQ(figs[1].p.back(), (trealpoint{4000, 0}));
  EXPECT_NEAR(figs[1].fig_pk.y, 2250, 0.5) << "the Bezier top is 3/4 of the control height";
}

TEST_F(DxfReader, OnlyTheEntitiesSectionCountsAndNamesNeedCodeZero) {
  const std::string before =
      "  0\nSECTION\n  2\nHEADER\n  9\n$LTSCALE\n 40\n0.000394\n  0\nENDSEC\n"
      "  0\nSECTION\n  2\nCLASSES\n  0\nCLASS\n  1\nLWPOLYLINE\n  2\nAcDbPolyline\n  0\nENDSEC\n"
      "  0\nSECTION\n  2\nTABLES\n  0\nLAYER\n  2\nENTITIES\n  0\nENDSEC\n"
      "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n" +
      std::string(kLine) + "  0\nENDBLK\n  0\nENDSEC\n";
  // A text on layer "LINE" reading "CIRCLE", and an unknown entity.
  const std::string body =
      "  0\nTEXT\n  8\nLINE\n 10\n1\n 20\n1\n 40\n2\n  1\nCIRCLE\n 11\n7\n 21\n7\n"
      "  0\nACAD_PROXY_ENTITY\n 90\n498\n" +
      std::string(kLine);
  auto figs = figures(before + entities(body));
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].p.back(), (trealpoint{1000, 500})) << "the header's $LTSCALE is not applied";
  EXPECT_TRUE(figures(before).empty()) << "no ENTITIES section: no figures";
}

TEST_F(DxfReader, UndrawnEntitiesAreWarnedWithTheirCountAndFirstLine) {
  const std::string header = "  0\nSECTION\n  2\nHEADER\n  9\n$INSUNITS\n 70\n1\n  0\nENDSEC\n";
  const std::string mesh =
      "  0\nPOLYLINE\n 70\n64\n  0\nVERTEX\n 10\n1\n 20\n1\n 70\n192\n"
      "  0\nVERTEX\n 10\n5\n 20\n1\n 70\n192\n  0\nSEQEND\n";
  const std::string body = "  0\nTEXT\n  1\nLINE\n  0\nVIEWPORT\n 10\n0\n  0\nMTEXT\n  1\nx\n" + std::string(kLine) +
                           "  0\nINSERT\n  2\nPART\n  0\nMTEXT\n  1\ny\n  0\nHATCH\n 91\n1\n" + mesh +
                           "  0\n3DFACE\n 10\n0\n";
  // What follows the section is no drawing.
  const std::string content = header + entities(body) + "  0\nSECTION\n  2\nOBJECTS\n  0\nDICTIONARY\n  0\nENDSEC\n";
  const auto lineOf = [&](const std::string& marker) {
    const std::size_t at = content.find(marker);
    EXPECT_NE(at, std::string::npos) << marker;
    return std::to_string(std::count(content.begin(), content.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 2);
  };
  const tFigureFile file = read(content);
  ASSERT_TRUE(file.ok()) << file.errorText("drawing.dxf");
  ASSERT_EQ(file.figures.size(), 1u) << "the line only";
  const std::vector<std::string> expected = {
      "line 8: the drawing's units ($INSUNITS 1) are not millimetres; coordinates are read as millimetres",
      "line " + lineOf("  0\nTEXT") + ": entity TEXT is not drawn",
      "line " + lineOf("  0\nMTEXT") + ": entity MTEXT is not drawn (2 times)",
      "line " + lineOf("  0\nINSERT") + ": block references (INSERT) are not drawn",
      "line " + lineOf("  0\nHATCH") + ": entity HATCH is not drawn",
      "line " + lineOf("  0\nPOLYLINE") + ": 3D meshes (POLYLINE) are not drawn",
      "line " + lineOf("  0\n3DFACE") + ": entity 3DFACE is not drawn",
  };
  ASSERT_EQ(file.warnings.list().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(file.warnings.list()[i].text("drawing.dxf"), "drawing.dxf: " + expected[i]);
  // A drawing of lines alone, in millimetres, warns about nothing.
  EXPECT_TRUE(read(entities(kLine)).warnings.empty());
}

TEST_F(DxfReader, LtscaleAfterTheEntitiesLineReadsInches) {
  const auto figs = figures(entities("  9\n$LTSCALE\n 40\n0.000394\n" + std::string(kLine)));
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_NEAR(figs[0].p.back().x, 1000 / 0.03937, 0.01);
  EXPECT_NEAR(figs[0].p.back().y, 500 / 0.03937, 0.01);
}

TEST_F(DxfReader, BadValuesFailWithTheirLineNumber) {
  struct Case {
    const char* what;
    std::string content;
    const char* expected;
  };
  const Case cases[] = {
      {"text for a number", entities("  0\nLINE\n 10\n0\n 20\nabc\n"),
       "line 10: a number is expected here, found \"abc\""},
      {"NaN text", entities("  0\nCIRCLE\n 10\n0\n 20\n0\n 40\nnan\n"), "line 12: a number is expected"},
      {"infinite", entities("  0\nCIRCLE\n 10\n1e999\n"), "line 8:"},
      {"fraction colour", entities("  0\nLINE\n 62\n1.5\n"), "line 8: a whole number is expected"},
      {"code not a number", entities("  0\nLINE\nX10\n0\n"), "line 7: a group code"},
      {"radius 1e300", entities("  0\nCIRCLE\n 10\n0\n 20\n0\n 40\n1e300\n"),
       "line 6: a point lies farther than 10 km"},
  };
  for (const Case& c : cases) {
    const tFigureFile file = read(c.content);
    EXPECT_FALSE(file.ok()) << c.what;
    EXPECT_TRUE(file.figures.empty()) << c.what;
    const std::string text = file.errorText("drawing.dxf");
    EXPECT_NE(text.find("drawing.dxf"), std::string::npos) << text;
    EXPECT_NE(text.find(c.expected), std::string::npos) << c.what << ": " << text;
  }
}

TEST_F(DxfReader, BinaryDrawingsAreRefused) {
  std::string binary = "AutoCAD Binary DXF\r\n\x1a";
  binary += std::string(1, '\0') + std::string("\0\x02HEADER\0", 9);
  const tFigureFile file = read(binary);
  EXPECT_FALSE(file.ok());
  EXPECT_NE(file.errorText("drawing.dxf").find("binary DXF"), std::string::npos);
}

TEST_F(DxfReader, CutFilesEndTheFigureWithThePointsRead) {
  const std::string full = entities("  0\nLWPOLYLINE\n 10\n0\n 20\n0\n 10\n5\n 20\n0\n 10\n5\n 20\n5\n");
  for (std::size_t cut = 0; cut < full.size(); cut += 3) {
    const tFigureFile file = read(full.substr(0, cut));
    ASSERT_TRUE(file.ok()) << "cut at " << cut << ": " << file.errorText("drawing.dxf");
    ASSERT_LE(file.figures.size(), 1u);
    if (!file.figures.empty()) {
      EXPECT_LE(file.figures[0]->p.size(), 3u);
    }
  }
  const auto figs = figures(full.substr(0, full.find(" 10\n5\n 20\n5")));
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].p, (std::vector<trealpoint>{{0, 0}, {500, 0}}));
}

TEST_F(DxfReader, AMillionKnotsKeepTheCapAndStayQuick) {
  std::string spline = "  0\nSPLINE\n 71\n3\n 72\n1000000\n 73\n6\n";
  spline.reserve(12'000'000);
  for (int i = 0; i < 1000000; ++i) spline += " 40\n" + std::to_string(i < 4 ? 0 : i - 3) + "\n";
  for (int i = 0; i < 6; ++i)
    spline += " 10\n" + std::to_string(i * 10) + "\n 20\n" + std::to_string(i % 2 * 10) + "\n";
  Thpgl reader;
  trazvik::testing::writeFile(folder_ / "knots.dxf", entities(spline));
  ASSERT_EQ(reader.open((folder_ / "knots.dxf").string(), kFileTypeDxf, false), 0);
  tfigura fig;
  reader.get_figura(fig);
  ASSERT_FALSE(reader.failed()) << reader.error().text();
  EXPECT_GT(fig.p.size(), 10u);
  EXPECT_EQ(fig.p.front(), (trealpoint{0, 0}));
  for (const auto& p : fig.p) {
    EXPECT_GE(p.x, 0);
    EXPECT_LE(p.x, 5000);
  }
}

}  // namespace
}  // namespace trazvik::import
