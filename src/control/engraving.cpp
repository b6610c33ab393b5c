#include "control/engraving.h"

#include "config/tdlgkonfig.h"
#include "control/trans_arm.h"
#include "geometry/numeric.h"
#include "geometry/units.h"
#include "job/ramp_lookup.h"
#include "job/speed_plan_params.h"
#include "link/move_operations.h"
#include "link/speed_operations.h"
#include "link/tool_operations.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace trazvik {

namespace {
constexpr int kMotionBit = 0;
constexpr int kJobRunningBit = 1;
}  // namespace

double runUpMm(const tMachineOps& ops, double workFeed) {
  const double fx = ops.params().axisFactorX != 0 ? ops.params().axisFactorX : 1;
  const double steps = std::max(0.0, std::round(rampLength(workFeed, speedPlanParamsOf(ops.machine, ops.linkState()))));
  return steps / 100 / fx;
}

const char* burnOutcomeName(tBurnOutcome outcome) {
  switch (outcome) {
    case tBurnOutcome::noProject: return "no project";
    case tBurnOutcome::notBitmap: return "not a bitmap";
    case tBurnOutcome::noLink: return "no link";
    case tBurnOutcome::machineBusy: return "machine busy";
    case tBurnOutcome::startPosition: return "start position";
    case tBurnOutcome::tooLarge: return "larger than the working area";
    case tBurnOutcome::wrongZero: return "wrong work zero";
    case tBurnOutcome::noLines: return "no raster lines";
    case tBurnOutcome::started: return "started";
  }
  return "?";
}

tEngraving::~tEngraving() { stop(); }

void tEngraving::error(const char* key) const { ctx_.texts.messageBox(ctx_.texts.dajTxt("Main_window", key), true); }

void tEngraving::resume() {
  if (!worker_) return;
  ctx_.flags.engravingStopRequested = false;
  worker_->Resume();
}

void tEngraving::stop() {
  if (!worker_) return;
  worker_->Terminate();
  worker_->WaitFor();
  worker_.reset();
}

bool tEngraving::mayClose(const TMDIChild* project) {
  if (!worker_ || worker_->Finished()) return true;
  if (project != nullptr && project != project_) return true;
  if (!worker_->Suspended()) {
    const std::string question = ctx_.texts.dajTxt("Main_window", "msgPrzerwacWypalanie");
    if (ctx_.texts.confirmationBox(question, {texts::DialogButton::Yes, texts::DialogButton::No}) !=
        texts::DialogButton::Yes)
      return false;
  }
  stop();
  ctx_.flags.engravingRunning = false;
  ctx_.flags.engravingStopRequested = false;
  return true;
}

tBurnOutcome tEngraving::WypalBMP1Click(TMDIChild* project) {
  if (!project) return tBurnOutcome::noProject;
  if (project->ImportFileType != kFileTypeBitmap || !project->obraz) return tBurnOutcome::notBitmap;
  // A worker that still streams holds the link: it is ended first.
  if (worker_ && !worker_->Finished() && !worker_->Suspended()) return tBurnOutcome::machineBusy;
  tMachineOps& ops = ctx_.ops;
  tplotstate& st = ops.st;
  if (!ops.linkUp()) {
    st.pos0.x = 1000;
    st.pos0.y = 1000;
    return tBurnOutcome::noLink;
  }
  ops.status.readState();
  if (st.bit(kMotionBit) || st.bit(kJobRunningBit)) return tBurnOutcome::machineBusy;
  const TDlgkonfig& s = ctx_.settings;
  const tLinkState& link = ops.linkState();
  if (link.cncMachine && ctx_.transfer.isOpen) ctx_.transfer.stop();
  loadSpeedSlot(ops, speedSlot::travel, s.real("przespeed"));
  selectSlot(ops, speedSlot::travel);
  if (ops.params().isLaser) ops.settings.travelHeight = -s.real("grubosc");
  if (link.cncMachine) {
    if (!moveToPoint(ops, 0, ops.settings.travelHeight, 0, 0)) return tBurnOutcome::startPosition;
    ops.send(Bytes{static_cast<std::uint8_t>('C')});
    waitWhileBusy(ops);
  }

  // The engraved size against the working area and the work zero.
  project->size_x = s.real("SzerokoscObrazu");
  project->size_y = s.real("WysokoscObrazu");
  const double scale = s.real("skala");
  const double w = scale * project->size_x / 100, h = scale * project->size_y / 100;
  ops.status.readZeroPoint();
  if (w > link.workArea[0] || h > link.workArea[1]) {
    error("msgProjektZaDuzy");
    return tBurnOutcome::tooLarge;
  }
  if (w + st.pos0.x / 100 > link.workArea[0] || h + st.pos0.y / 100 > link.workArea[1]) {
    error("msgBlednyPunktZero");
    return tBurnOutcome::wrongZero;
  }
  // Every line runs up before the picture and out after it: the head
  // travels from the run-up before the work zero to the run-up and one
  // pitch beyond the picture's width. Both ends must stay on the table.
  const double runUp = runUpMm(ops, s.real("WorkSpeed"));
  const double zeroX = st.pos0.x / 100;
  if (zeroX - runUp < 0 || zeroX + s.real("SzerokoscObrazu") + runUp + s.real("BMPKrok") > link.workArea[0]) {
    error("msgBlednyPunktZero");
    return tBurnOutcome::wrongZero;
  }

  if (worker_) {
    worker_->Terminate();
    worker_->WaitFor();
    worker_.reset();
  }
  tEngravingSettings e;
  e.ZadanaSzerokosc = s.real("SzerokoscObrazu");
  e.ZadanaWysokosc = s.real("WysokoscObrazu");
  e.Krok = s.real("BMPKrok");
  e.MocDlaCzarnego = s.real("MocDlaCzarnego");
  e.MocDlaBialego = s.real("MocDlaBialego");
  e.jednokierunkowo = s.flag("Jednokierukowo");
  e.mocSpoczynkowa = s.real("SpoczynkowaMocLasera");
  e.workFeed = s.real("WorkSpeed");
  if (ctx_.busyCursor) ctx_.busyCursor(true);
  worker_ = std::make_unique<tBMPThread>(ops, ctx_.flags, e, project->obraz);
  project_ = project;
  worker_->handOver = ctx_.handOver;
  worker_->monitoringTick = ctx_.monitoringTick;
  worker_->BMPToList();
  if (ctx_.busyCursor) ctx_.busyCursor(false);
  if (worker_->ListaLini.empty()) {
    worker_.reset();
    return tBurnOutcome::noLines;
  }
  project->grawer = true;

  loadSpeedSlot(ops, speedSlot::work, s.real("WorkSpeed"));
  const int full = link.laserFullPower > 0 ? link.laserFullPower : 255;
  setPower(ops, 3,
           static_cast<std::uint16_t>(std::clamp<std::int64_t>(roundEvenInt(e.mocSpoczynkowa * full / 100), 0, 65535)));
  selectSlot(ops, speedSlot::work);
  ctx_.flags.engravingRunning = true;
  worker_->Resume();
  return tBurnOutcome::started;
}

}  // namespace trazvik
