// The identified machine: its type code, its parameter record and the values
// identification derives from them.
#pragma once
#include "no_qt.h"

#include "machine/command_lengths.h"
#include "machine/ramp_tables.h"

#include <cstdint>
#include <string>

namespace trazvik {

struct tMachineParams {
  std::int32_t tickScale = 0;                                // applied once to timerTick by some types
  double timerTick = 0;                                      // microseconds per controller timer count
  std::int32_t speedMultiplier = 0;                          // scales feeds, path lengths, reported speeds
  double axisFactorX = 0, axisFactorY = 0, axisFactorZ = 0;  // steps per 0.01 mm
  std::int32_t knifeStepsPerTurn = 0;
  std::uint16_t maxFeedXY = 0, maxWorkFeed = 0, maxTravelFeed = 0, maxFeedZ = 0;
  std::uint16_t maxSmoothFeed = 0, minFeed = 0;  // mm/min
  std::int32_t maxSpindle = 0, minSpindle = 0;   // rpm, or 100 for percent
  std::uint8_t usbGeneration = 0;
  std::uint8_t legacyJogScale = 0;
  std::int32_t radiusFactorStraight = 0, radiusFactorSmooth = 0, radiusFactorSlope = 0;
  std::uint8_t wideCommandSet = 0;
  std::int32_t rampStep = 0;
  std::uint8_t isLaser = 0, laserZAxis = 0;
  std::uint32_t displayDecimals = 0;
  std::int32_t maxJogSpeed = 0;
  std::uint8_t headCount = 0, vacuumPump = 0, knifeAxis = 0;

  bool operator==(const tMachineParams&) const = default;
};

// Everything identification sets besides the link values.
struct tMachineModel {
  std::string machineType = "LFV";
  tMachineParams machineParams{};
  int plungeSlot = 3;
  int retractSlot = 3;
  bool noInverterMarker = false;
  double cornerAngle = 165;      // degrees
  double cornerAngleFlat = 150;  // degrees
  double smoothJointCosine = 0.96;
  float flatMotionCoefficient = 1000;
  float zMotionCoefficient = 45;
  const WideRampTable* wideRamp = &standardWideRamp();
  tCommandLengths commandLengths{};
  bool bezierCommands = false;
  bool safetyEnclosure = false;
  // The axis factors of the last loaded row; calibration always divides
  // these, so repeating it never compounds.
  double loadedAxisFactorX = 0, loadedAxisFactorY = 0, loadedAxisFactorZ = 0;
};

}  // namespace trazvik
