// The base points window's model: the entry lines in each display unit,
// the list's selection after adds and deletes, "base.txt" kept whole, and
// the current position taken as the zero on multi-head machines.
#include "control/base_points.h"

#include "config/flt_edit.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace trazvik {
namespace {

using trazvik::testing::readFile;
using trazvik::testing::TempFolder;
using trazvik::testing::writeFile;

TEST(BasePoints, EntryLineAndItsCopyBackInEachUnit) {
  EXPECT_EQ(basePointEntry(120.5, 80, "corner", config::kUnitMm, 3, '.'), "X=  120.500   Y=   80.000 corner");
  // Numbers wider than the pad are written whole.
  EXPECT_EQ(basePointEntry(123456.25, 0, "", config::kUnitMm, 3, ','), "X=123456,250   Y=    0,000 ");

  const std::string inches = basePointEntry(254, 50.8, "vice", config::kUnitInch, 3, '.');
  EXPECT_EQ(inches, "X=   10.000   Y=    2.000 vice");
  const std::optional<tBasePoint> back = readBasePointEntry(inches, config::kUnitInch, '.');
  ASSERT_TRUE(back);
  EXPECT_DOUBLE_EQ(back->xMm, 254);
  EXPECT_DOUBLE_EQ(back->yMm, 50.8);
  EXPECT_EQ(back->remark, "vice");

  // Copied back after the display unit changed, the numbers are read in
  // the unit of now: 10 and 2 millimetres.
  const std::optional<tBasePoint> asMm = readBasePointEntry(inches, config::kUnitMm, '.');
  ASSERT_TRUE(asMm);
  EXPECT_DOUBLE_EQ(asMm->xMm, 10);
  EXPECT_DOUBLE_EQ(asMm->yMm, 2);

  // A remark longer than the field keeps its first 28 characters.
  const std::string longRemark(40, 'r');
  const auto cut = readBasePointEntry(basePointEntry(1, 2, longRemark, config::kUnitMm, 3, '.'), 0, '.');
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->remark, std::string(28, 'r'));
}

TEST(BasePoints, LinesThatAreNoEntryAreNotRead) {
  for (const char* line :
       {"", "my notes", "X=  abc       Y=   80.000 x", "X=  120.500", "X=  1,5        Y=   80.000", "X=  1.0   Y="}) {
    EXPECT_FALSE(readBasePointEntry(line, config::kUnitMm, '.')) << line;
  }
}

TEST(BasePoints, SelectionFollowsAddsAndDeletes) {
  tBasePointList list;
  list.removeCurrent();  // nothing selected: nothing happens
  EXPECT_TRUE(list.entries().empty());
  list.add("a");
  list.add("b");
  list.add("c");
  EXPECT_EQ(list.current(), 2);
  list.select(0);
  list.removeCurrent();
  EXPECT_EQ(list.entries(), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(list.current(), 0);
  list.select(1);
  list.removeCurrent();  // the last one: the new last one is selected
  EXPECT_EQ(list.current(), 0);
  list.removeCurrent();
  EXPECT_TRUE(list.entries().empty());
  EXPECT_EQ(list.current(), -1);
  list.removeCurrent();
  EXPECT_EQ(list.current(), -1);
  list.select(5);
  EXPECT_EQ(list.current(), -1);
}

TEST(BasePoints, FileRoundTripKeepsEveryLineAndADamagedOne) {
  TempFolder folder;
  const auto file = folder / kBasePointsFile;
  tBasePointList list;
  ASSERT_TRUE(list.load(file));  // no file yet: an empty list
  EXPECT_TRUE(list.entries().empty());

  writeFile(file, "X=  120.500   Y=   80.000 corner\r\nbroken line\r\n\r\nX=    1.000   Y=    2.000 \n");
  ASSERT_TRUE(list.load(file));
  const std::vector<std::string> expected{"X=  120.500   Y=   80.000 corner", "broken line", "",
                                          "X=    1.000   Y=    2.000 "};
  EXPECT_EQ(list.entries(), expected);
  EXPECT_EQ(list.current(), -1);

  list.add(basePointEntry(5, 6, "new", config::kUnitMm, 3, '.'));
  ASSERT_TRUE(list.save(file));
  tBasePointList again;
  ASSERT_TRUE(again.load(file));
  ASSERT_EQ(again.entries().size(), 5u);
  EXPECT_EQ(again.entries()[1], "broken line");
  EXPECT_EQ(again.entries()[4], "X=    5.000   Y=    6.000 new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);

  // A folder that cannot take the file: an error, the old file untouched.
  std::string error;
  EXPECT_FALSE(list.save(folder / "missing" / kBasePointsFile, &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;

  // A file far too large to be a list is refused and the list kept.
  writeFile(file, std::string(3u << 20, 'x'));
  EXPECT_FALSE(again.load(file, &error));
  EXPECT_EQ(again.entries().size(), 5u);
}

struct PositionCase {
  const char* name;
  int heads;
  int selected;
  double x, y;
  bool accepted;
  double zeroX, zeroY;
};

TEST(BasePoints, CurrentPositionAsZeroWithHeadOffsets) {
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts{boxes};
  ASSERT_TRUE(texts.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
  const std::array<std::array<double, 2>, 3> offsets{{{0, 0}, {100, 20}, {-30, 0}}};
  const std::array<double, 3> area{600.4, 400.6, 100};
  const PositionCase cases[] = {
      {"one head takes the position as it is", 1, 1, 700, 500, true, 700, 500},
      {"head 2 takes off its offsets", 3, 1, 150, 70, true, 50, 50},
      {"head 3 with a negative offset", 3, 2, 570, 10, true, 600, 10},
      {"head 2 left of its reach", 3, 1, 50, 70, false, 50, 70},
      {"head 1 beyond the area in Y", 2, 0, 10, 401, false, 10, 401},
  };
  for (const PositionCase& c : cases) {
    SCOPED_TRACE(c.name);
    const tPositionAsZero r = positionAsZero(c.x, c.y, c.heads, c.selected, offsets, area, texts, '.');
    EXPECT_EQ(r.accepted, c.accepted);
    EXPECT_DOUBLE_EQ(r.xMm, c.zeroX);
    EXPECT_DOUBLE_EQ(r.yMm, c.zeroY);
    EXPECT_EQ(r.error.empty(), c.accepted);
  }

  const tPositionAsZero r = positionAsZero(50, 70, 3, 1, offsets, area, texts, '.');
  const auto t = [&](const char* key) { return texts.dajTxt("Base_Selection", key); };
  ASSERT_FALSE(t("msgPktZerowyWskazujeGlowica").empty());
  EXPECT_EQ(r.error, t("msgPktZerowyPozaObszarem") + "\n\r\n\r" + t("msgPktZerowyDozwolonyObszar") + " (600;401).\n\r" +
                         t("msgPktZerowyDowolnaGlowica") + "\n\r\n\r" + t("msgPktZerowyWskazujeGlowica") + "2.\n\r" +
                         t("msgPktZerowyBylbyWmiejscu") + " ( -50 ; 50 ).");
}

}  // namespace
}  // namespace trazvik
