// What the layout of the controller's status reports depends on: the machine
// family, its scales and the firmware version. Decoders and encoders take it
// explicitly so the workstation and the simulator share them.
#pragma once
#include "no_qt.h"

#include <cstddef>
#include <cstdint>

namespace trazvik {

struct tLinkState;
struct tMachineModel;

struct tStatusLayout {
  bool extended = false;        // 64-bit state word, extended reports (drillSlots)
  bool wideCommandSet = false;  // newer speed report
  bool knifeAxis = false;
  int headCount = 1;
  bool isLaser = false;
  double axisFactorX = 1, axisFactorY = 1, axisFactorZ = 1;
  int speedMultiplier = 1;
  std::uint16_t protocolLevel = 0;
  std::uint16_t firmwareMinor = 0;

  bool firmwareAtLeast(int a, int b) const { return protocolLevel * 100 + firmwareMinor >= a * 100 + b; }
  // Shift of the second half of the Ethernet status reply: 0 below level 7,
  // 8 for 7.0 to 7.19, 12 from 7.20.
  std::size_t ethernetShift() const {
    if (protocolLevel < 7) return 0;
    return firmwareAtLeast(7, 20) ? 12 : 8;
  }
  // Bytes of a complete Ethernet status reply for this firmware.
  std::size_t ethernetReplySize() const { return ethernetShift() + 106; }
};

tStatusLayout statusLayoutOf(const tMachineModel& machine, const tLinkState& link);

// USB report numbers (string descriptor indexes).
namespace usbReport {
inline constexpr int status = 10;
inline constexpr int zeroPoint = 11;
inline constexpr int speeds = 12;
inline constexpr int power = 13;
inline constexpr int identity = 14;
inline constexpr int versionText = 15;
inline constexpr int inverter = 16;
inline constexpr int inputs = 17;
inline constexpr int calibration = 18;
inline constexpr int firmware = 19;
inline constexpr int headZeros = 21;
inline constexpr int knifeOffset = 22;
inline constexpr int secondArea = 23;
inline constexpr int heads = 24;
inline constexpr int travelVariant = 25;
}  // namespace usbReport

}  // namespace trazvik
