// Everything the control panel shows, as the monitoring loop and the life
// cycle leave it. The desktop program paints these values; the CLI and the
// tests read them.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <map>
#include <string>

namespace trazvik {

struct tPanelTestBits {
  bool run = false, work = false, power = false, homing = false, paused = false;
  bool startRequest = false, stopRequest = false, continueRequest = false;
  bool rasterActive = false, programmable1 = false, programmable2 = false, driverError = false;
  int selPower = 0, selectedZ = 0, selSpeed = 0, selectedV = 0;
};

struct tPanelDisplay {
  bool shown = false;   // the panel window is on screen
  bool active = false;  // the panel is the active window
  std::string caption;

  // Captions and hints of the creation, by component name ("bazuj.Caption", ...).
  std::map<std::string, std::string> captions;

  // Coordinates in the display unit, fixed notation.
  std::string wmx, wmy, wmz;  // machine
  std::string wpx, wpy, wpz;  // relative to the work zero
  std::string wpV;            // knife angle in steps; empty without a knife

  std::string speedCaption;  // group Szybkosc
  int speedSliderPosition = 0, speedSliderMin = 0, speedSliderMax = 0;
  int instantaneousFeed = 0;  // chwilowa
  std::string instantaneousFeedLabel;

  std::string powerCaption;  // group moc
  int powerSliderPosition = 0;
  std::string powerLabel;
  bool toolPressed = false;  // k_zalwyl

  tPanelTestBits test;
  // "waiting for the controller: buffer full, machine idle for N s" while
  // the controller stalls; empty otherwise.
  std::string controllerWait;
  std::string usbErrors;  // read/write counters
  std::string inverterStatus, inverterFreq, inverterAmper;
  bool inverterErrorVisible = false;

  // Locks: jog and set-up buttons, the two Z buttons, speed and power groups.
  bool jogButtonsEnabled = true;
  bool zButtonsEnabled = true;
  bool cuttingParamsEnabled = true;

  // Visibility decided at creation and activation.
  bool pulseTimeVisible = false;
  bool baseCheckButtonVisible = false;
  bool outputsButtonVisible = false;
  bool toolLengthButtonVisible = true;
  bool touchLayout = false;
  int panelHeight = 335;
};

}  // namespace trazvik
