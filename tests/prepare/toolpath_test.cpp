#include "prepare/toolpath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace trazvik {
namespace {

using prepare::closedToolpath;
using prepare::DescentPlan;
using prepare::openToolpath;

// A 10 mm square in DXF units, closed.
const std::vector<trealpoint> kSquare{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}};

DescentPlan plan(double start, double floor, double pitch) {
  DescentPlan p;
  p.start = start;
  p.floor = floor;
  p.bottom = floor;
  p.pitch = pitch;
  p.tolerance = 0.01;
  return p;
}

TEST(Toolpath, WithoutSpiralTheWholeRoundLiesAtTheBottom) {
  std::vector<trpoint3d> sp;
  const prepare::ToolpathLengths lengths = closedToolpath(kSquare, kSquare, plan(850, 850, 50), sp);
  ASSERT_EQ(sp.size(), 5u);
  EXPECT_EQ(sp.front(), (trpoint3d{0, 0, 850})) << "starts at the path's last point";
  for (std::size_t i = 0; i < sp.size(); ++i) {
    EXPECT_EQ(sp[i].x, kSquare[i].x);
    EXPECT_EQ(sp[i].y, kSquare[i].y);
    EXPECT_EQ(sp[i].z, 850);
  }
  EXPECT_DOUBLE_EQ(lengths.work, 4000);
  EXPECT_EQ(lengths.polish, 0);
}

TEST(Toolpath, SpiralLosesOnePitchPerRoundThenMakesOneRoundAtTheBottom) {
  std::vector<trpoint3d> sp;
  closedToolpath(kSquare, kSquare, plan(1000, 850, 50), sp);
  // Three descending rounds of four corners, one flat round, and the start.
  ASSERT_EQ(sp.size(), 1u + 3 * 4 + 4);
  for (std::size_t i = 0; i < sp.size(); ++i) {
    const double expected = std::max(1000 - 12.5 * static_cast<double>(i), 850.0);
    EXPECT_NEAR(sp[i].z, expected, 1e-9) << "point " << i;
    EXPECT_EQ(sp[i].x, kSquare[i % 4].x);
  }
  EXPECT_EQ(sp.back(), (trpoint3d{0, 0, 850}));
}

TEST(Toolpath, SpiralReachingTheBottomMidRoundGoesRoundOnceFromThere) {
  std::vector<trpoint3d> sp;
  closedToolpath(kSquare, kSquare, plan(1000, 975, 50), sp);  // half a round of descent
  ASSERT_GE(sp.size(), 3u);
  EXPECT_EQ(sp[2].z, 975);
  // From the corner where it reached the bottom, four more corners back to it.
  ASSERT_EQ(sp.size(), 3u + 4);
  EXPECT_EQ(sp.back().x, sp[2].x);
  EXPECT_EQ(sp.back().y, sp[2].y);
}

TEST(Toolpath, PolishingRoundFollowsTheFinalOutlineAtTheBottom) {
  const std::vector<trealpoint> rough{{-30, -30}, {1030, -30}, {1030, 1030}, {-30, 1030}, {-30, -30}};
  DescentPlan p = plan(1000, 900, 50);
  p.bottom = 850;
  p.polish = true;
  std::vector<trpoint3d> sp;
  const prepare::ToolpathLengths lengths = closedToolpath(rough, kSquare, p, sp);
  // The roughing ends at the floor at (-30, -30); the nearest outline point
  // is (0, 0); then one round of the outline at the bottom.
  ASSERT_GE(sp.size(), 6u);
  const std::vector<trpoint3d> tail(sp.end() - 5, sp.end());
  EXPECT_EQ(tail.front(), (trpoint3d{0, 0, 850}));
  for (const trpoint3d& q : tail) EXPECT_EQ(q.z, 850);
  EXPECT_EQ(sp[sp.size() - 6].z, 900) << "roughing stops above the bottom";
  EXPECT_NEAR(lengths.polish, 4000 + std::sqrt(30.0 * 30 * 2 + 50 * 50), 1e-9);
}

TEST(Toolpath, OpenFigureRampsDownAndEndsAtTheBottom) {
  const std::vector<trealpoint> line{{0, 0}, {100, 0}, {200, 0}, {300, 0}, {1000, 0}};
  std::vector<trpoint3d> sp;
  openToolpath(line, plan(1000, 850, 500), sp);  // steep: 500 per length of 1000
  ASSERT_EQ(sp.size(), 5u);
  const std::vector<double> heights{1000, 950, 900, 850, 850};
  for (std::size_t i = 0; i < sp.size(); ++i) EXPECT_DOUBLE_EQ(sp[i].z, heights[i]) << i;
  openToolpath(line, plan(1000, 850, 50), sp);  // a shallow pitch still ends at the bottom
  EXPECT_DOUBLE_EQ(sp.back().z, 850);
  EXPECT_DOUBLE_EQ(sp[1].z, 1000 - 15);
  openToolpath(line, plan(850, 850, 50), sp);
  for (const trpoint3d& q : sp) EXPECT_EQ(q.z, 850);
}

TEST(Toolpath, DegeneratePathsStayBounded) {
  std::vector<trpoint3d> sp;
  closedToolpath({}, {}, plan(1000, 850, 50), sp);
  EXPECT_TRUE(sp.empty());
  const std::vector<trealpoint> point{{5, 5}, {5, 5}, {5, 5}};
  closedToolpath(point, point, plan(1000, 850, 50), sp);
  EXPECT_EQ(sp, (std::vector<trpoint3d>{{5, 5, 1000}, {5, 5, 850}})) << "a plunge";
  openToolpath(std::vector<trealpoint>{{7, 7}, {7, 7}}, plan(1000, 850, 50), sp);
  EXPECT_EQ(sp, (std::vector<trpoint3d>{{7, 7, 1000}, {7, 7, 850}})) << "a drill point";
  closedToolpath(kSquare, kSquare, plan(1000, 850, 0), sp);  // no pitch: down within one round
  EXPECT_EQ(sp.size(), 1u + 4 + 4);
  closedToolpath(kSquare, kSquare, plan(1000, 850, 1e-12), sp);  // absurd pitch: rounds are capped
  EXPECT_LE(sp.size(), static_cast<std::size_t>(prepare::kMaxRounds + 3) * 4);
  EXPECT_EQ(sp.back().z, 850);
  closedToolpath(kSquare, kSquare, plan(1000, 850, std::nan("")), sp);
  EXPECT_EQ(sp.back().z, 850);
}

}  // namespace
}  // namespace trazvik
