// The control panel's two sliders without their widgets: the manual feed
// slider (a position that is the feed on machines with the legacy jog
// scale, a non-linear scale otherwise) and the power slider, whose scale
// depends on the kind of machine. The panel widget shows what these
// functions compute and sends the feed or power they give.
#pragma once
#include "no_qt.h"

#include "control/slider_scale.h"
#include "machine/link_state.h"
#include "machine/machine_params.h"

#include <cstdint>
#include <string>

namespace trazvik::panel {

// What the sliders need to know about the identified machine.
struct tSliderMachine {
  bool legacyJogScale = false;
  bool wideCommandSet = false;
  bool drillSlots = false;
  bool isLaser = false;
  bool cncMachine = true;
  bool knifeAxis = false;
  int minFeed = 0, maxFeedXY = 0, maxWorkFeed = 0, maxSmoothFeed = 0,
      maxJogSpeed = 0;  // mm/min; maxJogSpeed in positions
  int speedMultiplier = 1;
  int minSpindle = 0, maxSpindle = 0;
  int laserFullPower = 255;
  double axisFactorZ = 1;
  std::string info1;  // the controller's identification text
};
tSliderMachine sliderMachineOf(const tMachineModel& machine, const tLinkState& link, const std::string& info1);

// The non-linear scale: positions 0 to 99 step by 1 mm/min, 100 to 189 by
// 10 and from 190 by 100 mm/min (the way back is speedToSlider).
int sliderToSpeed(int position);

// --- feed slider ---
struct tSliderRange {
  int minimum = 0, maximum = 0;
};
// Limits at activation: minimum minFeed; on the legacy scale maxFeedXY, or
// for the working slot (1) maxSmoothFeed with smoothing, else maxWorkFeed;
// on the non-linear scale maxJogSpeed (positions).
tSliderRange speedSliderRange(const tSliderMachine& m, int selectedSlot, bool smoothing);

// What a change of the feed slider gives (VScrollChange).
struct tSpeedSliderChange {
  int position = 0;            // where the slider is set (snapped to the band's grid)
  std::int64_t labelFeed = 0;  // mm/min, rounded to the band (before the unit)
  int largeStep = 0, smallStep = 0;
  std::int64_t feedToLoad = 0;  // mm/min loaded into the selected slot
};
tSpeedSliderChange speedSliderChanged(const tSliderMachine& m, int position, int selectedSlot, bool smoothing);
// The label text: the feed in the display unit (0 mm, 1 inch, 2 feet) without decimals.
std::string speedLabelText(std::int64_t feedMmPerMin, int unitIndex);

// Numpad + (direction 1) and - (-1): the new slider position.
int speedSliderKeyStep(const tSliderMachine& m, int position, int direction);

// The feed the slider stands for (what Ctrl takes a tenth of).
std::int64_t sliderFeed(const tSliderMachine& m, int position);

// --- power slider ---
enum class tPowerScale { laser, plotter, knife, spindle };
tPowerScale powerScaleOf(const tSliderMachine& m);

struct tPowerSlider {
  int minimum = 0, maximum = 0, largeStep = 0, smallStep = 0;
  int position = 0;
};
// Range and position at activation from the status power.
tPowerSlider powerSliderAtActivation(const tSliderMachine& m, int power);
// The label beside the slider for a position (laser: percent with two
// decimals and `separator`, "100" from 9980 on).
std::string powerLabelText(const tSliderMachine& m, int position, char separator);
// The status power a slider position stands for (PScrollChange).
int powerFromPosition(const tSliderMachine& m, int position);

}  // namespace trazvik::panel
