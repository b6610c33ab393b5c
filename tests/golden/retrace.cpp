#include "retrace.h"

#include "controller.h"

#include "geometry/units.h"
#include "job/command_decoder.h"
#include "machine/commands_move.h"
#include "machine/speed_code.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace trazvik::golden {

using namespace std::chrono_literals;

SimRun runOnSimulator(const app::tOfflineJob& job) {
  sim::SimConfig config;
  config.bufferBytes = std::size_t{1} << 24;  // the whole job waits in the buffer
  sim::SimMachine machine{job.machine.model, job.machine.link};
  sim::SimController ctl(config, machine);
  const tCommandSet set = commandSetOf(job.machine.model, job.machine.link);

  // The Start command leaves the tool at the project origin at the job's
  // starting height, which the job's first relative move starts from.
  tJobPosition start;
  Bytes startMove = moveToPoint(start, 0, 0, job.state.safeHeight, kNoSpeedCode, set, set.speedMultiplier);
  if (set.axisFactorZ == 0) startMove = moveToPoint(start, 0, 0, 0, kNoSpeedCode, set, set.speedMultiplier);
  startMove[0] = 'A';
  ctl.onCommandData(1, startMove);
  ctl.runUntilIdle(60s);
  ctl.onCommandData(1, Bytes{'S', 'X'});  // a status read between, as the program does

  for (const tDecodedCommand& c : decodeCommandStream(job.bytes, set, job.machine.model.commandLengths))
    ctl.onCommandData(1, c.bytes);
  ctl.onCommandData(1, Bytes{'G'});
  ctl.runUntilIdle(std::chrono::seconds(24 * 3600));

  SimRun run;
  run.trace = ctl.trace();
  run.end = ctl.toolPosition();
  run.toolOutputsOff = !ctl.machineState().toolOn();
  run.jobEnded = ctl.counters().jobsEnded >= 1 && !ctl.machineState().jobRunning;
  run.unknownCommands = ctl.counters().unknownCommands;
  return run;
}

namespace {

int figureHead(const app::tOfflineJob& job, const tfigura& f) {
  const TMDIChild& p = *job.project;
  if (p.wielowarstwowy() && p.warstwy) {
    for (const tWarstwa& w : p.warstwy->layer)
      if (w.org_color == f.org_color) return std::max(0, static_cast<int>(w.glowica) - 1);
  }
  return job.request.head - 1;
}

}  // namespace

std::vector<RetraceFigure> expectedToolpaths(const app::tOfflineJob& job) {
  const TMDIChild& p = *job.project;
  const tCommandSet set = commandSetOf(job.machine.model, job.machine.link);
  const auto& mp = job.machine.model.machineParams;
  const TDlgkonfig& k = *job.settings;
  const double skala = k.real("skala") / 100;
  const bool gcode = p.ImportFileType == kFileTypeGcode;

  tHeadOffsets heads;
  heads.headCount = mp.headCount;
  heads.x = {0, k.real("feuOffsetXGlowica2"), k.real("feuOffsetXGlowica3")};
  heads.y = {0, k.real("feuOffsetYGlowica2"), k.real("feuOffsetYGlowica3")};
  // A machine without a controller: every head's Z zero is 0.
  const int chosen = job.state.chosenHead;

  std::vector<RetraceFigure> out;
  for (std::size_t i = 0; i < p.fig.size(); ++i) {
    const tfigura& f = *p.fig[i];
    if (gcode ? f.sp.empty() : (f.sp.size() < 2 || !f.tocut)) continue;
    RetraceFigure r;
    r.index = static_cast<int>(i);
    r.checkZ = set.axisFactorZ != 0;
    const trpoint3d shift = headOffsetCorrection(heads, chosen, figureHead(job, f));
    for (const trpoint3d& q : f.sp) {
      const double x = toMm(p.ImportFileType, q.x - f.xp) * skala + shift.x;
      const double y = toMm(p.ImportFileType, q.y - f.yp) * skala + shift.y;
      double z = toMm(p.ImportFileType, q.z) * (gcode ? skala : 1.0);
      if (mp.laserZAxis) z = job.state.travelHeight;
      z += shift.z;
      RetracePoint rp{static_cast<double>(stepsOfMm(x, set.axisFactorX)),
                      static_cast<double>(stepsOfMm(y, set.axisFactorY)),
                      set.axisFactorZ != 0 ? static_cast<double>(stepsOfMm(z, set.axisFactorZ)) : 0.0, f.otwor};
      if (!r.points.empty() && r.points.back().x == rp.x && r.points.back().y == rp.y && r.points.back().z == rp.z)
        continue;
      r.points.push_back(rp);
    }
    out.push_back(std::move(r));
  }
  return out;
}

