// The tool trace: merging of straight pieces, and the SVG and PNG pictures.
#include "trace_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace trazvik::sim {
namespace {

ToolTrace squareWithTravel() {
  ToolTrace t;
  t.add({{0, 0, 0}, {10, 10, 0}, false, TraceSource::job, 0});
  // One straight cut arriving in two pieces becomes one segment.
  t.add({{10, 10, 0}, {20, 10, 0}, true, TraceSource::job, 0});
  t.add({{20, 10, 0}, {30, 10, 0}, true, TraceSource::job, 0});
  t.add({{30, 10, 0}, {30, 40, 0}, true, TraceSource::job, 0});
  return t;
}

TEST(SimTrace, MergesStraightPiecesAndMeasuresCutsAndTravel) {
  const ToolTrace t = squareWithTravel();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_DOUBLE_EQ(t.segments()[1].to.x, 30);
  EXPECT_DOUBLE_EQ(t.pathLength(true), 50);
  EXPECT_NEAR(t.pathLength(false), std::hypot(10, 10), 1e-12);
  const TraceBounds b = t.bounds(true);
  EXPECT_DOUBLE_EQ(b.min.x, 10);
  EXPECT_DOUBLE_EQ(b.max.y, 40);
  // A turn back along the same line is a new segment, not an extension.
  ToolTrace back;
  back.add({{0, 0, 0}, {10, 0, 0}, true, TraceSource::job, 0});
  back.add({{10, 0, 0}, {5, 0, 0}, true, TraceSource::job, 0});
  EXPECT_EQ(back.size(), 2u);
  EXPECT_DOUBLE_EQ(back.pathLength(true), 15);
  // Standing still adds nothing, except the tool working in one place (a
  // laser's dot) after it did not work.
  ToolTrace dot;
  dot.add({{0, 0, 0}, {10, 0, 0}, false, TraceSource::job, 0});
  dot.add({{10, 0, 0}, {10, 0, 0}, false, TraceSource::job, 0});
  EXPECT_EQ(dot.size(), 1u);
  dot.add({{10, 0, 0}, {10, 0, 0}, true, TraceSource::job, 0});
  dot.add({{10, 0, 0}, {10, 0, 0}, true, TraceSource::job, 0});
  ASSERT_EQ(dot.size(), 2u);
  EXPECT_TRUE(dot.segments()[1].toolOn);
  EXPECT_DOUBLE_EQ(dot.pathLength(true), 0);
}

TEST(SimTrace, SvgDrawsCutsAndTravelSeenFromAbove) {
  const std::string svg = traceToSvg(squareWithTravel());
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("scale(1,-1)"), std::string::npos) << "Y grows upward";
  EXPECT_NE(svg.find("x1=\"10.000\" y1=\"10.000\" x2=\"30.000\" y2=\"10.000\" class=\"cut\""), std::string::npos);
  EXPECT_NE(svg.find("class=\"travel\""), std::string::npos);
  std::size_t lines = 0;
  for (std::size_t at = svg.find("<line"); at != std::string::npos; at = svg.find("<line", at + 1)) ++lines;
  EXPECT_EQ(lines, 3u);
}

TEST(SimTrace, SpindleOnAtTheTravelHeightIsDrawnAsTravel) {
  ToolTrace t;
  t.add({{0, 0, 5}, {10, 0, 5}, true, TraceSource::job, 0});     // travel, spindle running
  t.add({{10, 0, 5}, {10, 0, -2}, true, TraceSource::job, 0});   // plunge
  t.add({{10, 0, -2}, {20, 0, -2}, true, TraceSource::job, 0});  // cut
  t.add({{20, 0, -2}, {20, 0, 5}, true, TraceSource::job, 0});   // lift
  t.add({{20, 0, 5}, {30, 5, 5}, true, TraceSource::job, 0});    // travel
  const std::string svg = traceToSvg(t);
  EXPECT_NE(svg.find("x1=\"0.000\" y1=\"0.000\" x2=\"10.000\" y2=\"0.000\" class=\"travel\""), std::string::npos)
      << svg;
  EXPECT_NE(svg.find("x1=\"10.000\" y1=\"0.000\" x2=\"20.000\" y2=\"0.000\" class=\"cut\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("x1=\"20.000\" y1=\"0.000\" x2=\"30.000\" y2=\"5.000\" class=\"travel\""), std::string::npos)
      << svg;
  EXPECT_NE(svg.find("x2=\"10.000\" y2=\"0.000\" class=\"cut\""), std::string::npos)
      << "the plunge reaches into the material";
}

TEST(SimTrace, WritesPngOrSvgByExtensionAndReportsFailures) {
  const auto dir = std::filesystem::temp_directory_path() / ("trazvik_sim_trace_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::string error;
  ASSERT_TRUE(writeTrace(squareWithTravel(), (dir / "t.png").string(), error)) << error;
  std::ifstream png(dir / "t.png", std::ios::binary);
  char magic[8] = {};
  png.read(magic, 8);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
  ASSERT_TRUE(writeTrace(squareWithTravel(), (dir / "t.SVG").string(), error)) << error;
  EXPECT_GT(std::filesystem::file_size(dir / "t.SVG"), 100u);

  EXPECT_FALSE(writeTrace(squareWithTravel(), (dir / "t.bmp").string(), error));
  EXPECT_NE(error.find(".svg or .png"), std::string::npos);
  EXPECT_FALSE(writeTrace(squareWithTravel(), (dir / "missing" / "t.svg").string(), error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace trazvik::sim
