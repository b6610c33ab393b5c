#include "link/legacy_replies.h"

#include <algorithm>
#include <cmath>

namespace trazvik {

namespace {
double roundedScaled(std::int32_t steps, double factor) { return factor != 0 ? std::nearbyint(steps / factor) : 0.0; }
}  // namespace

void decodeLegacyState(ByteSpan reply, tplotstate& st) {
  const auto b = ByteFields(reply).u8(0);
  st.state = b ? *b : 0;
  st.StateExtend = st.state;
}

void decodeLegacyPositions(ByteSpan reply, tplotstate& st) {
  const ByteFields f(reply);
  takeIf(st.realpos.x, f.i24(0));
  takeIf(st.realpos.y, f.i24(3));
  takeIf(st.realpos.z, f.i24(6));
}

void decodeLegacyZeroXY(ByteSpan reply, const tStatusLayout& layout, tplotstate& st) {
  const ByteFields f(reply);
  if (auto x = f.i24(0)) st.pos0.x = roundedScaled(*x, layout.axisFactorX);
  if (auto y = f.i24(3)) st.pos0.y = roundedScaled(*y, layout.axisFactorY);
}

void decodeLegacyZeroZ(ByteSpan reply, const tStatusLayout& layout, tplotstate& st) {
  if (auto z = ByteFields(reply).i24(0)) st.pos0.z = roundedScaled(*z, layout.axisFactorZ);
}

void decodeLegacyPower(ByteSpan reply, tplotstate& st) {
  const ByteFields f(reply);
  if (auto sel = f.u8(0)) st.sel_power = std::min<std::uint8_t>(*sel, 5);
  takeIf(st.power, f.u8(1));
}

void decodeLegacySpeed(std::uint8_t argument, ByteSpan reply, const tStatusLayout& layout, tplotstate& st) {
  const ByteFields f(reply);
  takeIf(st.sel_speed, f.u8(0));
  const auto value = f.u16(1);
  if (!value) return;
  const std::int32_t m = layout.speedMultiplier;
  const std::int32_t v = *value;
  switch (argument) {
    case 1: st.speedr = v * m; break;
    case 0: st.speedp = v * m; break;
    case 2: st.speedm = v; break;
    case 3: st.speedpol = (!st.info1.empty() && st.info1[0] == 'L') ? v : v * m; break;
    case 255: st.speedc = v; break;
    default: return;
  }
  selectSpeedSlot(st);
}

void decodeLegacyInfo(std::uint8_t argument, ByteSpan reply, tplotstate& st, tLinkState& link) {
  const ByteFields f(reply);
  auto text = [&]() {
    std::string s;
    for (std::size_t i = 0; i < std::min<std::size_t>(8, reply.size()); ++i) s.push_back(static_cast<char>(reply[i]));
    return s;
  };
  if (reply.empty()) return;
  switch (argument) {
    case 0: st.info0 = text(); break;
    case 1: st.info1 = text(); break;
    case 2: st.info2 = text(); break;
    case 4:
      takeIf(st.info_time, f.i24(0));
      takeIf(st.info_ilpl, f.u16(3));
      break;
    case 3:
      for (std::size_t i = 0; i < 3; ++i) takeIf(link.workArea[i], f.u16(2 * i));
      break;
    default: break;
  }
}

}  // namespace trazvik
