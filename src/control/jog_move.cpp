#include "control/jog_move.h"

#include "texts/interfejs.h"

#include "link/knife_operations.h"
#include "link/move_operations.h"

#include <algorithm>
#include <cmath>

namespace trazvik {

namespace {

double nearest(double v) { return std::isfinite(v) ? std::nearbyint(v) : 0; }

std::int32_t steps(double hundredths, double factor) {
  const double v = nearest(hundredths * factor);
  return static_cast<std::int32_t>(std::clamp(v, -2147483647.0, 2147483647.0));
}

// Older machines whose Z moves need a doubled path length.
bool doubledZPath(const tplotstate& st, const tMachineModel& machine) {
  return (!st.info1.empty() && st.info1[0] == '4') || machine.machineType == "FV " || machine.machineType == "LFV";
}

}  // namespace

std::optional<tJogDirection> jogDirectionOfKey(int keyCode) {
  switch (keyCode) {
    case 33: return tJogDirection::zUp;
    case 34: return tJogDirection::zDown;
    case 37:
    case 100: return tJogDirection::left;
    case 39:
    case 102: return tJogDirection::right;
    case 38:
    case 104: return tJogDirection::up;
    case 40:
    case 98: return tJogDirection::down;
    case 97: return tJogDirection::downLeft;
    case 99: return tJogDirection::downRight;
    case 103: return tJogDirection::upLeft;
    case 105: return tJogDirection::upRight;
    default: return std::nullopt;
  }
}

tJogDelta jogDelta(tJogDirection direction, const tplotstate& st, const tLinkState& link,
                   const tMachineModel& machine) {
  const tMachineParams& p = machine.machineParams;
  tJogDelta d;
  d.multiplier = p.wideCommandSet ? p.speedMultiplier : 1;
  const double maxX = nearest(link.workArea[0] * 100);
  const double maxY = nearest(link.workArea[1] * 100);
  const double x = st.abspos.x, y = st.abspos.y, z = st.abspos.z;
  switch (direction) {
    case tJogDirection::zUp:
      d.dz = p.laserZAxis ? st.pos0.z - z : -z;
      if (doubledZPath(st, machine)) d.multiplier = 2;
      break;
    case tJogDirection::zDown:
      d.dz = p.laserZAxis ? -z : -(st.pos0.z + z);
      if (doubledZPath(st, machine)) d.multiplier = 2;
      break;
    case tJogDirection::left: d.dx = -x; break;
    case tJogDirection::right: d.dx = maxX - x; break;
    case tJogDirection::up: d.dy = maxY - y; break;
    case tJogDirection::down: d.dy = -y; break;
    case tJogDirection::downLeft: {
      const double e = nearest(std::min(y, x));
      d.dx = d.dy = -e;
      break;
    }
    case tJogDirection::downRight: {
      const double e = nearest(std::min(y, link.workArea[0] * 100 - x));
      d.dx = e;
      d.dy = -e;
      break;
    }
    case tJogDirection::upLeft: {
      const double e = nearest(std::min(link.workArea[1] * 100 - y, x));
      d.dx = -e;
      d.dy = e;
      break;
    }
    case tJogDirection::upRight: {
      const double e = nearest(std::min(link.workArea[1] * 100 - y, link.workArea[0] * 100 - x));
      d.dx = d.dy = e;
      break;
    }
  }
  const bool diagonal = direction == tJogDirection::downLeft || direction == tJogDirection::downRight ||
                        direction == tJogDirection::upLeft || direction == tJogDirection::upRight;
  if (diagonal && !link.cncMachine) d.multiplier = 2;
  return d;
}

tJogBlock jogBlockOf(tJogDirection direction, const tJogDelta& delta, const tplotstate& st,
                     const tMachineModel& machine) {
  // Z goes down only as far as the work zero's Z, which a fresh machine
  // does not have until the tool length is measured: without it Page Down
  // never goes down, wherever Z stands.
  if (direction == tJogDirection::zDown && !machine.machineParams.laserZAxis && !(st.pos0.z > 0))
    return tJogBlock::noZZero;
  if (delta.any()) return tJogBlock::none;
  const bool zAxis = direction == tJogDirection::zUp || direction == tJogDirection::zDown;
  if (!zAxis) return tJogBlock::endOfTravel;
  return direction == tJogDirection::zUp ? tJogBlock::zAtTop : tJogBlock::zAtZZero;
}

std::string jogBlockText(tJogBlock block, const texts::tInterfejs& texts) {
  switch (block) {
    case tJogBlock::none: return {};
    case tJogBlock::noZZero: return texts.dajTxt("Control_Panel", "msgJogBrakZeraZ");
    case tJogBlock::zAtTop: return texts.dajTxt("Control_Panel", "msgJogZNaGorze");
    case tJogBlock::zAtZZero: return texts.dajTxt("Control_Panel", "msgJogZNaZerze");
    case tJogBlock::endOfTravel: return texts.dajTxt("Control_Panel", "msgJogKoniecObszaru");
  }
  return {};
}

bool jogTo(tMachineOps& ops, tJogDirection direction, bool hasKnife) {
  if (!settled(ops, waitWhileBusy(ops))) return false;
  const tJogDelta d = jogDelta(direction, ops.st, ops.linkState(), ops.machine);
  if (d.any()) {
    // A jog of Z alone has no direction: the knife stays as it is.
    if (hasKnife && (d.dx != 0 || d.dy != 0) && !rotateKnifeTo(ops, d.dx, d.dy)) return false;
    const tMachineParams& p = ops.params();
    const std::int32_t sx = steps(d.dx, p.axisFactorX), sy = steps(d.dy, p.axisFactorY),
                       sz = steps(d.dz, p.axisFactorZ);
    const double length = std::nearbyint(std::sqrt(double(sx) * sx + double(sy) * sy + double(sz) * sz) + 0.5);
    if (length > 0) moveSteps(ops, d.multiplier, sx, sy, sz);
    ops.wait(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace trazvik
