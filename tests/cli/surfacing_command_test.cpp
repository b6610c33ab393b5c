// trazvik-cli surfacing: the program it writes is read back by the G-code
// reader and cut on trazvik-sim over TCP; wrong fields write nothing.
#include "run_cli.h"
#include "sim_process.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>

namespace trazvik {
namespace {

using trazvik::sim::test::SimProcess;
using trazvik::testing::runCli;
using trazvik::testing::TempFolder;

struct IsolatedFolder : TempFolder {
  IsolatedFolder() { ::setenv("XDG_RUNTIME_DIR", path().c_str(), 1); }
};

constexpr double kMaxX = 25, kMaxY = 12.5, kSpacing = 10, kDepth = 1.25;

std::string surfacing(const std::string& path, const std::string& fields) {
  return "surfacing -o '" + path + "' " + fields;
}

const std::string kFields = "--max-x 25 --max-y 12.5 --spacing 10 --depth 1.25 --feed 1800 --spindle 16000";

// The X of every pass along Y at depth `z`, with the Y span the passes at
// that X reach: lines (x1, y1, x2, y2, z) in millimetres.
struct Line {
  double x1, y1, x2, y2, z;
};

std::map<double, std::pair<double, double>> passesAt(const std::vector<Line>& lines, double z) {
  std::map<double, std::pair<double, double>> passes;
  for (const Line& l : lines) {
    if (std::fabs(l.z - z) > 0.01 || std::fabs(l.x1 - l.x2) > 0.01 || std::fabs(l.y1 - l.y2) < 0.01) continue;
    const double x = std::round(l.x1 * 100) / 100;
    auto [it, fresh] = passes.try_emplace(x, std::min(l.y1, l.y2), std::max(l.y1, l.y2));
    if (!fresh)
      it->second = {std::min(it->second.first, std::min(l.y1, l.y2)),
                    std::max(it->second.second, std::max(l.y1, l.y2))};
  }
  return passes;
}

// The passes cover the rectangle: from X 0 to Max X, no gap wider than the
// spacing, each across the whole length in Y.
void expectCovered(const std::map<double, std::pair<double, double>>& passes, double x0, double y0) {
  ASSERT_FALSE(passes.empty());
  EXPECT_NEAR(passes.begin()->first, x0, 0.01);
  EXPECT_NEAR(passes.rbegin()->first, x0 + kMaxX, 0.01);
  double previous = passes.begin()->first;
  for (const auto& [x, span] : passes) {
    EXPECT_LE(x - previous, kSpacing + 0.01) << x;
    EXPECT_NEAR(span.first, y0, 0.01) << x;
    EXPECT_NEAR(span.second, y0 + kMaxY, 0.01) << x;
    previous = x;
  }
}

TEST(SurfacingCommand, ProgramIsReadBackByTheProjectsGcodeReader) {
  TempFolder folder;
  const std::string path = (folder / "planowanieStolu.nc").string();
  const auto written = runCli(surfacing(path, kFields), true);
  ASSERT_EQ(written.exitCode, 0) << written.output;

  const auto opened = runCli("open '" + path + "' --json --data-dir '" + folder.text() + "data'");
  ASSERT_EQ(opened.exitCode, 0) << opened.output;
  EXPECT_NE(opened.output.find("\"feed\":1800"), std::string::npos) << opened.output;
  EXPECT_NE(opened.output.find("\"spindle\":16000"), std::string::npos) << opened.output;
  // The toolpaths in file units (100 per mm) as polylines of x, y, z.
  std::vector<Line> lines;
  const std::string number = "(-?[0-9.eE+-]+)";
  const std::regex list("\"toolpath\": ?\\[(.*?)\\]\\]");
  const std::regex point("\\[" + number + ", ?" + number + ", ?" + number + "\\]");
  for (auto it = std::sregex_iterator(opened.output.begin(), opened.output.end(), list); it != std::sregex_iterator();
       ++it) {
    const std::string body = (*it)[1].str() + "]";
    std::vector<std::array<double, 3>> pts;
    for (auto p = std::sregex_iterator(body.begin(), body.end(), point); p != std::sregex_iterator(); ++p)
      pts.push_back({std::stod((*p)[1].str()) / 100, std::stod((*p)[2].str()) / 100, std::stod((*p)[3].str()) / 100});
    for (std::size_t i = 1; i < pts.size(); ++i)
      if (pts[i][2] == pts[i - 1][2]) lines.push_back({pts[i - 1][0], pts[i - 1][1], pts[i][0], pts[i][1], pts[i][2]});
  }
  expectCovered(passesAt(lines, -kDepth), 0, 0);
}

TEST(SurfacingCommand, ProgramIsCutOnTheSimulatorAndEndsAtTheStart) {
  IsolatedFolder folder;
  const std::string path = (folder / "planowanieStolu.nc").string();
  ASSERT_EQ(runCli(surfacing(path, kFields)).exitCode, 0);
  SimProcess sim;
  const std::string trace = folder.text() + "trace.svg";
  ASSERT_TRUE(sim.start({"--type", "YFB 32", "--time-scale", "40", "--trace", trace})) << sim.output();
  const std::string machine =
      "tcp:127.0.0.1:" + std::to_string(sim.commandPort()) + ":" + std::to_string(sim.identityPort());
  const auto run = runCli("cut '" + path + "' --machine " + machine + " --work-zero 20,20,60 --data-dir '" +
                              folder.text() + "data' --max-time 120",
                          true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ASSERT_EQ(sim.stop(), 0) << sim.output();

  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(trace.c_str()));
  std::vector<Line> cuts;
  Line last{};
  for (const pugi::xml_node l : doc.child("svg").child("g").children("line")) {
    last = {l.attribute("x1").as_double(), l.attribute("y1").as_double(), l.attribute("x2").as_double(),
            l.attribute("y2").as_double(), l.attribute("data-z2").as_double()};
    if (std::string(l.attribute("class").value()) == "cut")
      cuts.push_back({last.x1, last.y1, last.x2, last.y2, l.attribute("data-z1").as_double()});
  }
  // The work zero is 60 mm below the machine's top; the program's Z counts
  // from it.
  expectCovered(passesAt(cuts, -60 - kDepth), 20, 20);
  // The last block: back over the work zero, 5 mm above it.
  EXPECT_NEAR(last.x2, 20, 0.01);
  EXPECT_NEAR(last.y2, 20, 0.01);
  EXPECT_NEAR(last.z, -60 + 5, 0.01);
}

TEST(SurfacingCommand, WrongFieldsAreRefusedWithTheGeneratorsBoxAndWriteNothing) {
  TempFolder folder;
  const std::string path = (folder / "planowanieStolu.nc").string();
  for (const char* fields :
       {"--max-x 0 --max-y 10 --spacing 5 --depth 1", "--max-x 20 --max-y 10 --spacing 5 --depth 0",
        "--max-x 20 --max-y 10 --spacing -5 --depth 1", "--max-x 20 --max-y 10 --spacing 5 --depth 1 --feed 0"}) {
    const auto run = runCli(surfacing(path, fields), true);
    EXPECT_EQ(run.exitCode, 2) << fields;
    EXPECT_NE(run.output.find("Generator planowania stołu"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Błędne dane wejściowe"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(path)) << fields;
  }
  const std::string unwritable = (folder / "no such folder" / "planowanieStolu.nc").string();
  const auto run = runCli(surfacing(unwritable, kFields), true);
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find(unwritable), std::string::npos) << run.output;
  EXPECT_FALSE(std::filesystem::exists(folder / "no such folder"));
}

}  // namespace
}  // namespace trazvik
