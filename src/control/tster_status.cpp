// Stage C of the monitoring step (status, end of job, displays, locks, the
// end-of-job signal) and the last-position file.
#include "control/tster.h"

#include "base/atomic_file.h"
#include "config/flt_edit.h"
#include "control/last_position.h"
#include "control/slider_scale.h"
#include "machine/speed_code.h"
#include "machine/state_bits.h"

#include <cmath>
#include <ctime>

namespace trazvik {

void Tster::stageC() {
  // Without a link a status read gives nothing true: zeros over USB, the
  // last reply over Ethernet. Nothing is concluded from it.
  if (!ctx_.linkUp()) return;
  ctx_.reader.readStateOnly();
  if (!ctx_.reader.lastReadAnswered()) return;
  if (ctx_.flags.jobStarted && !ctx_.st.bit(stateBit::jobRunning)) endOfJob();
  ctx_.reader.readPositions();
  if (ctx_.linkState().cncMachine) ctx_.reader.readZeroPoint();
  ctx_.reader.readSpeeds();
  ctx_.reader.readPower();
  speedDisplays();
  powerDisplays();
  coordinates();
  locks();
  display_.usbErrors =
      std::to_string(ctx_.linkState().usbReadErrors) + "/" + std::to_string(ctx_.linkState().usbWriteErrors);
  endOfJobSignal();
}

void Tster::endOfJob() {
  ctx_.flags.jobStarted = false;
  if (ctx_.flags.transferInterrupted) {
    // The link went down while the job was being sent: the job did not
    // run to its end, whatever the controller reports now.
    ctx_.flags.transferInterrupted = false;
    ctx_.report(tControlEventKind::jobInterrupted);
    return;
  }
  ctx_.statusBar(0, ctx_.text("Main_window", "msgKoniecObrobki"));
  if (ctx_.settings.signalAtEnd) ctx_.flags.signalPending = true;
  ctx_.report(tControlEventKind::jobEnded);
  if (ctx_.flags.checkBaseMode && ctx_.mainWindow.baseCheckSummary) ctx_.mainWindow.baseCheckSummary();
  if (ctx_.mainWindow.nextTestItem) ctx_.mainWindow.nextTestItem();
}

void Tster::speedDisplays() {
  const tplotstate& st = ctx_.st;
  const tMachineParams& p = ctx_.params();
  const tCommandSet set = commandSetOf(ctx_.machine, ctx_.linkState());
  ZmianaSzybkosciZeStarownika = true;
  if (st.speedc >= 1) {
    std::int64_t v = st.speedc;
    if (!p.wideCommandSet && st.bit(stateBit::jobRunning)) v *= p.speedMultiplier;
    display_.instantaneousFeed = periodToSpeed(v, set);
    display_.instantaneousFeedLabel = std::to_string(display_.instantaneousFeed);
  }
  tPanelTestBits& t = display_.test;
  namespace b = stateBit;
  t.run = st.bit(b::motionRunning);
  t.work = st.bit(b::jobRunning);
  t.power = st.bit(b::toolOn);
  t.homing = st.bit(b::homing);
  t.paused = st.bit(b::jobPaused);
  t.startRequest = st.bit(b::startRequest);
  t.stopRequest = st.bit(b::stopRequest);
  t.continueRequest = st.bit(b::continueRequest);
  t.rasterActive = st.bit(b::rasterEngraving);
  t.programmable1 = st.bit(b::programmableRequest1);
  t.programmable2 = st.bit(b::programmableRequest2);
  t.driverError = st.bit(b::axisDriverError);
  t.selPower = st.sel_power;
  t.selectedZ = st.selectedZ;
  t.selSpeed = st.sel_speed;
  t.selectedV = st.selectedV;

  static const char* const drillSlotKeys[] = {"szybkosc.caption.przestawcza", "szybkosc.caption.robocza",
                                              "szybkosc.caption.szybkosc",    "szybkosc.caption.polerowanie",
                                              "szybkosc.caption.wiercenie",   "szybkosc.caption.cofanie"};
  static const char* const slotKeys[] = {"szybkosc.caption.przestawcza", "szybkosc.caption.robocza",
                                         "szybkosc.caption.szybkosc", "szybkosc.caption.wiercenie"};
  const bool drill = ctx_.linkState().drillSlots;
  const std::size_t slot = st.sel_speed;
  std::string slotText = std::to_string(slot);
  if (drill && slot < 6)
    slotText = ctx_.text("Control_Panel", drillSlotKeys[slot]);
  else if (!drill && slot < 4)
    slotText = ctx_.text("Control_Panel", slotKeys[slot]);
  display_.speedCaption = slotText + " [" + std::string(config::unitName(ctx_.settings.unitIndex)) + "/min]";

  if (p.legacyJogScale) {
    if (slot == 1) {
      const char first = st.info1.empty() ? '\0' : st.info1[0];
      if (std::string("YWREPK").find(first) != std::string::npos && first != '\0')
        display_.speedSliderMax = ctx_.settings.smoothing ? p.maxSmoothFeed : p.maxWorkFeed;
      else
        display_.speedSliderMax = p.speedMultiplier != 0 ? 3000 / p.speedMultiplier : 3000;
    } else if (slot == 0 || slot == 2 || slot == 3) {
      display_.speedSliderMax = p.maxFeedXY;
    }
    if (st.speed != 0) display_.speedSliderPosition = periodToSpeed(st.speed, set);
  } else if (st.selectedV != 4 && st.speed != 0) {
    display_.speedSliderPosition = speedToSlider(periodToSpeed(st.speed, set));
  }
  ZmianaSzybkosciZeStarownika = false;
}

void Tster::powerDisplays() {
  const tplotstate& st = ctx_.st;
  const tMachineParams& p = ctx_.params();
  const bool cnc = ctx_.linkState().cncMachine;
  const bool drill = ctx_.linkState().drillSlots;
  const bool toolOn = st.bit(stateBit::toolOn);
  ZmianaMocyZeStarownika = true;
  if (st.sel_power != shownPowerSlot_ || st.power != shownPower_ || toolOn != shownToolOn_) {
    const bool laserScale = p.isLaser || !cnc;
    static const char* const laserKeys[] = {"moc.caption.moc_robocza", "moc.caption.moc",
                                            "moc.caption.moc_spoczynkowa"};
    static const char* const spindleKeys[] = {"moc.caption.obroty_robocze", "moc.caption.obroty",
                                              "moc.caption.obroty_polerowanie"};
    if (st.sel_power >= 1 && st.sel_power <= 3)
      display_.powerCaption = ctx_.text("Control_Panel", (laserScale ? laserKeys : spindleKeys)[st.sel_power - 1]);
    if (p.knifeAxis)
      display_.powerSliderPosition = st.power;
    else if (laserScale)
      display_.powerSliderPosition = static_cast<int>(st.power * 10000LL / (ctx_.linkState().laserFullPower + 1));
    else if (drill)
      display_.powerSliderPosition = static_cast<int>(std::nearbyint(st.power / 100.0));
    else
      display_.powerSliderPosition = st.power;
    shownPowerSlot_ = st.sel_power;
    shownPower_ = st.power;
    shownToolOn_ = toolOn;
    display_.toolPressed = toolOn;
  }
  if (p.knifeAxis) {
    display_.powerSliderPosition = st.power;
    display_.powerLabel = std::to_string(display_.powerSliderPosition);
  } else if (cnc && !p.isLaser) {
    if (drill) {
      display_.powerSliderPosition = static_cast<int>(std::nearbyint(st.power / 100.0));
      display_.powerLabel = std::to_string(st.power);
    } else {
      display_.powerSliderPosition = st.power;
      display_.powerLabel = std::to_string(display_.powerSliderPosition * 100);
    }
  }
  ZmianaMocyZeStarownika = false;
}

std::string Tster::length(double millimetres) const {
  const int unit = ctx_.settings.unitIndex;
  const int decimals = config::displayDecimalsForUnit(unit, static_cast<int>(ctx_.params().displayDecimals));
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, millimetres / config::unitFactor(unit));
  return text;
}

