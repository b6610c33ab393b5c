// trazvik-cli cut against the trazvik-sim program over TCP on 127.0.0.1.
#include "cli_process.h"
#include "run_cli.h"
#include "sim_process.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cmath>
#include <filesystem>
#include <regex>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace trazvik {
namespace {

using namespace std::chrono_literals;
using trazvik::sim::test::SimProcess;
using trazvik::testing::CliProcess;
using trazvik::testing::readFile;
using trazvik::testing::runCli;
using trazvik::testing::TempFolder;

const std::string kStar = std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt";

struct Segment {
  double x1, y1, x2, y2;
};

// The cut segments of a trace picture (machine millimetres).
std::vector<Segment> cutSegments(const std::filesystem::path& svg) {
  pugi::xml_document doc;
  std::vector<Segment> cuts;
  if (!doc.load_file(svg.c_str())) return cuts;
  for (const pugi::xpath_node& n : doc.select_nodes("//line[@class='cut']")) {
    const pugi::xml_node l = n.node();
    cuts.push_back({l.attribute("x1").as_double(), l.attribute("y1").as_double(), l.attribute("x2").as_double(),
                    l.attribute("y2").as_double()});
  }
  return cuts;
}

struct Heights {
  double lowestCut = 1e300;
  std::vector<double> travel;  // Z of level travel moves after the first
};

// Heights of the trace's lines (machine millimetres), from their data-z
// attributes.
Heights heightsOf(const std::filesystem::path& svg) {
  pugi::xml_document doc;
  Heights h;
  if (!doc.load_file(svg.c_str())) return h;
  bool first = true;
  for (const pugi::xml_node l : doc.child("svg").child("g").children("line")) {
    const double z1 = l.attribute("data-z1").as_double(), z2 = l.attribute("data-z2").as_double();
    if (std::string(l.attribute("class").value()) == "cut")
      h.lowestCut = std::min({h.lowestCut, z1, z2});
    else if (z1 == z2 && !first)
      h.travel.push_back(z1);
    first = false;
  }
  return h;
}

double distanceToSegment(double px, double py, const Segment& s) {
  const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((px - s.x1) * dx + (py - s.y1) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(s.x1 + t * dx - px, s.y1 + t * dy - py);
}

double nearestCut(double x, double y, const std::vector<Segment>& cuts) {
  double best = 1e300;
  for (const Segment& s : cuts) best = std::min(best, distanceToSegment(x, y, s));
  return best;
}

// Toolpath points of every figure in millimetres from the project's
// lower-left corner (where the job's coordinates start), as the open
// command reports them.
std::vector<std::pair<double, double>> toolpathPoints(const std::string& file, const std::string& data) {
  const auto run = runCli("open '" + file + "' --json --data-dir '" + data + "'");
  const std::string number = "(-?[0-9.eE+-]+)";
  double left = 1e300, bottom = 1e300;
  const std::regex box("\"bbox_mm\": ?\\[" + number + ", ?" + number);
  for (auto it = std::sregex_iterator(run.output.begin(), run.output.end(), box); it != std::sregex_iterator(); ++it) {
    left = std::min(left, std::stod((*it)[1].str()));
    bottom = std::min(bottom, std::stod((*it)[2].str()));
  }
  std::vector<std::pair<double, double>> points;
  const std::regex list("\"toolpath\": ?\\[(.*?)\\]\\]");
  const std::regex point("\\[" + number + ", ?" + number + ", ?" + number);
  for (auto it = std::sregex_iterator(run.output.begin(), run.output.end(), list); it != std::sregex_iterator(); ++it) {
    const std::string body = (*it)[1].str() + "]";
    for (auto p = std::sregex_iterator(body.begin(), body.end(), point); p != std::sregex_iterator(); ++p)
      points.emplace_back(std::stod((*p)[1].str()) / 40.0 - left, std::stod((*p)[2].str()) / 40.0 - bottom);
  }
  return points;
}

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    files.push_back(it->path());
  std::sort(files.begin(), files.end());
  return files;
}

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Each run takes the single-instance lock in its own folder, so the tests
// never meet another copy of the program working on this computer.
struct IsolatedFolder : TempFolder {
  IsolatedFolder() { ::setenv("XDG_RUNTIME_DIR", path().c_str(), 1); }
};

struct Rig {
  IsolatedFolder folder;
  SimProcess sim;
  std::string data() const { return folder.text() + "data"; }
  std::string trace() const { return folder.text() + "trace.svg"; }
  bool startSim(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--type", "YFB 32", "--time-scale", "40", "--trace", trace()};
    args.insert(args.end(), extra.begin(), extra.end());
    return sim.start(args);
  }
  std::string machine() const {
    return "tcp:127.0.0.1:" + std::to_string(sim.commandPort()) + ":" + std::to_string(sim.identityPort());
  }
  std::string cut(const std::string& file, const std::string& more = "") const {
    return "cut '" + file + "' --machine " + machine() + " --work-zero 20,20,60 --data-dir '" + data() +
           "' --switch JobLogging --switch SaveLogToXML --max-time 120 " + more;
  }
  std::string eventLog() const {
    const auto files = filesIn(data() + "/Logs");
    for (const auto& f : files)
      if (f.extension() == ".txt") return readFile(f);
    return {};
  }
};

TEST(CutCommand, PlotFileIsCutFromStartToEnd) {
  Rig rig;
  ASSERT_TRUE(rig.startSim()) << rig.sim.output();
  const auto run = runCli(rig.cut(kStar), true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Job finished."), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("100.0%"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find('\r'), std::string::npos) << "progress redrawn in a pipe";

  // The event log holds the job with its cutting time; the job log its end.
  const std::string events = rig.eventLog();
  EXPECT_EQ(count(events, "Start cutting."), 1) << events;
  EXPECT_EQ(count(events, "End of cutting."), 1) << events;
  EXPECT_NE(events.find("Project: " + kStar), std::string::npos) << events;
  EXPECT_TRUE(std::regex_search(events, std::regex("End of cutting\\.\r\n +Cutting time: \\d\\d:\\d\\d:\\d\\d")))
      << events;
  const auto jobs = filesIn(rig.data() + "/Jobs");
  ASSERT_EQ(jobs.size(), 1u);
  pugi::xml_document job;
  ASSERT_TRUE(job.load_file(jobs[0].c_str()));
  EXPECT_STREQ(job.child("Job").child_value("StatusId"), "3");
  EXPECT_STREQ(job.child("Job").child_value("ProjectFile"), kStar.c_str());
  EXPECT_EQ(std::string(job.child("Job").child_value("Machine")).substr(0, 6), "YFB 32");
  EXPECT_NE(std::string(job.child("Job").child_value("StartTime")), "");
  EXPECT_EQ(filesIn(rig.data() + "/Logs").size(), 2u);  // text and XML

  // What the machine cut lies on the toolpaths: every toolpath point of the
  // project, moved by the work zero, is on a cut of the trace.
  ASSERT_EQ(rig.sim.stop(), 0) << rig.sim.output();
  const auto cuts = cutSegments(rig.trace());
  ASSERT_FALSE(cuts.empty());
  const auto points = toolpathPoints(kStar, rig.data());
  ASSERT_GT(points.size(), 20u);
  double worst = 0;
  for (const auto& [x, y] : points) worst = std::max(worst, nearestCut(x + 20, y + 20, cuts));
  EXPECT_LT(worst, 0.05) << "a toolpath point is " << worst << " mm away from every cut";
}

// The work zero's Z is the table; the material's top lies thickness plus
// underlay above it. The tool cuts the depth into the material and travels
// the clearance above it.
TEST(CutCommand, CutsAtTheSettingsDepthAndTravelsClearOfTheMaterial) {
  Rig rig;
  ASSERT_TRUE(rig.startSim()) << rig.sim.output();
  const auto run = runCli(
      rig.cut(kStar, "--set grubosc=8 --set ponad_stol=1 --set nadmat=4 --set Glebokosc=2 --set auto_add=cbChecked"),
      true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ASSERT_EQ(rig.sim.stop(), 0);
  const Heights h = heightsOf(rig.trace());
  const double zero = -60;  // --work-zero Z 60 mm below the machine's home
  EXPECT_NEAR(h.lowestCut, zero + 8 + 1 - 2, 0.01);
  ASSERT_FALSE(h.travel.empty());
  for (double z : h.travel) EXPECT_NEAR(z, zero + 8 + 1 + 4, 0.01);
}

TEST(CutCommand, RepeatRunsTheStoredJobAgain) {
  Rig rig;
  ASSERT_TRUE(rig.startSim()) << rig.sim.output();
  const auto run = runCli(rig.cut(kStar, "--repeat 1"), true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string events = rig.eventLog();
  EXPECT_EQ(count(events, "Start cutting."), 2) << events;
  EXPECT_EQ(count(events, "End of cutting."), 2) << events;
  const auto jobs = filesIn(rig.data() + "/Jobs");
  ASSERT_EQ(jobs.size(), 2u);
  for (const auto& j : jobs) EXPECT_NE(readFile(j).find("<StatusId>3</StatusId>"), std::string::npos) << j;
  ASSERT_EQ(rig.sim.stop(), 0);
  // The second run cut the same paths once more (travel at the travel
  // height, where the spindle keeps running, is not counted as cut).
  double length = 0;
  for (const Segment& s : cutSegments(rig.trace())) length += std::hypot(s.x2 - s.x1, s.y2 - s.y1);
  Rig once;
  ASSERT_TRUE(once.startSim());
  ASSERT_EQ(runCli(once.cut(kStar)).exitCode, 0);
  ASSERT_EQ(once.sim.stop(), 0);
  double single = 0;
  for (const Segment& s : cutSegments(once.trace())) single += std::hypot(s.x2 - s.x1, s.y2 - s.y1);
  EXPECT_NEAR(length, 2 * single, 0.01 * single);
}

// Ctrl-C pauses the job as the pause command does and asks what next.
struct CtrlCCase {
  const char* name;
  const char* answer;
  int exitCode;
  const char* told;
  int continued;  // "Continue cutting." in the event log
  int ended;      // "End of cutting."
};

class CutCtrlC : public ::testing::TestWithParam<CtrlCCase> {};

TEST_P(CutCtrlC, PausesAndAsks) {
  const CtrlCCase& c = GetParam();
  Rig rig;
  ASSERT_TRUE(rig.startSim()) << rig.sim.output();
  CliProcess cli;
  ASSERT_TRUE(cli.start({"cut", kStar, "--machine", rig.machine(), "--work-zero", "20,20,60", "--data-dir", rig.data(),
                         "--max-time", "120"}));
  ASSERT_TRUE(cli.waitFor("started on", 20s)) << cli.output();
  cli.interrupt();
  ASSERT_TRUE(cli.waitFor("[c]ontinue", 20s)) << cli.output();
  cli.write(std::string(c.answer) + "\n");
  EXPECT_EQ(cli.finish(120s), c.exitCode) << cli.output();
  EXPECT_NE(cli.output().find(c.told), std::string::npos) << cli.output();
  const std::string events = rig.eventLog();
  EXPECT_EQ(count(events, "Cutting stop."), 1) << events;
  EXPECT_EQ(count(events, "Continue cutting."), c.continued) << events;
  EXPECT_EQ(count(events, "End of cutting."), c.ended) << events;
}

INSTANTIATE_TEST_SUITE_P(Answers, CutCtrlC,
                         ::testing::Values(CtrlCCase{"Continue", "c", 0, "Job finished.", 1, 1},
                                           CtrlCCase{"Stop", "s", 2, "stopped by the operator", 0, 0},
                                           CtrlCCase{"Quit", "q", 2, "left paused in the controller", 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// The controller closes the connection, or keeps it open and answers no
// more: either way the job stops where it was and nothing claims its end.
class CutLostLink : public ::testing::TestWithParam<const char*> {};

TEST_P(CutLostLink, SaysWhereTheJobStopped) {
  Rig rig;
  ASSERT_TRUE(rig.startSim({"--fault", GetParam()})) << rig.sim.output();
  const auto run = runCli(rig.cut(kStar, "--reconnect-timeout 10"), true);
  EXPECT_EQ(run.exitCode, 3) << run.output;
  EXPECT_NE(run.output.find("link to the controller was lost"), std::string::npos) << run.output;
  const std::string events = rig.eventLog();
  EXPECT_EQ(count(events, "End of cutting."), 0) << events;
  EXPECT_TRUE(std::regex_search(events, std::regex("Link lost: job file sent up to byte \\d+"))) << events;
  const auto jobs = filesIn(rig.data() + "/Jobs");
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_NE(readFile(jobs[0]).find("<StatusId>2</StatusId>"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Faults, CutLostLink, ::testing::Values("drop@200", "stall@200"), [](const auto& info) {
  const std::string f = info.param;
  return f.substr(0, f.find('@'));
});

TEST(CutCommand, MachineButtonsPauseAndContinue) {
  Rig rig;
  ASSERT_TRUE(rig.startSim({"--fault", "stop@150", "--fault", "continue@400"})) << rig.sim.output();
  const auto run = runCli(rig.cut(kStar), true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string events = rig.eventLog();
  EXPECT_EQ(count(events, "Cutting stop."), 1) << events;
  EXPECT_EQ(count(events, "Continue cutting."), 1) << events;
  EXPECT_EQ(count(events, "End of cutting."), 1) << events;
}

// Events of the machine during a job, scheduled in the simulator by the
// count of commands it received; each is told once per occurrence and the
// job still reaches its end. (The enclosure's input is read over USB only;
// its pause is tested on the simulated USB device with the control panel.)
struct MachineEventCase {
  const char* name;
  std::vector<std::string> faults;
  std::string extra;  // more options of the cut command
  const char* told;   // the line the CLI prints for the event
  int timesTold;
  int pauses;  // "Cutting stop." in the event log
};

class CutMachineEvents : public ::testing::TestWithParam<MachineEventCase> {};

TEST_P(CutMachineEvents, ToldOnceAndTheJobGoesOnToItsEnd) {
  const MachineEventCase& c = GetParam();
  Rig rig;
  std::vector<std::string> faults;
  for (const std::string& f : c.faults) {
    faults.push_back("--fault");
    faults.push_back(f);
  }
  ASSERT_TRUE(rig.startSim(faults)) << rig.sim.output();
  const auto run = runCli(rig.cut(kStar, c.extra), true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(count(run.output, c.told), c.timesTold) << run.output;
  const std::string events = rig.eventLog();
  EXPECT_EQ(count(events, "Cutting stop."), c.pauses) << events;
  EXPECT_EQ(count(events, "End of cutting."), 1) << events;
}

INSTANTIATE_TEST_SUITE_P(Events, CutMachineEvents,
                         // A driver error pauses the job; cut_faults_test follows it over both links.
                         ::testing::Values(MachineEventCase{
                             "SpindleOverload", {"overload@150", "continue@400"}, "", "Spindle overload!", 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CutCommand, RefusalsAreToldAndNothingIsCut) {
  Rig rig;
  ASSERT_TRUE(rig.startSim()) << rig.sim.output();
  // Ten times larger than the working area.
  const auto big = runCli(rig.cut(kStar, "--set skala=1000"), true);
  EXPECT_EQ(big.exitCode, 1) << big.output;
  EXPECT_NE(big.output.find("not started (pre-flight check)"), std::string::npos) << big.output;
  EXPECT_EQ(rig.eventLog().find("Start cutting."), std::string::npos);
  // A work zero too near the edge for the tool.
  const auto edge = runCli(
      "cut '" + kStar + "' --machine " + rig.machine() + " --work-zero 1,1,60 --data-dir '" + rig.data() + "'", true);
  EXPECT_EQ(edge.exitCode, 1) << edge.output;
  // A head the machine does not have.
  const auto head = runCli(rig.cut(kStar, "--head 2"), true);
  EXPECT_EQ(head.exitCode, 1) << head.output;
  EXPECT_NE(head.output.find("head 2: machine type \"YFB 32\" has 1 head"), std::string::npos) << head.output;
  // Another copy of the program holds the machine.
  {
    const int held = ::open((rig.folder.path() / "Trazvik").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    const auto second = runCli(rig.cut(kStar), true);
    ::close(held);
    EXPECT_EQ(second.exitCode, 1) << second.output;
    EXPECT_NE(second.output.find("Only one copy of the program can control the machine"), std::string::npos)
        << second.output;
  }
  // The machine was prepared (start position) but got no job.
  ASSERT_EQ(rig.sim.stop(), 0);
  EXPECT_NE(rig.sim.output().find(" 0 job commands executed, 0 jobs ended"), std::string::npos) << rig.sim.output();

  const auto bad = runCli("cut '" + kStar + "' --machine serial:COM1 --data-dir '" + rig.data() + "'", true);
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.output.find("use sim:TYPE"), std::string::npos) << bad.output;
  const auto traceOverTcp = runCli(rig.cut(kStar, "--trace x.png"), true);
  EXPECT_EQ(traceOverTcp.exitCode, 1);
  EXPECT_NE(traceOverTcp.output.find("--trace needs --machine sim:TYPE"), std::string::npos) << traceOverTcp.output;
  // Nobody listens on the port of the stopped simulator.
  const auto none = runCli(rig.cut(kStar, "--connect-timeout 1"), true);
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.output.find("cannot reach 127.0.0.1"), std::string::npos) << none.output;
}

TEST(CutCommand, InProcessSimulatorCutsAndDrawsTheToolPath) {
  IsolatedFolder folder;
  const std::string png = folder.text() + "cut.png";
  const auto run = runCli("cut '" + kStar + "' --machine 'sim:YFB 32' --sim-speed 40 --trace '" + png +
                              "' --data-dir '" + folder.text() + "data' --max-time 120",
                          true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("tool path: " + png), std::string::npos) << run.output;
  const std::string picture = readFile(png);
  ASSERT_GT(picture.size(), 8u);
  EXPECT_EQ(picture.substr(1, 3), "PNG");
}

}  // namespace
}  // namespace trazvik
