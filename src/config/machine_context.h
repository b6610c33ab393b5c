// What the settings dialog needs to know about the identified machine and
// the program's switches: the machine-dependent limits, captions, enabling
// and visibility. The link side fills it from the identified machine type.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <string>

namespace trazvik::config {

struct MachineContext {
  bool identified = false;  // false: no controller seen yet, declared limits stay
  std::string machineType = "LFV";
  std::string info1;  // the controller's identification text
  bool isLaser = false;
  bool laserZAxis = false;
  bool cncMachine = false;
  bool usbGeneration = false;
  bool drillSlots = false;
  bool knifeAxis = false;
  int headCount = 1;
  int controllerVersion = 0;
  int displayDecimals = 2;
  std::uint16_t minFeed = 0;
  std::uint16_t maxFeedXY = 0;  // highest feed in X and Y; 0 while no machine is known
  std::uint16_t maxWorkFeed = 0;
  std::uint16_t maxTravelFeed = 0;
  std::uint16_t maxFeedZ = 0;
  std::uint16_t maxSmoothFeed = 0;
  std::int32_t minSpindle = 0;
  std::int32_t maxSpindle = 0;
  std::int32_t radiusFactorStraight = 0;
  bool bezierCommands = false;      // the controller cuts Bezier records
  double smoothJointCosine = 0.96;  // a joint turning less than this cosine is smooth
  double axisFactorX = 0;           // steps per 0.01 mm
  double workAreaX = 0;             // millimetres
  double workAreaY = 0;
};

// Command-line switches that change the settings dialog.
struct DialogSwitches {
  bool service = false;     // "service"
  bool ethernet = false;    // "Ethernet"
  bool arcV = false;        // "arcV"
  bool calib = false;       // "kalib" or "calib"
  bool touchPanel = false;  // "touchPanel"
};

}  // namespace trazvik::config
