// An interrupted job taken up again through the cutting session, over the
// link to a simulated controller on 127.0.0.1 and over the in-process USB
// device: the link drops at several places of the job, comes back, and the
// job goes on from the interrupted figure or from the next one. The two
// runs together cut every toolpath point; no figure before the interrupted
// one is cut again; nothing is cut outside the project; the way back to
// the work rises to the travel height before it travels.
#include "session_fixture.h"

#include "control/job_resume.h"
#include "machine/state_bits.h"
#include "sim_server.h"

#include <algorithm>
#include <cmath>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

const std::string kSquares = std::string(TRAZVIK_SOURCE_DIR) + "/tests/fixtures/four_squares.plt";
constexpr double kTolerance = 0.05;

double distanceToSegment(const tToolPoint& p, const tToolPoint& a, const tToolPoint& b) {
  const double vx = b.x - a.x, vy = b.y - a.y, vz = b.z - a.z;
  const double len2 = vx * vx + vy * vy + vz * vz;
  const double t =
      len2 > 0 ? std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy + (p.z - a.z) * vz) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(p.x - a.x - t * vx, p.y - a.y - t * vy, p.z - a.z - t * vz);
}

// A trace segment in the job's millimetres (from the work zero).
struct Cut {
  tToolPoint from, to;
  bool toolOn = false;
};

// One interrupted and resumed job on a fresh controller.
class ResumeRun {
 public:
  explicit ResumeRun(bool usb) : usb_(usb) {
    sim::SimConfig config;
    config.timeScale = 2000;
    config.bufferBytes = 512;  // the job is sent as it is cut
    config.bufferHeadroom = 3200;
    controller_ = std::make_shared<sim::SimController>(config);
    if (!usb_) {
      server_ = std::make_unique<sim::SimServer>(controller_, sim::ServerPorts{"127.0.0.1", 0, 0});
      server_->start();
    }
    f_ = std::make_unique<SessionFixture>(kSquares);
  }
  ~ResumeRun() {
    f_.reset();
    if (server_) server_->stop();
  }

  bool connect() {
    const bool ok = usb_ ? f_->connectUsb(controller_, nullptr)
                         : f_->connect(server_->commandPort(), server_->identityPort(), nullptr);
    if (!ok) return false;
    f_->session->activeProject = [this] { return &f_->project; };
    f_->session->onEvent = [this](const tControlEvent& e) { events_.push_back(e.kind); };
    // The job's millimetres against the controller's: read once at rest.
    f_->connection->status().readPositions();
    f_->connection->status().readZeroPoint();
    const tToolPoint job = toolPointOf(f_->st, false);
    const sim::TracePoint machine = controller_->toolPosition();
    shift_ = {job.x - machine.x, job.y - machine.y, job.z - machine.z};
    return true;
  }

  bool saw(tControlEventKind k) const { return std::find(events_.begin(), events_.end(), k) != events_.end(); }

  std::vector<Cut> trace(std::size_t from, std::size_t to) const {
    const sim::ToolTrace t = controller_->trace();
    std::vector<Cut> out;
    for (std::size_t i = from; i < std::min(to, t.size()); ++i) {
      const sim::TraceSegment& s = t.segments()[i];
      out.push_back({{s.from.x + shift_.x, s.from.y + shift_.y, s.from.z + shift_.z},
                     {s.to.x + shift_.x, s.to.y + shift_.y, s.to.z + shift_.z},
                     s.toolOn});
    }
    return out;
  }
  std::size_t traceSize() const { return controller_->trace().size(); }

  SessionFixture& f() { return *f_; }
  sim::SimController& controller() { return *controller_; }
  bool usb() const { return usb_; }

 private:
  bool usb_;
  std::shared_ptr<sim::SimController> controller_;
  std::unique_ptr<sim::SimServer> server_;
  std::unique_ptr<SessionFixture> f_;
  std::vector<tControlEventKind> events_;
  tToolPoint shift_;
};

