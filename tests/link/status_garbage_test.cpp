// Hostile input: random report bodies and Ethernet replies of any length are
// decoded without reading past them and without breaking the status record's limits.
#include "link/legacy_replies.h"
#include "link/status_decode.h"

#include <gtest/gtest.h>

#include <random>

namespace trazvik {
namespace {

TEST(StatusGarbage, RandomRepliesKeepPlotStateSound) {
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    Bytes r(rng() % 140);
    for (std::uint8_t& b : r) b = static_cast<std::uint8_t>(rng());
    tStatusLayout l;
    l.extended = rng() % 2;
    l.wideCommandSet = rng() % 2;
    l.knifeAxis = rng() % 2;
    l.headCount = static_cast<int>(rng() % 4);
    l.isLaser = rng() % 2;
    l.axisFactorZ = (rng() % 2) ? 10 : 0;
    l.protocolLevel = static_cast<std::uint16_t>(5 + rng() % 4);
    l.firmwareMinor = static_cast<std::uint16_t>(rng() % 40);
    tplotstate st;
    tLinkState link;
    decodeStateReport(r, l, st, true);
    decodePositionReport(r, l, st);
    st.selectedZ = headIndexFromMask(headMaskOfStatusReport(r, l).value_or(0), l.headCount);
    decodeHeadZerosReport(r, l, st);
    decodeSpeedReport(r, l, st);
    decodePowerReport(r, st);
    decodeEthernetStatus(r, l, st, link);
    decodeLegacySpeed(static_cast<std::uint8_t>(rng()), r, l, st);
    decodeLegacyPower(r, st);
    controllerVersionOfVersionReport(r);
    for (float f : calibrationOfReport(r)) ASSERT_GT(f, 0.0f);
    ASSERT_GE(st.selectedZ, 0);
    ASSERT_LT(st.selectedZ, 16);
    ASSERT_LE(st.sel_power, 5);
    ASSERT_LE(st.speedc, 65535);
    ASSERT_GE(link.laserFullPower, 1);
  }
}

}  // namespace
}  // namespace trazvik
