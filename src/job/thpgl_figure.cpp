// Thpgl: the block of one figure in a job from a drawing (travel, approach,
// plunge or drilling, cutting, retract) and the dispatch by output mode.
#include "job/thpgl_writer.h"

#include "geometry/units.h"
#include "machine/commands_basic.h"
#include "machine/commands_records.h"
#include "job/corner_planner.h"
#include "job/hpgl_export.h"

#include <cmath>

namespace trazvik::job {

void Thpgl::write_figura(tfigura& fig, tLastPoint& ostatniPktFigWwarstwie, const tWarstwa* adresWarstwy) {
  cutMark_.reset();
  doneMark_.reset();
  switch (opt_.outputMode) {
    case kModeDrawing: writeDrawingFigure(fig, ostatniPktFigWwarstwie, adresWarstwy); break;
    case kModeProgram: writeProgramFigure(fig); break;
    case kModeHpgl: writeHpglFigure(fig, s_.WszystkieWjednej, last_pen, buf_); break;
    default: break;
  }
  tnx.clear();
  flush();
}

Thpgl::tPoint Thpgl::pointOf(const tfigura& fig, std::size_t i) const {
  const trpoint3d& p = fig.sp[i];
  return {mmXY(ctx_, p.x - fig.xp), mmXY(ctx_, p.y - fig.yp), mmZ(ctx_, p.z)};
}

void Thpgl::planFigure(tfigura& fig) { minR_ = std::min(minR_, planujPredkosci(fig, plan_, tnx)); }

void Thpgl::writeDrawingFigure(tfigura& fig, tLastPoint& last, const tWarstwa* layer) {
  if (fig.sp.size() < 2) return;
  if (otwarto_jako_wielowarstw && layer && fig.org_color != layer->org_color) return;
  planFigure(fig);
  const tPoint p0 = pointOf(fig, 0);
  pause(10);
  slot(0);
  if (m_.lubrication) outputs(s_.PodczasPrzestawczych ? 0 : 1, outputMask::lubrication);
  if (!m_.laser) outputs(1, outputMask::tool);
  move(p0.x, p0.y, m_.laserZAxis ? st_.travelHeight : s_.safe());
  pause(10);
  if (knife()) {
    const tPoint p1 = pointOf(fig, 1);
    put(thirdAxisRecord(kThirdAxisKnife));
    knifeMove(p0.x, p0.y, knifeTargetOf(ctx_, p1.x - p0.x, p1.y - p0.y), 65535, 1);
    pause(10);
    put(thirdAxisRecord(kThirdAxisZ));
  }
  if (fig.otwor && s_.PrzedWierceniem && m_.lubrication) outputs(0, outputMask::lubrication);
  cutMark_ = offset();
  approach(p0);
  if (fig.otwor) {
    drillPoint(fig);
  } else {
    lubrication(s_.PodczasCiecia);
    plungeAndStart(p0);
    cuttingMoves(fig, layer);
  }
  // The last cutting move has run: the rest only ends the cut and retracts.
  doneMark_ = offset();
  endOfCutting();
  retract(fig, last);
  pause(10);
  slot(0);
  if (!m_.laser) outputs(1, outputMask::tool);
  if (m_.lubrication && !s_.PodczasPrzestawczych) outputs(1, outputMask::lubrication);
}

void Thpgl::approach(const tPoint& p0) {
  if (m_.laserZAxis) {
    move(p0.x, p0.y, st_.travelHeight);
    pause(10);
    slot(1);
    return;
  }
  move(p0.x, p0.y, s_.top() + 1);
  pause(10);
  loadPlungeFeed();
  if (m_.spindleWait) spindleWaitRecord();
  slot(plungeSlot());
  move(p0.x, p0.y, s_.top());
  pause(10);
  slot(1);
}

// A drill point: one laser pulse, or peck drilling at the second toolpath
// point down to its depth, backing off half a millimetre after each peck.
void Thpgl::drillPoint(const tfigura& fig) {
  if (m_.laser) {
    pause(1);
    outputs(1, outputMask::tool);
    const double ms = std::nearbyint(s_.CzasImpulsu);
    if (!(ms >= 0) || ms > 4294967295.0) throw tJobRangeError("laser pulse time out of range");
    put(laserPulseTimeRecord(static_cast<std::uint32_t>(ms)));
    put(laserPulseRecord());
    put(pulseTimeEchoRecord(static_cast<std::uint32_t>(ms)));
    pause(1);
    outputs(0, outputMask::tool);
    pause(1);
    return;
  }
  const tPoint b = pointOf(fig, 1);
  lubrication(s_.PodczasWiercenia);
  auto plungeTo = [&](double z) {
    pause(10);
    loadPlungeFeed();
    slot(plungeSlot());
    move(b.x, b.y, z);
  };
  double v = s_.top();
  if (s_.Skok_wiercenia > 0) {
    while (v - s_.Skok_wiercenia > b.z) {
      v -= s_.Skok_wiercenia;
      plungeTo(v);
      pause(10);
      loadRetractFeed();
      slot(retractSlot());
      move(b.x, b.y, v + 0.5);
      plungeTo(v);
    }
  }
  plungeTo(b.z);
  pause(10);
}

void Thpgl::plungeAndStart(const tPoint& p0) {
  if (!s_.cbZejsciePoSpirali && !s_.polerowanie && !otwarto_jako_wielowarstw && !m_.laserZAxis) {
    pause(10);
    loadPlungeFeed();
    slot(plungeSlot());
    move(p0.x, p0.y, s_.top() - s_.Glebokosc);
    pause(10);
    slot(1);
  }
  if (m_.cnc && s_.wygladzanie && !m_.wide) put(smoothingCommand(true));
  if (!m_.laser) {
    outputs(1, outputMask::tool);
    if (m_.spindleWait) spindleWaitRecord();
  } else if (!s_.LotnyStart) {
    pause(1);
    outputs(1, outputMask::tool);
    put(laserOnRecord());
  }
}

void Thpgl::beamOff() {
  if (s_.LaserMiekkiStart)
    outputs(1, outputMask::bothTools);
  else
    put(laserOffRecord());
}

void Thpgl::endOfCutting() {
  if (m_.laser) {
    pause(1);
    beamOff();
  }
  if (m_.cnc && s_.wygladzanie && !m_.wide) put(smoothingCommand(false));
  pause(2);
  if (knife()) put(thirdAxisRecord(kThirdAxisZ));
  loadRetractFeed();
  slot(m_.laser ? 0 : retractSlot());
}

void Thpgl::retract(const tfigura& fig, tLastPoint& last) {
  // The tool leaves the material where its cut ended: the end of the
  // Bezier chain when the chain was cut.
  const bool chain = cutsBezierChain(fig);
  const trpoint3d& lp = chain ? fig.SpiralaBezier.back().D : fig.sp.back();
  last.x = toMm(FileType, lp.x - fig.xp);
  last.y = toMm(FileType, lp.y - fig.yp);
  const tPoint p = chain ? tPoint{mmXY(ctx_, lp.x - fig.xp), mmXY(ctx_, lp.y - fig.yp), mmZ(ctx_, lp.z)}
                         : pointOf(fig, fig.sp.size() - 1);
  if (m_.laserZAxis) {
    move(p.x, p.y, st_.travelHeight);
    last.z = st_.travelHeight;
    return;
  }
  move(p.x, p.y, s_.top());
  pause(10);
  slot(0);
  if (m_.drillSlots) outputs(1, outputMask::tool);
  move(p.x, p.y, s_.safe());
  last.z = s_.safe();
}

}  // namespace trazvik::job
