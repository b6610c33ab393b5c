// The height-map picture of a surface scan over the simulated table: the
// colour of each probed point, read back on the picture's own scale,
// follows the table's tilt, and the scale spans the lowest and the highest
// height probed.
#include "../link/ops_rig.h"

#include "control/machine_tests.h"
#include "control/scan_picture.h"
#include "link/machine_control_operations.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace trazvik::test {
namespace {

// Where on the picture's scale (0 its bottom, 1 its top) the colour of the
// pixel (column, row) stands: the scale row of the nearest colour.
double onTheScale(const tScanPicture& p, int column, int row) {
  const auto pixel = [&](int x, int y) {
    return &p.rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) + static_cast<std::size_t>(x)) * 3];
  };
  const unsigned char* c = pixel(column, row);
  int best = 0, bestDistance = 1 << 30;
  const int middle = p.scale.left + p.scale.width / 2;
  for (int r = 0; r < p.scale.height; ++r) {
    const unsigned char* s = pixel(middle, p.scale.top + r);
    int d = 0;
    for (int k = 0; k < 3; ++k) d += (c[k] - s[k]) * (c[k] - s[k]);
    if (d < bestDistance) bestDistance = d, best = r;
  }
  return 1 - static_cast<double>(best) / (p.scale.height - 1);
}

TEST(ScanPicture, TheColoursFollowTheTablesTilt) {
  struct Case {
    const char* name;
    sim::TableSurface table;
    bool alongX;  // the table rises along X (else along Y)
  };
  const Case cases[] = {
      {"rising along X", {-90, 0.03, 0, 0}, true},
      {"falling along Y", {-90, 0, -0.02, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SimConfig config;
    config.workArea = {100, 100, 120};
    config.tableSurface = c.table;
    SimRig rig(Transport::tcp, config);
    ASSERT_TRUE(rig.connection->connected());
    tMachineOps& ops = rig.ops();
    ops.st.pos0.z = 9000;  // the table's corner at the shown height 0
    setWorkZeroZ(ops);
    std::ostringstream out;
    const tScanOutcome outcome = surfaceScan(ops, {25, 20, 5}, out, [] { return false; });
    ASSERT_EQ(outcome.result, tServiceTestResult::ended);
    ASSERT_EQ(outcome.points.size(), static_cast<std::size_t>(outcome.probes));
    ASSERT_GE(outcome.probes, 10);

    const tScanPicture p = drawScanPicture(outcome.points);
    ASSERT_GT(p.width, 0);
    const auto [low, high] =
        std::minmax_element(outcome.points.begin(), outcome.points.end(),
                            [](const tScanPoint& a, const tScanPoint& b) { return a.height < b.height; });
    EXPECT_DOUBLE_EQ(p.lowest, low->height);
    EXPECT_DOUBLE_EQ(p.highest, high->height);
    ASSERT_GT(p.highest - p.lowest, 1) << "the tilt shows in the heights";

    // Each point's colour stands on the scale where its height does, and
    // the colours run the way the table rises.
    std::map<double, std::vector<double>> alongTheTilt;  // position along the tilt: places on the scale
    for (const tScanPoint& s : outcome.points) {
      const double place = onTheScale(p, p.columnOf(s.x), p.rowOf(s.y));
      EXPECT_NEAR(place, (s.height - p.lowest) / (p.highest - p.lowest), 0.02) << s.x << " " << s.y;
      alongTheTilt[c.alongX ? s.x : -s.y].push_back(place);
    }
    // Machine X to the right and Y upward: the map's top left corner is
    // the point of the least X and the greatest Y, its bottom right one
    // the point of the greatest X and the least Y.
    const auto heightOf = [&](bool leastX, bool leastY) {
      const auto corner =
          std::min_element(outcome.points.begin(), outcome.points.end(), [&](const tScanPoint& a, const tScanPoint& b) {
            const double ka = (leastX ? a.x : -a.x) * 1000 + (leastY ? a.y : -a.y);
            const double kb = (leastX ? b.x : -b.x) * 1000 + (leastY ? b.y : -b.y);
            return ka < kb;
          });
      return (corner->height - p.lowest) / (p.highest - p.lowest);
    };
    EXPECT_NEAR(onTheScale(p, p.map.left + 2, p.map.top + 2), heightOf(true, false), 0.02);
    EXPECT_NEAR(onTheScale(p, p.map.left + p.map.width - 3, p.map.top + p.map.height - 3), heightOf(false, true), 0.02);

    double before = -1;
    for (const auto& [where, places] : alongTheTilt) {
      const double least = *std::min_element(places.begin(), places.end());
      EXPECT_GT(least, before) << "at " << where;
      before = *std::max_element(places.begin(), places.end());
    }
  }
}

TEST(ScanPicture, ItIsWrittenAsPngAndNoPointsMakeNoPicture) {
  const std::vector<tScanPoint> points{{0, 20, 1.5}, {0, 30, 1.75}, {40, 30, 2.25}, {40, 20, 2}};
  const tScanPicture p = drawScanPicture(points);
  const std::string path = ::testing::TempDir() + "scan_picture_test.png";
  std::string error;
  ASSERT_TRUE(writeScanPicture(p, path, error)) << error;
  std::ifstream in(path, std::ios::binary);
  const std::string head(std::istreambuf_iterator<char>(in), {});
  ASSERT_GT(head.size(), 8u);
  EXPECT_EQ(head.substr(1, 3), "PNG");

  const tScanPicture none = drawScanPicture({});
  EXPECT_TRUE(none.rgb.empty());
  EXPECT_FALSE(writeScanPicture(none, path, error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
}

}  // namespace
}  // namespace trazvik::test
