// The latest known machine status, as the status operations left it.
#pragma once
#include "no_qt.h"

#include "geometry/records.h"
#include "machine/state_bits.h"

#include <array>
#include <cstdint>
#include <string>

namespace trazvik {

struct tplotstate {
  std::uint16_t state = 0;        // low byte of StateExtend
  std::uint64_t StateExtend = 0;  // full state word, see stateBit
  tpoint4d realpos;               // motor steps; v is the knife axis
  trpoint4d abspos;               // hundredths of a millimetre (v unscaled)
  std::uint8_t sel_speed = 0;     // 0 travel 1 work 2 manual 3 polish 4 drill 5 retract
  std::int32_t speed = 0;         // value of the selected slot
  std::int32_t speedp = 0, speedr = 0, speedm = 0, speedpol = 0;
  std::int32_t speedWiercenia = 0, speedcofania = 0;
  std::int32_t speedc = 0;     // instantaneous, capped at 65535
  std::uint8_t sel_power = 0;  // 0 to 5
  std::uint16_t power = 0;     // value of the selected power slot
  std::int32_t error = 0;
  trpoint3d pos0;                   // work zero, hundredths of a millimetre
  std::string info0, info1, info2;  // maker, product, serial number
  std::int32_t info_time = 0;       // running time in minutes
  std::int32_t info_ilpl = 0;       // controller's running counter
  std::string info_ver;
  std::uint8_t PowerMaska = 0;
  std::int32_t selectedZ = 0;         // active head 0 to 15
  std::int32_t selectedV = 0;         // V-axis mode
  std::array<double, 16> pos0Z123{};  // Z zero per head, hundredths of a mm

  bool bit(int n) const { return (StateExtend & stateBit::mask(n)) != 0; }
};

// The speed of the slot named by sel_speed; an unknown slot leaves speed alone.
void selectSpeedSlot(tplotstate& st);

}  // namespace trazvik
