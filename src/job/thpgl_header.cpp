// Thpgl: header, trailer, head blocks and layer blocks of a job.
#include "job/thpgl_writer.h"

#include "geometry/units.h"
#include "machine/commands_basic.h"
#include "machine/commands_records.h"
#include "job/safe_approach.h"
#include "machine/speed_code.h"

#include <cmath>
#include <string>

namespace trazvik::job {

namespace {

constexpr std::uint8_t kHeadCodes[3] = {outputMask::head1, outputMask::head2, outputMask::head3};

bool jobMode(int mode) { return mode == kModeDrawing || mode == kModeProgram; }

}  // namespace

Thpgl::Thpgl(tByteSink& f, const tJobSettings& settings, const tWriterMachine& machine, const tJobOptions& options)
    : f_(f), s_(settings), m_(machine), opt_(options) {
  ctx_.set = m_.set;
  ctx_.skala = s_.skala;
  ctx_.heads.headCount = m_.headCount;
  for (int i = 0; i < 3; ++i) {
    ctx_.heads.x[i] = i == 0 ? 0 : s_.headOffsetX[i];
    ctx_.heads.y[i] = i == 0 ? 0 : s_.headOffsetY[i];
    ctx_.heads.zZero[i] = m_.headZZero[i];
  }
  plan_ = m_.plan;
  plan_.skala = s_.skala;
  plan_.wygladzanie = s_.wygladzanie;
  plan_.gcodeProgram = opt_.outputMode == kModeProgram;
  narrow_.emplace(plan_.gcodeProgram);
  carriage_.emplace(plan_.gcodeProgram);
}

// --- emitting ---

void Thpgl::flush() {
  if (buf_.empty()) return;
  f_.write(buf_);
  buf_.clear();
}

void Thpgl::pause(std::uint8_t ms) { put(pauseCommand(ms)); }

void Thpgl::longPauseS(double seconds) {
  const double s = std::nearbyint(seconds);
  if (!(s >= 0) || s > 4294967.0) throw tJobRangeError("pause of " + std::to_string(seconds) + " s out of range");
  put(longPause(static_cast<std::uint32_t>(s)));
}

void Thpgl::slot(std::uint8_t s) { put(selectSlotCommand(s)); }

void Thpgl::outputs(std::uint8_t state, std::uint8_t mask) { put(outputsCommand(state, mask)); }

void Thpgl::power(std::uint8_t channel, double value) {
  const double v = std::nearbyint(value);
  const double limit = m_.protocolLevel < 6 ? 255.0 : 4294967295.0;
  if (!(v >= 0) || v > limit) {
    const std::string asked =
        std::isfinite(v) && std::fabs(v) < 1e18 ? std::to_string(static_cast<long long>(v)) : std::to_string(value);
    if (m_.protocolLevel < 6 && v > limit)
      throw tJobRangeError("the power value " + asked +
                           " does not fit the controller's power command: firmware below 6 takes at most 255; "
                           "lower the spindle speed or power (work_power or the program's S word) or update "
                           "the controller's firmware");
    throw tJobRangeError("the power value " + asked + " does not fit the controller's power command");
  }
  put(powerCommand(channel, static_cast<std::uint32_t>(v), m_.set));
}

// A feed into a slot. Narrow Z feeds are scaled by the Z axis factor, and
// a narrow code must fit its 16 bits.
void Thpgl::load(std::uint8_t slot, double feed, bool zFeed) {
  std::uint32_t code = 0;
  if (m_.wide) {
    code = speedCode(feed, m_.set);
  } else {
    const double scaled = zFeed ? std::nearbyint(feed * m_.set.speedMultiplier * m_.set.axisFactorZ)
                                : std::nearbyint(feed * m_.set.speedMultiplier);
    if (!std::isfinite(scaled) || scaled < 0 || scaled > 2e9)
      throw tJobRangeError("feed " + std::to_string(feed) + " mm/min out of range");
    code = speedCodeOfScaledFeed(static_cast<std::int64_t>(scaled), m_.set);
    if (code > 65535) throw tJobRangeError("feed " + std::to_string(feed) + " mm/min too slow for a speed slot");
  }
  put(loadSlotCommand(slot, code, m_.set));
  if (slot == 1) workFeed_ = feed;
}

void Thpgl::move(double x, double y, double z, std::uint32_t code) { appendMove(buf_, st_, ctx_, x, y, z, code); }

void Thpgl::knifeMove(double x, double y, std::int32_t target, std::uint32_t code, std::int32_t multiplier) {
  appendKnifeMove(buf_, st_, ctx_, x, y, target, s_.twoEdgedKnife, code, multiplier);
}

void Thpgl::spindleWaitRecord() {
  pause(10);
  put(record16("sfw", {}));
}

// --- shared blocks ---

void Thpgl::loadPlungeFeed() {
  if (!m_.drillSlots) load(3, s_.wiercenie_posuw, true);
}
void Thpgl::loadRetractFeed() {
  if (!m_.drillSlots) load(3, s_.wiercenie_cofanie, true);
}
void Thpgl::loadPolishFeed() {
  if (!m_.drillSlots) load(3, s_.Polerspeed, false);
}

void Thpgl::lubrication(bool on) {
  if (m_.lubrication) outputs(on ? 0 : 1, outputMask::lubrication);
}

void Thpgl::headSelection(int k) {
  if (k < 0 || k > 2) return;
  if (m_.protocolLevel >= 7) {
    put(headZRecord(headBitOf(k)));
    longPauseS(1);
    put(headZReferenceCommand(headZReferenceSteps(m_.headZZero[k], m_.set)));
    longPauseS(1);
  }
  outputs(1, kHeadCodes[k]);
  st_.currentHead = k;
}

void Thpgl::headRelease(int k) {
  if (k < 0 || k > 2) return;
  outputs(0, m_.toolMask);
  longPauseS(2);
  outputs(0, kHeadCodes[k]);
}

void Thpgl::loadJobSlots(double workFeed) {
  load(0, s_.przespeed, false);
  load(1, workFeed, false);
  load(3, s_.Polerspeed, false);
  if (m_.wide && m_.drillSlots) {
    load(4, s_.wiercenie_posuw, false);
    load(5, s_.wiercenie_cofanie, false);
  }
}

void Thpgl::toolStart() {
  if (!m_.laser) outputs(1, outputMask::tool);
  pause(250);
  if (!m_.laser) {
    outputs(1, outputMask::tool);
    if (m_.spindleWait)
      spindleWaitRecord();
    else
      longPauseS(s_.CzasRozruchu);
  }
}

void Thpgl::resetJob(int zadanaGlowica) {
  st_.jobPosition.x = 0;
  st_.jobPosition.y = 0;
  st_.chosenHead = zadanaGlowica;
  st_.currentHead = zadanaGlowica;
  st_.travelHeight = opt_.travelHeight;
  const bool program = opt_.outputMode == kModeProgram;
  st_.safeHeight = program || m_.laserZAxis ? opt_.travelHeight : s_.safe();
  st_.jobPosition.z = stepsOfMm(st_.safeHeight, m_.set.axisFactorZ);
  st_.lastTarget = {0, 0, st_.safeHeight};
  st_.extremes.reset();
  tnx.clear();
}

// --- header ---

void Thpgl::save(int ImportFileType, int zadanaGlowica, bool otwartoJakoWielowarstwowy) {
  FileType = ImportFileType;
  ctx_.fileType = plan_.fileType = ImportFileType;
  otwarto_jako_wielowarstw = otwartoJakoWielowarstwowy;
  plan_.multiLayer = otwartoJakoWielowarstwowy;
  last_pen = 0;
  st_.jobPosition.knife = 0;
  resetJob(zadanaGlowica);
  if (!jobMode(opt_.outputMode)) return;
  const bool program = opt_.outputMode == kModeProgram;
  if (m_.cnc && !m_.wide) put(smoothingCommand(false));
  loadJobSlots(program && opt_.programFeed != 0 ? opt_.programFeed : s_.WorkSpeed);
  const double P = program && opt_.programSpindle != 0 ? opt_.programSpindle : s_.work_power;
  if (m_.cnc) {
    if (m_.laser) {
      power(1, P * m_.laserFullPower / 100);
      if (s_.LaserMiekkiStart) power(3, s_.SpoczynkowaMocLasera * m_.laserFullPower / 100);
    } else if (m_.singlePower) {
      pause(200);
      power(1, P);
      pause(200);
    } else if (!m_.safetyEnclosure) {
      if (m_.headCount > 1) headSelection(zadanaGlowica);
      const std::uint8_t gap = m_.drillSlots ? 10 : 200;
      const double scale = m_.drillSlots ? 1 : 100;
      pause(gap);
      power(3, s_.poler_power / scale);
      pause(gap);
      power(1, P / scale);
      pause(gap);
    }
  } else if (!m_.safetyEnclosure) {
    power(1, P * m_.laserFullPower / 100);
    power(3, s_.poler_power * 255 / 100);
  }
  if (!m_.safetyEnclosure) {
    toolStart();
    pause(200);
  }
  flush();
}

void Thpgl::saveMultiLayer(int ImportFileType, int zadanaGlowica) {
  FileType = ImportFileType;
  ctx_.fileType = plan_.fileType = ImportFileType;
  otwarto_jako_wielowarstw = true;
  plan_.multiLayer = true;
  last_pen = 0;
  resetJob(zadanaGlowica);
  if (!jobMode(opt_.outputMode)) return;
  if (m_.cnc && !m_.wide) put(smoothingCommand(false));
  flush();
}

// --- trailer ---

void Thpgl::closewrite(int zadanaGlowica) {
  if (!jobMode(opt_.outputMode)) {
    flush();
    return;
  }
  pause(10);
  if (m_.laser) {
    put(laserOffRecord());
    outputs(0, outputMask::secondTool);
    // The beam gate too: a job never leaves its tool switched on.
    outputs(0, outputMask::tool);
  }
  const double safe = st_.safeHeight;
  const trpoint3d cur = st_.lastTarget;
  if (s_.rbPowrotDo0projektu) {
    if (opt_.outputMode == kModeProgram && cur.z < safe) {
      move(cur.x, cur.y, safe);
      pause(10);
    }
    move(0, 0, safe);
  }
  const double z0 = m_.workZero.z / 100;
  if ((s_.rbOdjazdDoPunktu || s_.rbTylkoGlowicaDoGory) && !m_.laser) {
    move(st_.lastTarget.x, st_.lastTarget.y, z0);
    pause(10);
  }
  if (s_.rbOdjazdDoPunktu)
    move(s_.feuOdjazdX - m_.workZero.x / 100, s_.feuOdjazdY - m_.workZero.y / 100, m_.laser ? st_.lastTarget.z : z0);
  if (!m_.laser) {
    pause(1);
    outputs(0, outputMask::secondTool);
    // The spindle stops with the job instead of running on unattended.
    outputs(0, outputMask::tool);
    if (m_.headCount > 1) headRelease(zadanaGlowica);
  }
  if (m_.cnc && !m_.wide) put(smoothingCommand(false));
  if (m_.lubrication) outputs(1, outputMask::lubrication);
  pause(1);
  slot(2);
  if (m_.wide) put(jobEndRecord());
  flush();
}

// --- layers ---

void Thpgl::saveLayerParamters(double weV, double wePowerSpocz, double wePower) {
  load(1, weV, false);
  power(1, wePower * m_.laserFullPower / 100);
  if (wePowerSpocz > 0) power(3, wePowerSpocz * m_.laserFullPower / 100);
}

void Thpgl::ZastosujParametryWarstwy(const tWarstwa& w, int poprzGlowica, const tLastPoint& pkt, int nastGlowica) {
  if (!jobMode(opt_.outputMode)) return;
  pause(10);
  loadJobSlots(w.szybkosc);
  const double P = w.obroty;
  if (m_.laser) {
    power(1, P * m_.laserFullPower / 100);
    if (s_.LaserMiekkiStart) power(3, s_.SpoczynkowaMocLasera * m_.laserFullPower / 100);
  } else if (m_.cnc) {
    if (m_.headCount > 1 && nastGlowica != poprzGlowica && poprzGlowica != -1) {
      headRelease(poprzGlowica);
      const double zZero = poprzGlowica >= 0 && poprzGlowica < m_.headCount ? m_.headZZero[poprzGlowica] : 0;
      move(pkt.x, pkt.y, zZero / 100);
      headSelection(nastGlowica);
    }
    const double scale = m_.drillSlots ? 1 : 100;
    pause(200);
    power(3, s_.poler_power / scale);
    pause(200);
    power(1, P / scale);
    pause(200);
    if (m_.headCount == 1) pause(200);
  } else if (!m_.safetyEnclosure) {
    power(1, P * m_.laserFullPower / 100);
    power(3, s_.poler_power * 255 / 100);
  }
  if (m_.safetyEnclosure) {
    flush();
    return;
  }
  toolStart();
  pause(200);
  flush();
}

void Thpgl::BezpiecznyDojazdDoWskazanejFig(const tfigura& fig) {
  if (opt_.outputMode != kModeProgram) return;
  trazvik::BezpiecznyDojazdDoWskazanejFig(buf_, st_, ctx_, fig,
                                          opt_.oneSelectedFigureOfProgram || opt_.startsFromSelectedFigureOfProgram);
  flush();
}

}  // namespace trazvik::job
