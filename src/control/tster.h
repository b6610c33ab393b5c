// Tster: the control panel without its widgets. Its timer event is the
// heartbeat of the machine link: it drives the job transfer, polls the
// controller, obeys the machine's start, stop and continue buttons, reacts
// to spindle overload, axis driver errors, an open safety enclosure and a
// lost link, detects and signals the end of a job, refreshes what the panel
// shows (display()) and keeps the last-position file. The caller owns the
// timer: it runs Timer1Timer() and waits interval() before the next one.
#pragma once
#include "no_qt.h"

#include "base/startup_switches.h"
#include "control/control_context.h"
#include "control/panel_display.h"
#include "control/trans_arm.h"
#include "link/ethernet_watchdog.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace trazvik {

class Tster {
 public:
  static constexpr int monitorInterval = 100;   // ms
  static constexpr int activeInterval = 10;     // ms, transfer open or panel active
  static constexpr int noLinkInterval = 3000;   // ms
  static constexpr int inactiveInterval = 500;  // ms, packet link after creation

  Tster(tControlContext& context, TTransArm& transArm);
  ~Tster();
  Tster(const Tster&) = delete;
  Tster& operator=(const Tster&) = delete;

  // ----- life cycle -----
  void FormCreate(const base::StartupSwitches& switches);
  void FormActivate();
  void FormDeactivate();
  void FormDestroy();
  void show() { display_.shown = true; }
  void zamknijClick() { close(); }

  // ----- the loop -----
  void Timer1Timer();
  void Tick();
  void kstopClick();
  // Identification and the speed slider's limits.
  void setVerParam();

  void SterBlokadaPrzyciskow(bool bMozna);
  void SterBlokadaParamCiecia(bool bMoznaZmieniac);

  // ----- what the caller reads -----
  const tPanelDisplay& display() const { return display_; }
  int interval() const { return interval_; }
  bool timerEnabled() const { return timerEnabled_; }
  void setTimerEnabled(bool on) { timerEnabled_ = on; }
  bool zatrzymaj() const { return zatrzymaj_; }
  const std::string& lastPosName() const { return lastPosName_; }
  tEthernetCzuwanie* watchdog() const { return ctx_.watchdog ? ctx_.watchdog() : watchdog_.get(); }
  // The pause (Tster.wstrzymaj) the STOP button runs; set by the job commands.
  std::function<void()> wstrzymaj;

  // Writes "LastPosition.txt" now (the timer event does it when due).
  bool writeLastPosition();
  // "typ.txt" of the data folder.
  std::string machineTypeCachePath() const { return ctx_.dataDirectory + "typ.txt"; }

 private:
  bool stageA();
  bool stageB();
  void requestBits(std::uint64_t bits);
  void driverError(bool set);
  void stageC();
  void endOfJob();
  void speedDisplays();
  void powerDisplays();
  void coordinates();
  void locks();
  void endOfJobSignal();
  // The faults of the link and the controller (tster_faults.cpp).
  void reportEchoFaults();
  void watchLinkFault();
  void watchStall();
  void lastPositionCheck();
  void linkCaption();
  void unitCaptions();
  void close();
  bool commandLinkConnected() const;
  bool messageWaiting() const;
  std::string length(double millimetres) const;
  double msSinceMidnight() const;

  tControlContext& ctx_;
  TTransArm& trans_;
  tPanelDisplay display_;
  std::unique_ptr<tEthernetCzuwanie> watchdog_;
  base::StartupSwitches switches_;
  int interval_ = monitorInterval;
  bool timerEnabled_ = false;
  bool zatrzymaj_ = false;
  bool ZmianaSzybkosciZeStarownika = false;
  bool ZmianaMocyZeStarownika = false;
  std::string lastPosName_;
  std::chrono::system_clock::time_point lastPosTimer_{};
  // What the power display was last built from; 255: rebuild at the next step.
  std::uint8_t shownPowerSlot_ = 255;
  std::uint16_t shownPower_ = 0;
  bool shownToolOn_ = false;
  // Seconds of a stalled controller at which the operator is asked next.
  double nextStallQuestion_ = 0;
};

}  // namespace trazvik
