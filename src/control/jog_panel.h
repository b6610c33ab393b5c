// The control panel's keyboard and mouse jog: a press starts one jog (and
// further presses are ignored while it runs), the release stops it with
// "Y"; numpad 5 stops; Insert and numpad 0 switch the tool; Ctrl holds a
// tenth of the slider's feed.
#pragma once
#include "no_qt.h"

#include "control/jog_move.h"
#include "link/machine_ops.h"

#include <cstdint>
#include <functional>

namespace trazvik {

namespace jogKey {
inline constexpr int ctrl = 17;
inline constexpr int insert = 45;
inline constexpr int numpad0 = 96;
inline constexpr int numpad5 = 101;
inline constexpr int numpadPlus = 107;
inline constexpr int numpadMinus = 109;
inline constexpr int f12 = 123;
}  // namespace jogKey

// The panel's motion buttons.
enum class tJogButton { kul, ku, kur, kl, kr, kdl, kd, kdr, kzu, kzd };
tJogDirection directionOfButton(tJogButton button);

class tJogPanel {
 public:
  explicit tJogPanel(tMachineOps& ops) : ops_(ops) {}

  // Settings and panel values the keys consult.
  bool hasKnife = false;                       // the knife is active
  double pulseTimeMs = 3;                      // CzasImpulsu
  std::function<std::int32_t()> sliderFeed;    // the speed slider's feed, mm/min
  std::function<int()> sliderPosition;         // the speed slider's position
  std::function<void(int)> setSliderPosition;  // its change handler sends the feed
  std::function<void()> toggleTestPanel;       // F12 with Shift and Alt
  std::function<void()> redraw;                // after the tool changed
  // Why the last jog went nowhere (tJogBlock::none once one moves again).
  std::function<void(tJogBlock)> blocked;

  // Key handlers; true when the key was acted on.
  bool keyDown(int keyCode, bool shift = false, bool alt = false);
  bool keyUp(int keyCode);
  // Left mouse button on a motion button: jog; release: "Y".
  void buttonDown(tJogButton button);
  void buttonUp(tJogButton button);
  // Left press on STOP while no job runs: the engraving is asked to stop
  // when one runs, else "Y". True when "Y" was sent.
  bool stopButtonDown(bool engravingRunning, bool& engravingStopRequested);

  // Activation of the panel: no jog, no key remembered.
  void reset();

  bool jogActive() const { return jogActive_; }
  bool repetycja() const { return repetycja_; }
  int lastKey() const { return lastKey_; }
  std::int32_t vnorm() const { return vnorm_; }

 private:
  void startJog(tJogDirection direction);
  void stopJog();
  void speedKey(int step);

  tMachineOps& ops_;
  bool jogActive_ = false;
  bool repetycja_ = false;
  int lastKey_ = 0;
  std::int32_t vnorm_ = 0;
};

}  // namespace trazvik
