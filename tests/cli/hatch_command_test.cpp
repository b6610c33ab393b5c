// trazvik-cli hatch, and hatched jobs cut on trazvik-sim over TCP: every
// hatch line of the project is cut with the tool on, by a router and by a
// laser.
#include "run_cli.h"
#include "sim_process.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>

namespace trazvik {
namespace {

using trazvik::sim::test::SimProcess;
using trazvik::testing::readFile;
using trazvik::testing::runCli;
using trazvik::testing::TempFolder;

const std::string kLetter = std::string(TRAZVIK_SOURCE_DIR) + "/tests/fixtures/letter_b.dxf";

struct IsolatedFolder : TempFolder {
  IsolatedFolder() { ::setenv("XDG_RUNTIME_DIR", path().c_str(), 1); }
};

struct Line {
  double x1, y1, x2, y2;
};

// The hatch lines of the project's JSON in millimetres from the project's
// lower-left corner (the corner of its drawn figures, where the job's
// coordinates start).
std::vector<Line> hatchLines(const std::string& json) {
  const std::string number = "(-?[0-9.eE+-]+)";
  const std::regex object("\\{\"index\":[^{}]*\\}");
  const std::regex box("\"bbox_mm\":\\[" + number + "," + number);
  const std::regex ends("\"points\":\\[\\[" + number + "," + number + "\\],\\[" + number + "," + number + "\\]\\]");
  double left = 1e300, bottom = 1e300;
  std::vector<Line> lines;
  for (auto it = std::sregex_iterator(json.begin(), json.end(), object); it != std::sregex_iterator(); ++it) {
    const std::string figure = it->str();
    std::smatch m;
    if (figure.find("\"hatch\":true") == std::string::npos) {
      if (std::regex_search(figure, m, box)) {
        left = std::min(left, std::stod(m[1].str()));
        bottom = std::min(bottom, std::stod(m[2].str()));
      }
    } else if (std::regex_search(figure, m, ends)) {
      lines.push_back({std::stod(m[1].str()) / 100, std::stod(m[2].str()) / 100, std::stod(m[3].str()) / 100,
                       std::stod(m[4].str()) / 100});
    }
  }
  for (Line& l : lines) {
    l.x1 -= left;
    l.x2 -= left;
    l.y1 -= bottom;
    l.y2 -= bottom;
  }
  return lines;
}

double distanceToSegment(double px, double py, const Line& s) {
  const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
  const double len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? std::clamp(((px - s.x1) * dx + (py - s.y1) * dy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(s.x1 + t * dx - px, s.y1 + t * dy - py);
}

TEST(HatchCommand, PrintsEveryHatchLineAsAFigureAndDrawsThem) {
  TempFolder folder;
  const std::string svg = (folder / "hatched.svg").string();
  const auto run = runCli(
      "hatch '" + kLetter + "' --spacing 2 --angle 30 --json -o '" + svg + "' --data-dir '" + folder.text() + "data'",
      true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const auto lines = hatchLines(run.output);
  EXPECT_GT(lines.size(), 20u);
  for (const Line& l : lines)
    EXPECT_NEAR(std::atan2(std::fabs(l.y2 - l.y1), std::fabs(l.x2 - l.x1)) * 180 / M_PI, 30, 1e-6);
  // The picture has a stroke for each hatch line besides the contours.
  const std::string picture = readFile(svg);
  std::size_t strokes = 0;
  for (auto at = picture.find("<polyline"); at != std::string::npos; at = picture.find("<polyline", at + 1)) ++strokes;
  for (auto at = picture.find("<line"); at != std::string::npos; at = picture.find("<line", at + 1)) ++strokes;
  EXPECT_GT(strokes, lines.size());

  const auto text = runCli("hatch '" + kLetter + "' --spacing 2 --angle 30 --data-dir '" + folder.text() + "data'");
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.output.find("open,hatch"), std::string::npos) << text.output;

  const auto bad = runCli("hatch '" + kLetter + "' --spacing 0 --angle 30", true);
  EXPECT_NE(bad.exitCode, 0);
  EXPECT_NE(bad.output.find("spacing"), std::string::npos) << bad.output;
}

struct CutCase {
  const char* name;
  const char* machine;
  const char* hatch;
};

class HatchedCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(HatchedCut, EveryHatchLineIsCutWithTheToolOn) {
  const CutCase& c = GetParam();
  IsolatedFolder folder;
  const std::string data = folder.text() + "data";
  const std::string hatchOption = c.hatch;
  // The same hatching as the cut makes: spacing, angle and options.
  std::vector<std::string> parts;
  for (std::size_t at = 0, next; at <= hatchOption.size(); at = next + 1) {
    next = hatchOption.find(',', at);
    if (next == std::string::npos) next = hatchOption.size();
    parts.push_back(hatchOption.substr(at, next - at));
  }
  std::string options = "--spacing " + parts[0] + " --angle " + parts[1];
  for (std::size_t i = 2; i < parts.size(); ++i) options += " --" + parts[i];
  const auto hatched = runCli("hatch '" + kLetter + "' " + options + " --json --data-dir '" + data + "'");
  ASSERT_EQ(hatched.exitCode, 0) << hatched.output;
  const auto lines = hatchLines(hatched.output);
  ASSERT_GT(lines.size(), 10u);

  SimProcess sim;
  const std::string trace = folder.text() + "trace.svg";
  ASSERT_TRUE(sim.start({"--type", c.machine, "--time-scale", "40", "--trace", trace})) << sim.output();
  const std::string machine =
      "tcp:127.0.0.1:" + std::to_string(sim.commandPort()) + ":" + std::to_string(sim.identityPort());
  const auto run = runCli("cut '" + kLetter + "' --hatch " + hatchOption + " --machine " + machine +
                              " --work-zero 20,20,60 --data-dir '" + data + "' --max-time 300",
                          true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ASSERT_EQ(sim.stop(), 0) << sim.output();

  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(trace.c_str()));
  std::vector<Line> cuts;
  for (const pugi::xpath_node& n : doc.select_nodes("//line[@class='cut']")) {
    const pugi::xml_node l = n.node();
    cuts.push_back({l.attribute("x1").as_double(), l.attribute("y1").as_double(), l.attribute("x2").as_double(),
                    l.attribute("y2").as_double()});
  }
  ASSERT_FALSE(cuts.empty());
  for (const Line& l : lines) {
    for (double t : {0.0, 0.25, 0.5, 0.75, 1.0}) {
      const double x = 20 + l.x1 + t * (l.x2 - l.x1), y = 20 + l.y1 + t * (l.y2 - l.y1);
      double nearest = 1e300;
      for (const Line& s : cuts) nearest = std::min(nearest, distanceToSegment(x, y, s));
      ASSERT_LT(nearest, 0.05) << "hatch line point (" << x << ", " << y << ") is not cut";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Machines, HatchedCut,
                         ::testing::Values(CutCase{"router", "YFB 32", "1.5,30,both-ways,contours"},
                                           CutCase{"laser", "WTK32", "1,0"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace trazvik