namespace {

struct StepSegment {
  RetracePoint from, to;
  bool toolOn = false;
};

// The point of the segment nearest to p, as a parameter 0..1.
double nearestParameter(const StepSegment& s, const RetracePoint& p, bool useZ) {
  const double dx = s.to.x - s.from.x, dy = s.to.y - s.from.y, dz = useZ ? s.to.z - s.from.z : 0;
  const double len2 = dx * dx + dy * dy + dz * dz;
  if (len2 == 0) return 0;
  const double t = ((p.x - s.from.x) * dx + (p.y - s.from.y) * dy + (useZ ? (p.z - s.from.z) * dz : 0)) / len2;
  return std::clamp(t, 0.0, 1.0);
}

bool passesThrough(const StepSegment& s, const RetracePoint& p, bool useZ, double tol, double* parameter) {
  const double t = nearestParameter(s, p, useZ);
  const double x = s.from.x + t * (s.to.x - s.from.x), y = s.from.y + t * (s.to.y - s.from.y);
  const double z = s.from.z + t * (s.to.z - s.from.z);
  const double slack = tol + 1e-6;
  if (std::fabs(x - p.x) > slack || std::fabs(y - p.y) > slack || (useZ && std::fabs(z - p.z) > slack)) return false;
  if (parameter) *parameter = t;
  return true;
}

bool endsAt(const StepSegment& s, const RetracePoint& p, bool useZ, double tol) {
  const double slack = tol + 1e-6;
  return std::fabs(s.to.x - p.x) <= slack && std::fabs(s.to.y - p.y) <= slack &&
         (!useZ || std::fabs(s.to.z - p.z) <= slack);
}

std::string pointText(const RetracePoint& p) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "(%.0f, %.0f, %.0f) steps", p.x, p.y, p.z);
  return buf;
}

}  // namespace

std::string retraceProblems(const SimRun& run, const std::vector<RetraceFigure>& figures, const tMachineState& machine,
                            double tol) {
  const tCommandSet set = commandSetOf(machine.model, machine.link);
  std::vector<StepSegment> segs;
  for (const sim::TraceSegment& s : run.trace.segments()) {
    if (s.source != sim::TraceSource::job) continue;
    auto steps = [&](const sim::TracePoint& q) {
      return RetracePoint{q.x * 100 * set.axisFactorX, q.y * 100 * set.axisFactorY, q.z * 100 * set.axisFactorZ, false};
    };
    segs.push_back({steps(s.from), steps(s.to), s.toolOn});
  }

  std::string problems;
  // Each figure is looked for from the start of the job: a multi-layer job
  // cuts its figures layer by layer, not in list order.
  for (const RetraceFigure& f : figures) {
    const std::string name = "figure " + std::to_string(f.index);
    if (f.points.empty()) continue;
    // The first segment that passes through the first point.
    std::size_t k = 0;
    while (k < segs.size() && !passesThrough(segs[k], f.points[0], f.checkZ, tol, nullptr)) ++k;
    if (k == segs.size()) {
      problems += name + ": the tool never reaches its first point " + pointText(f.points[0]) + "\n";
      continue;
    }
    for (std::size_t j = 1; j < f.points.size(); ++j) {
      const RetracePoint& a = f.points[j - 1];
      const RetracePoint& b = f.points[j];
      std::size_t s = k;
      for (; s < segs.size(); ++s) {
        if (!segs[s].toolOn) continue;
        double tb = 0;
        if (!passesThrough(segs[s], b, f.checkZ, tol, &tb)) continue;
        if (b.reachOnly) break;
        // The cut from a to b: one straight piece of the trace with the tool on.
        double ta = 0;
        if (!passesThrough(segs[s], a, f.checkZ, tol, &ta) || ta > tb + 1e-9) continue;
        // b must be where the straight piece ends, unless the trace merged it
        // with the next cut along the same line.
        if (endsAt(segs[s], b, f.checkZ, tol)) break;
        double tc = 0;
        if (j + 1 < f.points.size() && passesThrough(segs[s], f.points[j + 1], f.checkZ, tol, &tc) && tc >= tb - 1e-9)
          break;
      }
      if (s == segs.size()) {
        problems += name + ": point " + std::to_string(j) + " " + pointText(b) +
                    (b.reachOnly ? " is not reached with the tool on" : " is not cut in a straight line from ") +
                    (b.reachOnly ? std::string() : pointText(a)) + "\n";
        break;
      }
      k = s;
    }
  }
  return problems;
}

}  // namespace trazvik::golden
