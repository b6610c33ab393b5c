// Everything the simulated controller remembers between commands, in its own
// units: axis positions in steps, zeros in steps, speed slots and powers as
// they came over the link, outputs, parameters and the flags behind the state
// word.
#pragma once
#include "no_qt.h"

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

namespace trazvik::sim {

// Axis indexes of a position: Z is the Z of one head.
enum Axis : int { axisX = 0, axisY = 1, axisZ = 2, axisV = 3 };

struct MachineState {
  double x = 0, y = 0, v = 0;  // steps (fractional while moving)
  std::array<double, 3> z{};   // steps, one Z per head
  int selectedHead = 0;        // 0 to 2
  int thirdAxisMode = 0;       // 4: moves drive the knife axis, 0: Z

  std::array<std::int32_t, 3> zeroPoint{};   // steps
  std::array<std::int32_t, 3> headZeros{};   // steps, heads 1 to 3
  std::array<std::int32_t, 2> headOffset{};  // steps, of the active head

  std::array<std::int32_t, 6> speedSlots{};  // as loaded over the link
  std::uint8_t selectedSpeedSlot = 2;
  std::array<std::uint16_t, 6> powerSlots{};
  std::uint8_t selectedPowerSlot = 1;

  std::uint8_t outputs = 0xC0;  // tool bits 0x01/0x02; 0xC0 set: lubrication off
  bool beamOn = false;          // laser beam (records "SLS"/"SLC")
  bool dustExtraction = false, vacuumPump = false;
  std::array<bool, 3> headEngaged{};
  std::array<std::uint8_t, 256> parameters{};  // machine parameter bytes ("S" 0x0D)
  std::int32_t acceleration = 0;
  std::int32_t laserPulseMs = 0;
  std::array<std::uint8_t, 4> address{192, 168, 0, 100};
  bool smoothing = false;
  bool toolMeasureArmed = false;
  bool raster = false;
  int rasterDataPackets = 0;  // pixel packets still expected after "SBD"
  // Pixel bytes of the lines received and not yet burnt, oldest first (the
  // next line arrives while the machine still burns the one before).
  std::deque<std::vector<std::uint8_t>> rasterLines;
  std::vector<std::uint8_t> rasterArmedLine;  // the line the next move burns
  bool rasterArmed = false;                   // "SBS": the next move burns the line
  bool rasterGreyMapped = false;              // "SBV": pixels are grey levels the controller maps
  float rasterBlack = 0, rasterWhite = 0;     // percent, of "SBV"

  bool jobRunning = false;
  bool jobPaused = false;
  bool heldForEmptyBuffer = false;
  std::uint64_t requests = 0;      // button bits, cleared once reported
  std::uint64_t heldRequests = 0;  // button bits held down
  std::uint8_t inputs = 0;
  std::uint8_t driverErrorAxes = 0;
  bool inverterError = false;
  bool holdBufferFull = false;

  bool laser = false;  // the machine's tool is a laser beam

  // A laser emits only while its beam is switched on ("SLS" to "SLC") and
  // its gate output 0x01 is open; a router's tool runs on either output.
  bool toolOn() const { return laser ? beamOn && (outputs & 0x01) != 0 : (outputs & 0x03) != 0 || beamOn; }
  std::int32_t headMask() const { return std::int32_t{1} << selectedHead; }
};

}  // namespace trazvik::sim