// The points each figure block cuts: the ends of its moves in the material.
std::vector<std::vector<tToolPoint>> cutPoints(const tInterruptedJob& job, double top) {
  std::vector<std::vector<tToolPoint>> points(job.index.blocks.size());
  for (std::size_t b = 0; b < job.index.blocks.size(); ++b) {
    const tFigureBlock& block = job.index.blocks[b];
    for (std::size_t i = 0; i < job.track.ends.size(); ++i) {
      const std::uint64_t end = job.track.ends[i];
      if (end <= block.cut || end > block.done || !job.track.moves[i]) continue;
      if (job.track.points[i].z < top - kTolerance) points[b].push_back(job.track.points[i]);
    }
  }
  return points;
}

bool inMaterial(const Cut& c, double top) { return c.toolOn && std::min(c.from.z, c.to.z) < top - kTolerance; }

// `across`: only moves along the work count (a straight rise out of the
// material where the tool stopped cuts nothing new).
bool cutsNear(const std::vector<Cut>& cuts, const tToolPoint& p, double top, bool across = false) {
  return std::any_of(cuts.begin(), cuts.end(), [&](const Cut& c) {
    if (across && std::hypot(c.to.x - c.from.x, c.to.y - c.from.y) <= kTolerance) return false;
    return inMaterial(c, top) && distanceToSegment(p, c.from, c.to) <= kTolerance;
  });
}

void runDropCase(bool usb, std::int64_t dropAfter, tResumeChoice choice) {
  SCOPED_TRACE(std::string(usb ? "USB" : "TCP") + ", drop after " + std::to_string(dropAfter) + " commands, " +
               resumeChoiceText(choice));
  ResumeRun run(usb);
  ASSERT_TRUE(run.connect());
  SessionFixture& f = run.f();
  tCuttingSession& session = *f.session;
  const double top = f.settings.real("grubosc") + f.settings.real("ponad_stol");

  const std::int64_t before = static_cast<std::int64_t>(run.controller().counters().commands);
  run.controller().schedule({sim::FaultAction::dropLink, 1, before + dropAfter, {}});
  ASSERT_EQ(session.Start1Click(&f.project), tStartOutcome::started) << f.firstMessage();
  ASSERT_TRUE(f.runUntil([&] { return run.saw(tControlEventKind::linkLost); }, 20s)) << "the link did not drop";
  if (usb) run.controller().plugUsb();
  ASSERT_TRUE(f.runUntil([&] { return f.connection->connected(); }, 20s)) << "the link did not come back";
  // The controller runs out what it received.
  ASSERT_TRUE(f.runUntil(
      [&] {
        const auto w = run.controller().stateWord();
        return !(w & stateBit::mask(stateBit::motionRunning)) &&
               (!(w & stateBit::mask(stateBit::jobRunning)) || (w & stateBit::mask(stateBit::heldForEmptyBuffer)));
      },
      20s));
  const std::size_t firstRun = run.traceSize();

  std::string error;
  auto job = session.interruptedJob(error);
  ASSERT_TRUE(job.has_value()) << error;
  const tResumePoint point = session.resumePoint(*job);
  EXPECT_EQ(point.certainty, tResumeCertainty::exact) << point.account;
  EXPECT_FALSE(point.homingRequired);
  ASSERT_FALSE(point.complete) << point.account;
  const auto start = resumeStartOf(*job, point, choice);
  ASSERT_TRUE(start.has_value());

  const tResumeResult resumed = session.resume(&f.project, *job, point, choice);
  ASSERT_TRUE(resumed.started) << resumed.message << " " << f.firstMessage();
  EXPECT_EQ(resumed.figure, start->figure);
  ASSERT_TRUE(f.runUntil([&] { return run.saw(tControlEventKind::jobEnded); }, 30s)) << "the resumed job did not end";

  const std::vector<Cut> first = run.trace(0, firstRun);
  const std::vector<Cut> second = run.trace(firstRun, run.traceSize());
  std::vector<Cut> both = first;
  both.insert(both.end(), second.begin(), second.end());
  const auto points = cutPoints(*job, top);
  for (std::size_t b = 0; b < points.size(); ++b) {
    SCOPED_TRACE("block " + std::to_string(b) + " of figure " + std::to_string(job->index.blocks[b].figure));
    ASSERT_FALSE(points[b].empty());
    const bool skipped = b == point.block && b < start->block;
    for (const tToolPoint& p : points[b]) {
      // Every point is cut by the two runs, but a figure skipped on purpose.
      if (!skipped) {
        EXPECT_TRUE(cutsNear(both, p, top)) << p.x << " " << p.y << " " << p.z;
      }
      // Nothing before the figure taken up is cut again.
      if (b < start->block) {
        EXPECT_FALSE(cutsNear(second, p, top, true)) << p.x << " " << p.y << " " << p.z;
      }
    }
  }
  // Nothing is cut outside the project (its toolpath's box).
  double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
  for (const auto& block : points)
    for (const tToolPoint& p : block) {
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x), minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
  for (const Cut& c : both) {
    if (!inMaterial(c, top)) continue;
    for (const tToolPoint& e : {c.from, c.to})
      EXPECT_TRUE(e.x >= minX - kTolerance && e.x <= maxX + kTolerance && e.y >= minY - kTolerance &&
                  e.y <= maxY + kTolerance)
          << "cut outside at " << e.x << " " << e.y;
  }
  // The way back rises first: no move across the table goes down until
  // the figure's own way into the material.
  for (const Cut& c : second) {
    if (inMaterial(c, top)) break;
    const bool across = std::hypot(c.to.x - c.from.x, c.to.y - c.from.y) > kTolerance;
    if (across) {
      EXPECT_GE(c.to.z, c.from.z - kTolerance) << "diagonal plunge to " << c.to.x << " " << c.to.y;
    }
  }
  EXPECT_FALSE(run.controller().stateBit(stateBit::toolOn)) << "the tool is still on at the end";
}

