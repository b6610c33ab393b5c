// The figure index beside a job: every written figure block once, in job
// order, with byte marks that fall on command boundaries at the places they
// name; the file goes with its job and is refused for any other.
#include "job_writer_fixture.h"

#include "job/resume_point.h"

#include "../common/comma_locale.h"

#include <filesystem>
#include <fstream>

namespace trazvik::test {
namespace {

namespace fs = std::filesystem;

class FigureIndexTest : public JobWriterTest {
 protected:
  const tMachineState router_ = jobMachineFor("YFB 32", 7, 20);

  // Three 10 mm squares 20 mm apart, 3 mm deep; the middle one is not cut.
  void threeSquares() {
    for (int i = 0; i < 3; ++i) addSquare(-3, i * 800.0, 0);
    project_->fig[1]->tocut = false;
  }

  tJobTrack trackOf(const tJobResult& r) {
    const tCommandSet set = commandSetOf(router_.model, router_.link);
    return tJobTrack::of(std::span(bytes_.data(), bytes_.size()), r.index, set, router_.model.commandLengths);
  }
};

TEST_F(FigureIndexTest, BlocksMarkTheFiguresInJobOrder) {
  threeSquares();
  const tJobResult r = write(router_);
  ASSERT_TRUE(r.ok) << r.error;
  const tJobIndex& index = r.index;
  ASSERT_EQ(index.blocks.size(), 2u);
  EXPECT_EQ(index.blocks[0].figure, 0);
  EXPECT_EQ(index.blocks[1].figure, 2);
  EXPECT_EQ(index.machineType, "YFB 32");
  const tJobTrack track = trackOf(r);
  const double safe = jobSettingsOf(konfig_).safe();
  EXPECT_DOUBLE_EQ(index.startZ, safe);
  for (const tFigureBlock& b : index.blocks) {
    SCOPED_TRACE(b.figure);
    EXPECT_LT(b.start, b.cut);
    EXPECT_LT(b.cut, b.done);
    EXPECT_LT(b.done, b.end);
    EXPECT_LE(b.end, bytes_.size());
    const double x0 = b.figure * 20.0;
    // Every mark is a command boundary: above the figure's first point
    // when the way down begins, at its last point in the material when
    // the cutting has run.
    const auto above = track.at(b.cut);
    ASSERT_TRUE(above.has_value());
    EXPECT_NEAR(above->x, x0, 1e-6);
    EXPECT_NEAR(above->y, 0, 1e-6);
    EXPECT_NEAR(above->z, safe, 1e-6);
    const auto cut = track.at(b.done);
    ASSERT_TRUE(cut.has_value());
    EXPECT_NEAR(cut->x, x0, 1e-6);
    EXPECT_NEAR(cut->z, -3, 1e-6);
    ASSERT_TRUE(track.at(b.start).has_value());
    ASSERT_TRUE(track.at(b.end).has_value());
  }
  EXPECT_LE(index.blocks[0].end, index.blocks[1].start);
}

// A multi-layer job taken up inside a layer pass leaves the earlier passes
// out and writes the later ones whole, also their figures before `first`.
TEST_F(FigureIndexTest, MultiLayerJobTakenUpInsideALayer) {
  konfig_.set("ProjektType", 1);
  project_->otwarto_jako_wielowarstwowy = true;
  project_->warstwy = std::make_unique<tWarstwy>();
  addSquare(-3, 0, 0, 1);
  addSquare(-3, 800, 0, 2);
  addSquare(-3, 1600, 0, 1);
  addSquare(-3, 2400, 0, 2);
  for (int c : {1, 2}) {
    tWarstwa& w = project_->warstwy->layer[static_cast<std::size_t>(c)];
    w.org_color = c;
    w.wystepuje = w.aktywna = true;
    w.glowica = 1;
    w.kolejnosc = c;
    w.szybkosc = 600;
    w.glebokosc = 3;
    w.obroty = 12000;
    w.iloscFigAktywnych = 2;
  }
  project_->warstwy->EnableSorting();
  const tJobResult whole = write(router_);
  ASSERT_TRUE(whole.ok) << whole.error;
  std::vector<std::pair<int, int>> order;
  for (const tFigureBlock& b : whole.index.blocks) order.emplace_back(b.layer, b.figure);
  ASSERT_EQ(order, (std::vector<std::pair<int, int>>{{1, 0}, {1, 2}, {2, 1}, {2, 3}}));

  tJobRequest resume;
  resume.first = 2;
  resume.fromLayer = 1;
  const tJobResult taken = write(router_, resume);
  ASSERT_TRUE(taken.ok) << taken.error;
  order.clear();
  for (const tFigureBlock& b : taken.index.blocks) order.emplace_back(b.layer, b.figure);
  EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{1, 2}, {2, 1}, {2, 3}}));

  resume.first = 3;
  resume.fromLayer = 2;
  const tJobResult last = write(router_, resume);
  ASSERT_TRUE(last.ok) << last.error;
  order.clear();
  for (const tFigureBlock& b : last.index.blocks) order.emplace_back(b.layer, b.figure);
  EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{2, 3}}));
}