void Tster::coordinates() {
  const tplotstate& st = ctx_.st;
  const tMachineParams& p = ctx_.params();
  display_.wmx = length(st.abspos.x / 100.0);
  display_.wmy = length(st.abspos.y / 100.0);
  const double z = p.laserZAxis ? (st.abspos.z - st.pos0.z) / 100.0 : (st.pos0.z + st.abspos.z) / 100.0;
  display_.wmz = display_.wpz = length(z);
  double offX = 0, offY = 0;
  if (p.headCount > 1 && st.selectedZ >= 0 && st.selectedZ <= 2) {
    offX = ctx_.settings.headOffsets[static_cast<std::size_t>(st.selectedZ)].x;
    offY = ctx_.settings.headOffsets[static_cast<std::size_t>(st.selectedZ)].y;
  }
  display_.wpx = length(st.abspos.x / 100.0 - st.pos0.x / 100.0 - offX);
  display_.wpy = length(st.abspos.y / 100.0 - st.pos0.y / 100.0 - offY);
  display_.wpV = ctx_.settings.hasKnife ? std::to_string(std::lround(st.abspos.v)) : std::string();
}

void Tster::locks() {
  const bool engraving = ctx_.flags.engravingRunning;
  const bool stopAsked = ctx_.flags.engravingStopRequested;
  const bool bMozna = (!ctx_.st.bit(stateBit::jobRunning) && !engraving) || (engraving && stopAsked);
  SterBlokadaPrzyciskow(bMozna);
  SterBlokadaParamCiecia(!engraving || stopAsked);
}

