// The controller's side of the status protocol: lays out the USB status
// reports and the Ethernet status reply from the controller's own values.
// The simulator answers with these; the tests round-trip them through the
// decoders.
#pragma once
#include "no_qt.h"

#include "machine/byte_fields.h"
#include "machine/link_state.h"
#include "machine/plot_state.h"
#include "link/status_layout.h"

#include <array>
#include <cstdint>
#include <string>

namespace trazvik {

// What a controller holds, in its own units (steps, wire speed values).
struct tControllerReports {
  std::uint8_t powerMask = 0;
  std::uint64_t stateWord = 0;
  std::array<std::int32_t, 4> position{};  // x, y, z, v in steps
  std::uint32_t headMask = 1;              // bit i: head i active
  std::int32_t selectedV = 0;
  std::array<std::int32_t, 3> zeroPoint{};  // steps
  std::array<std::int32_t, 3> headZeros{};  // steps, heads 1 to 3
  std::uint8_t selectedSpeedSlot = 0;
  std::array<std::int32_t, 6> speedSlots{};  // as sent; reported x speedMultiplier
  std::int32_t currentSpeed = 0;
  std::uint8_t selectedPowerSlot = 0;
  std::array<std::uint16_t, 6> powerSlots{};
  std::uint16_t laserFullPower = 255;
  std::array<std::int32_t, 3> workArea{};        // mm
  std::array<std::int32_t, 3> secondWorkArea{};  // mm
  std::int32_t runningMinutes = 0;
  std::int32_t counter = 0;
  std::string versionText = "CNCv   5.50";  // "v" at 3, digits at 7, 9, 10
  std::uint8_t firmwareMajor = 0, firmwareMinor = 0, firmwareBuild = 0;
  std::array<std::int32_t, 4> inverter{};
  std::uint8_t inputs = 0;
  std::uint8_t driverErrors = 0;
  std::array<float, 3> calibration{1.0f, 1.0f, 1.0f};
  std::int32_t knifeOffset = 0;
  char travelVariant = 'S';
};

// Body of USB report n (10 to 25) for the layout; an unknown number gives an
// empty body.
Bytes encodeUsbReport(int report, const tControllerReports& c, const tStatusLayout& layout);
// The Ethernet reply to "SX" for the layout's firmware.
Bytes encodeEthernetStatus(const tControllerReports& c, const tStatusLayout& layout);

// The controller values that would produce this status (speeds divided back
// by the multiplier and positions scaled back to steps); values the status
// record does not keep are taken from `base`.
tControllerReports controllerReportsFrom(const tplotstate& st, const tLinkState& link, const tStatusLayout& layout,
                                         tControllerReports base = {});

}  // namespace trazvik