class FigureIndexFileTest : public FigureIndexTest {
 protected:
  void SetUp() override {
    FigureIndexTest::SetUp();
    dir_ = fs::path(::testing::TempDir()) / "trazvik_figure_index";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(FigureIndexFileTest, IndexGoesWithItsJobOnly) {
  threeSquares();
  const fs::path job = dir_ / "out.cnx";
  const tJobResult r = writeJob(*project_, konfig_, router_, job, {});
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_TRUE(fs::exists(dir_ / "out.cnx.idx"));
  std::string error;
  const auto read = readJobIndexOf(job, error);
  ASSERT_TRUE(read.has_value()) << error;
  EXPECT_EQ(jobIndexText(*read), jobIndexText(r.index));

  // Another job in its place: the index no longer describes it.
  std::ofstream(job, std::ios::binary | std::ios::app) << "x";
  EXPECT_FALSE(readJobIndexOf(job, error).has_value());
  EXPECT_NE(error.find("belongs to another job"), std::string::npos) << error;

  // A job that cannot be written leaves no index either.
  const fs::path nowhere = dir_ / "missing" / "out.cnx";
  EXPECT_FALSE(writeJob(*project_, konfig_, router_, nowhere, {}).ok);
  EXPECT_FALSE(fs::exists(dir_ / "missing" / "out.cnx.idx"));
}

TEST(FigureIndexText, UnreadableLinesAreRefusedWithTheirPlace) {
  tJobIndex index;
  index.jobHash = "0123456789abcdef-100";
  index.projectFile = "/work/a b.plt";
  index.blocks = {{0, -1, 10, 20, 30, 40}, {2, -1, 40, 50, 60, 70}};
  std::string error;
  const auto back = parseJobIndex(jobIndexText(index), "idx", error);
  ASSERT_TRUE(back.has_value()) << error;
  EXPECT_EQ(back->projectFile, "/work/a b.plt");
  EXPECT_EQ(jobIndexText(*back), jobIndexText(index));

  const struct {
    std::string text;
    std::string where;
  } bad[] = {
      {"something else\n", "idx, line 1"},
      {"trazvik job index 1\njob h\nfigure 1 layer -1 start 5 cut 4 done 6 end 7\n", "idx, line 3"},
      {"trazvik job index 1\njob h\nfigure 1 layer -1 start 0 cut 1 done 2 end 9\n"
       "figure 2 layer -1 start 8 cut 9 done 9 end 10\n",
       "idx, line 4"},
      {"trazvik job index 1\nhead 7\n", "idx, line 2"},
      {"trazvik job index 1\nproject x\n", "no job fingerprint"},
  };
  for (const auto& b : bad) {
    SCOPED_TRACE(b.text);
    EXPECT_FALSE(parseJobIndex(b.text, "idx", error).has_value());
    EXPECT_NE(error.find(b.where), std::string::npos) << error;
  }
}

// The desktop program runs in the operator's locale, the CLI in "C": each
// takes up the other's interrupted job.
TEST(FigureIndexText, ReadsBackWhatAProgramInACommaLocaleWrote) {
  tJobIndex index;
  index.jobHash = "0123456789abcdef-100";
  index.originX = 12.5;
  index.originY = -3.25;
  index.startZ = 0.125;
  std::string text;
  {
    testing::CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "pl_PL.UTF-8 is not installed (scripts/setup installs it)";
    text = jobIndexText(index);
  }
  std::string error;
  const auto back = parseJobIndex(text, "idx", error);
  ASSERT_TRUE(back.has_value()) << error << "\n" << text;
  EXPECT_DOUBLE_EQ(back->originX, 12.5);
  EXPECT_DOUBLE_EQ(back->originY, -3.25);
  EXPECT_DOUBLE_EQ(back->startZ, 0.125);
}

}  // namespace
}  // namespace trazvik::test
