// The table surfacing program: its blocks for areas that are and are not
// whole multiples of the spacing, its number form under any locale, and the
// fields that are refused without writing anything.
#include "prepare/table_surfacing.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <locale>

namespace trazvik {
namespace {

using testing::readFile;
using testing::TempFolder;

tDanePlanowaniaStolu fields(double maxX, double maxY, double spacing, double depth) {
  tDanePlanowaniaStolu d;
  d.sSciezkaPlikuNC = "unused.nc";
  d.Max_X = maxX;
  d.Max_Y = maxY;
  d.odstep_kresek = spacing;
  d.glebokosc_Z = depth;
  return d;
}

struct ProgramCase {
  const char* name;
  tDanePlanowaniaStolu fields;
  std::vector<std::string> blocks;
};

class SurfacingProgram : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(SurfacingProgram, IsWrittenBlockByBlock) {
  const ProgramCase& c = GetParam();
  EXPECT_EQ(programPlanowaniaStolu(c.fields), c.blocks);
}

const std::vector<std::string> kHeader{"N5 G90 G21", "N10 S18000 F2000", "N15 G00 X0 Y0 Z5", "N20 X0 Y0"};

std::vector<std::string> withHeader(const std::string& depth, std::vector<std::string> rest) {
  std::vector<std::string> all = kHeader;
  all.push_back("N25 G01 Z-" + depth);
  all.insert(all.end(), rest.begin(), rest.end());
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Areas, SurfacingProgram,
    ::testing::Values(
        // Width a whole multiple of the spacing.
        ProgramCase{"exact", fields(20, 10, 10, 0.5),
                    withHeader("0.50", {"N30 Y10.00", "N35 X10.00", "N40 Y0.00", "N45 X20.00", "N50 Y10.00", "N55 Z5",
                                        "N60 G00 X0 Y0"})},
        // The last pass on the edge, closer than the spacing.
        ProgramCase{"not exact", fields(25, 12.5, 10, 1.25),
                    withHeader("1.25", {"N30 Y12.50", "N35 X10.00", "N40 Y0.00", "N45 X20.00", "N50 Y12.50",
                                        "N55 X25.00", "N60 Y0.00", "N65 Z5", "N70 G00 X0 Y0"})},
        // One pass, the move to the edge, one pass back.
        ProgramCase{"spacing wider than the area", fields(5, 10, 8, 0.3),
                    withHeader("0.30", {"N30 Y10.00", "N35 X5.00", "N40 Y0.00", "N45 Z5", "N50 G00 X0 Y0"})},
        // Passes a tenth of a millimetre apart.
        ProgramCase{"fine spacing", fields(0.3, 2, 0.1, 0.1),
                    withHeader("0.10", {"N30 Y2.00", "N35 X0.10", "N40 Y0.00", "N45 X0.20", "N50 Y2.00", "N55 X0.30",
                                        "N60 Y0.00", "N65 Z5", "N70 G00 X0 Y0"})}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

// Added up pass by pass, ten spacings of 0.1 fall a hair short of 1 and
// the edge would be milled twice.
TEST(SurfacingProgram, NoPassIsRepeatedWhateverTheSpacing) {
  for (double spacing : {0.1, 0.3, 0.7, 1.1, 2.35}) {
    const auto blocks = programPlanowaniaStolu(fields(9.9, 5, spacing, 1));
    std::vector<std::string> xs;
    for (const std::string& b : blocks)
      if (b.find(" X") != std::string::npos && b.find("G00") == std::string::npos) xs.push_back(b.substr(b.find('X')));
    ASSERT_FALSE(xs.empty());
    EXPECT_EQ(xs.back(), "X9.90") << spacing;
    for (std::size_t i = 1; i < xs.size(); ++i) EXPECT_NE(xs[i], xs[i - 1]) << spacing;
  }
}

struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(SurfacingProgram, NumbersKeepThePointUnderACommaLocale) {
  const std::locale before = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  const auto blocks = programPlanowaniaStolu(fields(20.5, 10.25, 10, 0.75));
  std::locale::global(before);
  EXPECT_EQ(blocks[4], "N25 G01 Z-0.75");
  EXPECT_EQ(blocks[5], "N30 Y10.25");
  EXPECT_EQ(liczbaPlanowania(1234.5), "1234.50");
  EXPECT_EQ(liczbaPlanowania(0.005), "0.01");
}

TEST(SurfacingProgram, FeedAndSpindleAreRoundedHalvesToEven) {
  auto d = fields(20, 10, 10, 0.5);
  d.szybkosc_F = 1500.5;
  d.obroty_S = 12001.5;
  EXPECT_EQ(programPlanowaniaStolu(d)[1], "N10 S12002 F1500");
}

TEST(SurfacingFile, IsWrittenWholeAndReplacesAnOldOne) {
  TempFolder folder;
  auto d = fields(20, 10, 10, 0.5);
  d.sSciezkaPlikuNC = (folder / "planowanieStolu.nc").string();
  testing::writeFile(d.sSciezkaPlikuNC, "old program that is much longer than the new one ...\n");
  std::string error;
  ASSERT_TRUE(zapiszPlanowanieStolu(d, error)) << error;
  std::string expected;
  for (const std::string& b : programPlanowaniaStolu(d)) expected += b + "\n";
  EXPECT_EQ(readFile(d.sSciezkaPlikuNC), expected);
}

TEST(SurfacingFile, WrongFieldsWriteNothing) {
  TempFolder folder;
  const std::string path = (folder / "planowanieStolu.nc").string();
  struct Wrong {
    const char* what;
    void (*spoil)(tDanePlanowaniaStolu&);
  };
  const Wrong cases[] = {
      {"empty path", [](tDanePlanowaniaStolu& d) { d.sSciezkaPlikuNC.clear(); }},
      {"zero X", [](tDanePlanowaniaStolu& d) { d.Max_X = 0; }},
      {"negative Y", [](tDanePlanowaniaStolu& d) { d.Max_Y = -5; }},
      {"zero spacing", [](tDanePlanowaniaStolu& d) { d.odstep_kresek = 0; }},
      {"zero depth", [](tDanePlanowaniaStolu& d) { d.glebokosc_Z = 0; }},
      {"zero feed", [](tDanePlanowaniaStolu& d) { d.szybkosc_F = 0; }},
      {"feed that rounds to 0", [](tDanePlanowaniaStolu& d) { d.szybkosc_F = 0.4; }},
      {"zero spindle", [](tDanePlanowaniaStolu& d) { d.obroty_S = 0; }},
      {"spacing not a number", [](tDanePlanowaniaStolu& d) { d.odstep_kresek = std::nan(""); }},
  };
  for (const Wrong& c : cases) {
    auto d = fields(20, 10, 10, 0.5);
    d.sSciezkaPlikuNC = path;
    c.spoil(d);
    EXPECT_FALSE(danePlanowaniaPoprawne(d)) << c.what;
    std::string error;
    EXPECT_FALSE(zapiszPlanowanieStolu(d, error)) << c.what;
    EXPECT_EQ(error, kBledneDanePlanowania) << c.what;
    EXPECT_FALSE(std::filesystem::exists(path)) << c.what;
  }
}

TEST(SurfacingFile, AFolderThatCannotBeWrittenIsToldWithThePath) {
  TempFolder folder;
  auto d = fields(20, 10, 10, 0.5);
  d.sSciezkaPlikuNC = (folder / "missing" / "planowanieStolu.nc").string();
  std::string error;
  EXPECT_FALSE(zapiszPlanowanieStolu(d, error));
  EXPECT_NE(error.find(d.sSciezkaPlikuNC), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

}  // namespace
}  // namespace trazvik