TEST(JobResume, LinkDroppedAtSeveralPlacesResumesOverTcp) {
  for (std::int64_t drop : {35, 60, 85})
    for (tResumeChoice choice : {tResumeChoice::interruptedFigure, tResumeChoice::nextFigure})
      runDropCase(false, drop, choice);
}

TEST(JobResume, LinkDroppedAtSeveralPlacesResumesOverUsb) {
  for (std::int64_t drop : {45, 75})
    for (tResumeChoice choice : {tResumeChoice::interruptedFigure, tResumeChoice::nextFigure})
      runDropCase(true, drop, choice);
}

// A design file that no longer holds what the job was written from is
// refused: its figures may no longer be the job's.
TEST(JobResume, ChangedDesignFileIsRefused) {
  trazvik::testing::TempFolder folder;
  const auto design = folder / "squares.plt";
  std::filesystem::copy_file(kSquares, design);
  sim::SimConfig config;
  config.timeScale = 2000;
  config.bufferBytes = 512;
  config.bufferHeadroom = 3200;
  auto controller = std::make_shared<sim::SimController>(config);
  SessionFixture f(design.string());
  ASSERT_TRUE(f.connectUsb(controller, nullptr));
  f.session->activeProject = [&] { return &f.project; };
  controller->schedule(
      {sim::FaultAction::dropLink, 1, static_cast<std::int64_t>(controller->counters().commands) + 50, {}});
  ASSERT_EQ(f.session->Start1Click(&f.project), tStartOutcome::started) << f.firstMessage();
  ASSERT_TRUE(f.runUntil([&] { return !f.connection->connected(); }, 20s));
  controller->plugUsb();
  ASSERT_TRUE(f.runUntil([&] { return f.connection->connected(); }, 20s));

  std::ofstream(design, std::ios::app) << "PU0,0;\n";
  std::string error;
  auto job = f.session->interruptedJob(error);
  ASSERT_TRUE(job.has_value()) << error;
  const tResumePoint point = f.session->resumePoint(*job);
  const tResumeResult r = f.session->resume(&f.project, *job, point, tResumeChoice::interruptedFigure);
  EXPECT_FALSE(r.started);
  EXPECT_NE(r.message.find("has changed"), std::string::npos) << r.message;
}

}  // namespace
}  // namespace trazvik::control_test
