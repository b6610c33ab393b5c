// The tool's place in the project and the part cut, as the project view
// draws them while a job runs.
#include "control/cut_track.h"

#include "machine/state_bits.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

tplotstate at(double xMm, double yMm, double zMm, bool toolOn) {
  tplotstate st;
  st.pos0 = {2000, 3000, 6000};  // work zero X 20, Y 30, Z 60 mm
  st.abspos = {2000 + xMm * 100, 3000 + yMm * 100, -6000 + zMm * 100, 0};
  if (toolOn) st.StateExtend = stateBit::mask(stateBit::toolOn);
  return st;
}

TEST(CutTrack, ToolPlaceInFileUnitsAtTheDrawingsScale) {
  // DXF: 100 units a millimetre; the project's corner at 500, 700.
  const trealpoint p = toolInProject(at(10, 4, 0, false), 2, 100, {500, 700});
  EXPECT_DOUBLE_EQ(p.x, 1500);
  EXPECT_DOUBLE_EQ(p.y, 1100);
  // Drawn at 50 %: a millimetre on the machine is two of the drawing.
  const trealpoint half = toolInProject(at(10, 4, 0, false), 1, 50, {0, 0});
  EXPECT_DOUBLE_EQ(half.x, 800);  // plot files: 40 units a millimetre
  EXPECT_DOUBLE_EQ(half.y, 320);
}

TEST(CutTrack, CuttingIsTheToolOnInTheMaterial) {
  const double top = 10;  // the surface 10 mm above the work zero's Z
  EXPECT_TRUE(toolCutting(at(0, 0, 9, true), false, top));
  EXPECT_FALSE(toolCutting(at(0, 0, 11, true), false, top)) << "a spinning tool above the material";
  EXPECT_FALSE(toolCutting(at(0, 0, 9, false), false, top));
  EXPECT_TRUE(toolCutting(at(0, 0, 50, true), true, top)) << "a laser cuts where it is on";
}

TEST(CutTrack, PiecesFollowTheStretchesInTheMaterial) {
  tCutTrack track;
  track.follow({0, 0}, false, 1);
  track.follow({10, 0}, true, 1);    // in: the piece starts where it is seen in
  track.follow({10.5, 0}, true, 1);  // closer than a step: not added
  track.follow({20, 0}, true, 1);
  track.follow({30, 0}, false, 1);  // out: up to where it left
  track.follow({40, 0}, false, 1);
  track.follow({50, 0}, true, 1);
  ASSERT_EQ(track.cut().size(), 2u);
  const std::vector<trealpoint> first{{10, 0}, {20, 0}, {30, 0}};
  ASSERT_EQ(track.cut()[0].size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_DOUBLE_EQ(track.cut()[0][i].x, first[i].x) << i;
  EXPECT_EQ(track.cut()[1].size(), 1u);
  EXPECT_DOUBLE_EQ(track.cut()[1].front().x, 50);
  ASSERT_TRUE(track.tool());
  EXPECT_DOUBLE_EQ(track.tool()->x, 50);
  track.clear();
  EXPECT_TRUE(track.cut().empty());
  EXPECT_FALSE(track.tool());
}

}  // namespace
}  // namespace trazvik
