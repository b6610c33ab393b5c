// Which reader a design file goes to: by its extension, else by its content.
#include "import/file_type.h"

#include "geometry/units.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace trazvik::import {
namespace {

TEST(DesignFileType, FromTheExtensionInAnyCase) {
  const std::pair<const char*, int> cases[] = {
      {"a.plt", kFileTypeHpgl},
      {"a.PLT", kFileTypeHpgl},
      {"a.hpgl", kFileTypeHpgl},
      {"a.Hpg", kFileTypeHpgl},
      {"a.hgl", kFileTypeHpgl},
      {"a.HP", kFileTypeHpgl},
      {"b.dxf", kFileTypeDxf},
      {"b.DXF", kFileTypeDxf},
      {"c.Nc", kFileTypeGcode},
      {"c.ngc", kFileTypeGcode},
      {"c.GCODE", kFileTypeGcode},
      {"c.gc", kFileTypeGcode},
      {"c.tap", kFileTypeGcode},
      {"c.CNC", kFileTypeGcode},
      {"d.bmp", kFileTypeBitmap},
      {"d.BMP", kFileTypeBitmap},
      {"e.txt", 0},
      {"noext", 0},
      {"dir.dxf/f", 0},
      {"plt", 0},
      {"/x/.plt", 0},
      {"a.plt.bak", 0},
      {"a.hpglx", 0},
  };
  for (const auto& [path, type] : cases) EXPECT_EQ(fileTypeFromExtension(path), type) << path;
}

TEST(DesignFileType, FromTheContent) {
  const std::string esc = "\x1b";
  const std::pair<std::string, int> cases[] = {
      // plot files as drivers write them
      {"IN;SP1;PU0,0;PD100,0,100,100;PU;", kFileTypeHpgl},
      {"in;sp1;pu0,0;pd100,0;", kFileTypeHpgl},
      {"IN\nSP1\nPU 0 0\nPD 100 0\n", kFileTypeHpgl},
      {esc + "%-12345X@PJL ENTER LANGUAGE=HPGL2\r\n" + esc + "E" + esc + "%1BIN;PD3849.99,-2.5;", kFileTypeHpgl},
      {esc + ".(;" + esc + ".I81;;17:IN;SP1;PA0,0;", kFileTypeHpgl},
      {"IN;LBHello, world: 12 x 3\x03;PU0,0;PD10,0;", kFileTypeHpgl},
      {"IN;DT*;LBlabel text*;PU;", kFileTypeHpgl},
      {"IN;PE<=_p4Cm;PU;", kFileTypeHpgl},
      {"\xEF\xBB\xBFIN;PU0,0;", kFileTypeHpgl},
      // DXF, with a comment before the first section, and binary DXF
      {"  0\nSECTION\n  2\nHEADER\n  0\nENDSEC\n", kFileTypeDxf},
      {"999\ndxfrw 0.6\r\n  0\r\nSECTION\r\n", kFileTypeDxf},
      {std::string("AutoCAD Binary DXF\r\n\x1a\0", 22), kFileTypeDxf},
      // G-code, upper and lower case, with comments, numbers and %
      {"%\nO1000\nN10 G21 G90\nN20 G0 X0 Y0 (start)\nG1 X10.5 Y-2 F300 ; cut\n%\n", kFileTypeGcode},
      {"g0 x0 y0\ng1 x10 y0\n", kFileTypeGcode},
      {"(only a comment)\n/G1 X1\n#1 = 5\nG1 X#1\n", kFileTypeGcode},
      {"G0X0Y0\nG2X10Y0I5J0\nM30\n", kFileTypeGcode},
      // none of them
      {"", 0},
      {"   \n\n", 0},
      {"hello world\n", 0},
      {"IN the beginning was the word\n", 0},
      {"123 456\n", 0},
      {"  0\nLINE\n", 0},
      {"T1\nS1000\n", 0},  // words, but nothing moves
      {std::string("\x00\x01\x02\xff garbage", 12), 0},
      {"PU0,0;PD10,10;XX;", 0},
      {"[Section]\nkey=1\n", 0},
  };
  for (const auto& [content, type] : cases) EXPECT_EQ(fileTypeFromContent(content, true), type) << content;
}

TEST(DesignFileType, AHeadCutFromALongerFileIsJudgedOnWhatItHolds) {
  // The last line or instruction may stop half way.
  EXPECT_EQ(fileTypeFromContent("G0 X0 Y0\nG1 X10 Y0\nG1 X1", false), kFileTypeGcode);
  EXPECT_EQ(fileTypeFromContent("G0 X0 Y0\nG1 X10 Y0\nG1 X1", true), kFileTypeGcode);
  EXPECT_EQ(fileTypeFromContent("IN;PU0,0;PD10,0;P", false), kFileTypeHpgl);
  EXPECT_EQ(fileTypeFromContent("IN;PU0,0;PD10,0;P", true), 0);
}

TEST(DesignFileType, OfAFile) {
  trazvik::testing::TempFolder folder;
  trazvik::testing::writeFile(folder / "plot.txt", "IN;SP1;PU0,0;PD100,0;PU;");
  trazvik::testing::writeFile(folder / "notes.txt", "Buy milk.\n");
  trazvik::testing::writeFile(folder / "empty.nc", "");
  trazvik::testing::writeFile(folder / "program", "G0 X0 Y0\nG1 X1 Y1\n");

  tDesignFileType t = designFileType((folder / "plot.txt").string());
  EXPECT_EQ(t.fileType, kFileTypeHpgl);
  EXPECT_TRUE(t.fromContent);
  EXPECT_TRUE(t.problem.empty());

  t = designFileType((folder / "program").string());
  EXPECT_EQ(t.fileType, kFileTypeGcode);

  // the extension decides without reading (the reader reports an empty file)
  t = designFileType((folder / "empty.nc").string());
  EXPECT_EQ(t.fileType, kFileTypeGcode);
  EXPECT_FALSE(t.fromContent);

  const std::string notes = (folder / "notes.txt").string();
  t = designFileType(notes);
  EXPECT_EQ(t.fileType, 0);
  EXPECT_EQ(t.problem.rfind(notes + ": \".txt\" is not an extension of a design file", 0), 0u) << t.problem;

  const std::string missing = (folder / "missing.xyz").string();
  t = designFileType(missing);
  EXPECT_EQ(t.fileType, 0);
  EXPECT_EQ(t.problem.rfind(missing + ": the file cannot be read", 0), 0u) << t.problem;
}

TEST(DesignFileType, DialogPatternsNameEveryKnownExtension) {
  EXPECT_EQ(extensionPatterns({kFileTypeHpgl}), "*.plt;*.hpgl;*.hpg;*.hgl;*.hp");
  EXPECT_EQ(extensionPatterns({kFileTypeGcode}), "*.nc;*.ngc;*.gcode;*.gc;*.tap;*.cnc");
  EXPECT_EQ(extensionPatterns({kFileTypeDxf, kFileTypeBitmap}), "*.dxf;*.bmp");
}

}  // namespace
}  // namespace trazvik::import