double Tster::msSinceMidnight() const {
  const auto now = ctx_.now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return ((local.tm_hour * 60.0 + local.tm_min) * 60.0 + local.tm_sec) * 1000.0 + static_cast<double>(ms);
}

void Tster::endOfJobSignal() {
  if (!ctx_.flags.signalPending) return;
  const double now = msSinceMidnight();
  const double last = ctx_.flags.lastSignalTime;
  // A signal given before midnight is due again after it.
  const bool due = last == 0 || now < last || ctx_.settings.signalIntervalSeconds * 1000.0 + last <= now;
  if (!due) return;
  ctx_.flags.lastSignalTime = now;
  if (ctx_.mainWindow.endOfJobSignal) ctx_.mainWindow.endOfJobSignal();
}

void Tster::lastPositionCheck() {
  const auto now = ctx_.now();
  if (now - lastPosTimer_ <= std::chrono::duration<double>(ctx_.flags.lastPosInterval)) return;
  lastPosTimer_ = now;
  if (!ctx_.reader.usbErrorFlag() && ctx_.st.bit(stateBit::jobRunning)) {
    ctx_.reader.readSpeeds();
    if (ctx_.st.sel_speed == 1) {
      ctx_.reader.readPositions();
      writeLastPosition();
      ctx_.flags.lastPosInterval = 10;
      return;
    }
  }
  ctx_.flags.lastPosInterval = 1;
}

bool Tster::writeLastPosition() {
  tLastPositionValues v = lastPositionOf(ctx_.st);
  v.timeOfDay = longTimeText(msSinceMidnight());
  v.transmissionPercent = ctx_.flags.transmissionPercent;
  if (trans_.isOpen) v.filePos = trans_.filePosition();
  v.lastFilePos = ctx_.flags.lastFilePos;
  v.usbReadErrors = ctx_.linkState().usbReadErrors;
  v.usbWriteErrors = ctx_.linkState().usbWriteErrors;
  return base::writeFileAtomically(lastPosName_, lastPositionText(v));
}

}  // namespace trazvik
