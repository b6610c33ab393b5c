#include "job_fidelity.h"

#include "controller.h"

#include "config/number_text.h"
#include "config/tdlgkonfig.h"
#include "control/job_plan.h"
#include "geometry/figure.h"
#include "prepare/bezier_fit.h"
#include "job/job_move.h"
#include "machine/identify_machine.h"
#include "machine/machine_capabilities.h"
#include "machine/state_bits.h"
#include "project/open_project.h"
#include "project/tmdichild.h"

#include "../common/temp_folder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>

namespace trazvik::testing {

namespace {

using sim::SimConfig;
using sim::SimController;
using sim::TracePoint;
using sim::TraceSegment;

constexpr int kFileTypeGcode = 3;

std::string mmText(double x, double y, double z) {
  char text[96];
  std::snprintf(text, sizeof text, "(%.3f, %.3f, %.3f) mm", x, y, z);
  return text;
}

SimConfig simConfigOf(const FidelityCase& c) {
  SimConfig config;
  config.product = paddedProductString(c.machine, 8);
  if (!sim::parseFirmware(c.firmware, config)) throw std::invalid_argument("firmware " + c.firmware);
  config.versionText = "CNCv   " + c.firmware;
  config.workArea = {3000, 3000, 300};
  // The whole job waits in the buffer: the matrix looks at the path, not at
  // the flow control.
  config.bufferBytes = 32u << 20;
  config.storageLimit = 64u << 20;
  return config;
}

// The job the start of cutting writes: its plan for the whole project with
// the first head, written through the plan's writer.
struct StartWrite {
  tJobResult result;
  double startZ = 0;  // the tool's height when the job begins, mm above the work zero
};

StartWrite writeAsTheStart(TMDIChild& project, const TDlgkonfig& settings, const tMachineState& machine,
                           const std::string& path) {
  StartWrite w;
  const tJobPlan plan = planJob(project, settings, machine, tJobScope::wholeProject, 0);
  if (plan.head < 0) {
    w.result.error = "no head can start the job";
    return w;
  }
  w.result = writePlannedJob(project, settings, machine, plan, path);
  w.startZ = w.result.state.safeHeight;
  return w;
}

struct CheckedPoint {
  std::size_t figure = 0, index = 0;
  double x = 0, y = 0, z = 0;  // mm relative to the work zero
};

// The toolpath points the job has to cut: the figures the writer writes,
// in millimetres as the writer converts them.
std::vector<CheckedPoint> pointsToCut(const TMDIChild& project, const TDlgkonfig& settings,
                                      const tMachineState& machine) {
  tJobMoveContext ctx;
  ctx.fileType = project.ImportFileType;
  ctx.skala = settings.real("skala");
  const bool gcode = project.ImportFileType == kFileTypeGcode;
  const bool skipFrame = settings.flag("bezramki");
  const bool bezier = machine.model.bezierCommands && settings.flag("wygladzanie");
  std::vector<CheckedPoint> points;
  for (std::size_t i = 0; i < project.fig.size(); ++i) {
    const tfigura& f = *project.fig[i];
    const bool written = gcode || (f.tocut && !(skipFrame && project.framka(static_cast<int>(i))));
    if (!written || f.sp.size() < 2 || (gcode && f.Gprzestawcza)) continue;
    if (bezier && !f.SpiralaBezier.empty()) {
      // The smoothed figure is cut along its chain: points along each curve,
      // close enough that the curve between two of them bulges by far less
      // than the tolerance (the box of the cut is taken from them too).
      std::size_t k = 0;
      for (const tBezier& b : f.SpiralaBezier) {
        const double lengthMm = std::fabs(mmXY(ctx, b.Dlugosc));
        const int steps = std::clamp(static_cast<int>(std::ceil(lengthMm / 0.25)), 8, 4000);
        for (int step = 0; step <= steps; ++step, ++k) {
          const trpoint3d p = prepare::bezierPoint(b, static_cast<double>(step) / steps);
          points.push_back({i, k, mmXY(ctx, p.x - f.xp), mmXY(ctx, p.y - f.yp), mmZ(ctx, p.z)});
        }
      }
      continue;
    }
    for (std::size_t k = 0; k < f.sp.size(); ++k) {
      const trpoint3d& p = f.sp[k];
      double z = mmZ(ctx, p.z);
      if (gcode) z *= ctx.skala / 100;
      points.push_back({i, k, mmXY(ctx, p.x - f.xp), mmXY(ctx, p.y - f.yp), z});
    }
  }
  return points;
}

double distanceToSegment(const TracePoint& a, const TracePoint& b, const CheckedPoint& p, bool withZ) {
  const double dz = withZ ? 1 : 0;
  const double vx = b.x - a.x, vy = b.y - a.y, vz = (b.z - a.z) * dz;
  const double wx = p.x - a.x, wy = p.y - a.y, wz = (p.z - a.z) * dz;
  const double len2 = vx * vx + vy * vy + vz * vz;
  const double t = len2 > 0 ? std::clamp((wx * vx + wy * vy + wz * vz) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(wx - t * vx, wy - t * vy, wz - t * vz);
}

struct Box {
  double minX = std::numeric_limits<double>::max(), maxX = -std::numeric_limits<double>::max();
  double minY = minX, maxY = maxX, minZ = minX;
  void include(const CheckedPoint& p) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
    minZ = std::min(minZ, p.z);
  }
  bool holds(const TracePoint& p, bool withZ) const {
    const double t = kFidelityToleranceMm;
    return p.x >= minX - t && p.x <= maxX + t && p.y >= minY - t && p.y <= maxY + t && (!withZ || p.z >= minZ - t);
  }
};

// Runs the job file on the controller until the job has ended; an error
// text when it did not.
std::optional<std::string> runJob(SimController& sim, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const sim::Bytes job((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (job.empty()) return "the job file is empty";
  sim.onCommandData(1, job);
  const sim::Bytes go{'G'};
  sim.onCommandData(1, go);
  const sim::SimCounters counters = sim.counters();
  if (counters.unknownCommands != 0 || counters.droppedJobCommands != 0)
    return "the controller did not take the job: " + std::to_string(counters.unknownCommands) + " unknown and " +
           std::to_string(counters.droppedJobCommands) + " dropped commands";
  for (int minute = 0; minute < 600; ++minute) {
    sim.advance(std::chrono::seconds(60));
    if (!sim.stateBit(stateBit::jobRunning) && sim.counters().jobsEnded > 0) return std::nullopt;
  }
  return "the job did not end within 10 hours of machine time";
}

}  // namespace

std::string FidelityCase::label() const {
  std::string text = "\"" + machine + "\" firmware " + firmware + ", " + sample;
  if (settings.empty()) return text + ", default settings";
  for (const auto& [name, value] : settings) text += ", " + name + "=" + config::formatGeneral(value, '.');
  return text;
}

FidelityOutcome runFidelityCase(const FidelityCase& c, const texts::tInterfejs& texts) {
  FidelityOutcome out;
  auto fail = [&](const std::string& why) {
    out.failure = c.label() + ": " + why;
    return out;
  };
  SimController sim(simConfigOf(c));
  tMachineState machine;
  machine.model = sim.machine().model;
  machine.link = sim.machine().link;
  // The work zero on the table, the machine's top (its Z reference) the
  // whole Z travel above it, as homing and a tool length measurement leave
  // them on a router.
  const tMachineParams& params = machine.model.machineParams;
  const bool laser = params.isLaser != 0;
  if (!laser && params.axisFactorZ != 0) machine.status.pos0.z = sim.config().workArea[2] * 100;

  TDlgkonfig settings('.');
  settings.SetParam(machineContextOf(machine.model, machine.link, machine.status, true));
  settings.SetMachineDependentControls();
  for (const auto& [name, value] : c.settings) settings.set(name, value);

  auto project = OtworzProjekt(std::string(TRAZVIK_SOURCE_DIR) + "/samples/" + c.sample, settings, texts, {});
  if (!project) return fail("the sample did not open");
  TempFolder folder;
  const std::string path = (folder / "out.cnx").string();
  const StartWrite written = writeAsTheStart(*project, settings, machine, path);
  if (!c.refusal.empty()) {
    if (written.result.ok) return fail("written, but a refusal was expected");
    if (written.result.error.find(c.refusal) == std::string::npos)
      return fail("refused without saying \"" + c.refusal + "\": " + written.result.error);
    out.passed = out.refused = true;
    return out;
  }
  if (!written.result.ok) return fail("no job: " + written.result.error);

  if (const auto error = runJob(sim, path)) return fail(*error);
  out.simulatedSeconds = sim.simulatedSeconds();

  const bool gcode = project->ImportFileType == kFileTypeGcode;
  const bool withZ = !laser && params.axisFactorZ != 0;
  // The job assumes the tool at the work zero's X and Y and at its safe
  // height when it begins; the simulated tool begins at 0, 0, 0.
  const double startZ = written.startZ;
  const double top = gcode ? 0 : settings.real("grubosc") + settings.real("ponad_stol");

  const sim::ToolTrace trace = sim.trace();
  std::vector<TraceSegment> cuts;
  for (TraceSegment s : trace.segments()) {
    if (s.source != sim::TraceSource::job || !s.toolOn) continue;
    s.from.z += startZ;
    s.to.z += startZ;
    cuts.push_back(s);
  }
  const std::vector<CheckedPoint> points = pointsToCut(*project, settings, machine);
  if (points.empty()) return fail("the project has no toolpath to cut");
  out.points = points.size();
  Box box;
  for (const CheckedPoint& p : points) {
    box.include(p);
    const bool cut = std::any_of(cuts.begin(), cuts.end(), [&](const TraceSegment& s) {
      return distanceToSegment(s.from, s.to, p, withZ) <= kFidelityToleranceMm;
    });
    if (!cut)
      return fail("figure " + std::to_string(p.figure) + " point " + std::to_string(p.index) + " " +
                  mmText(p.x, p.y, p.z) + " is not cut");
  }
  for (const TraceSegment& s : cuts) {
    const bool inMaterial = laser || std::min(s.from.z, s.to.z) < top - kFidelityToleranceMm;
    if (!inMaterial) continue;
    for (const TracePoint& e : {s.from, s.to}) {
      if (!box.holds(e, withZ)) return fail("cut outside the project's box at " + mmText(e.x, e.y, e.z));
    }
  }
  if (sim.stateBit(stateBit::toolOn)) return fail("the tool is still on at the end of the job");
  out.passed = true;
  return out;
}

}  // namespace trazvik::testing
