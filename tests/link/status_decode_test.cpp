#include "link/status_decode.h"

#include "status_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace trazvik {
namespace {

using test::putI32;
using test::putLe;

tStatusLayout standardLayout() {
  tStatusLayout l;
  l.axisFactorX = l.axisFactorY = 10;
  l.axisFactorZ = 10;
  l.speedMultiplier = 2;
  l.wideCommandSet = true;
  return l;
}

tStatusLayout extendedLayout() {
  tStatusLayout l = standardLayout();
  l.extended = true;
  return l;
}

TEST(StatusReport, StandardLayoutStateWordIsSignExtended) {
  Bytes r(30, 0);
  r[1] = 0x5A;
  putI32(r, 2, 0x12A);
  tplotstate st;
  decodeStateReport(r, standardLayout(), st, true);
  EXPECT_EQ(st.state, 0x2A);  // bits 1, 3, 5
  EXPECT_TRUE(st.bit(stateBit::jobRunning));
  EXPECT_TRUE(st.bit(stateBit::homing));  // readState reads again while set
  EXPECT_TRUE(st.bit(stateBit::jobStored));
  EXPECT_TRUE(st.bit(8));
  EXPECT_EQ(st.PowerMaska, 0x5A);

  putI32(r, 2, std::int32_t(0x80000001u));
  decodeStateReport(r, standardLayout(), st, true);
  EXPECT_EQ(st.StateExtend, 0xFFFFFFFF80000001ull);
  EXPECT_EQ(st.state, 1);
}

TEST(StatusReport, ExtendedLayoutCarries64BitState) {
  Bytes r(30, 0);
  r[1] = 0x3F;
  putLe(r, 6, stateBit::mask(stateBit::inverterError) | stateBit::mask(stateBit::bufferFull) | 0x41, 8);
  putI32(r, 2, 6);  // head mask, not part of the state
  tplotstate st;
  st.PowerMaska = 7;
  decodeStateReport(r, extendedLayout(), st, false);
  EXPECT_TRUE(st.bit(stateBit::inverterError));
  EXPECT_TRUE(st.bit(stateBit::bufferFull));
  EXPECT_EQ(st.state, 0x41);
  EXPECT_EQ(st.PowerMaska, 7);  // readStateOnly leaves the output mask
  ASSERT_TRUE(headMaskOfStatusReport(r, extendedLayout()));
  EXPECT_EQ(*headMaskOfStatusReport(r, extendedLayout()), 6u);
}

TEST(StatusReport, PositionsOfBothLayouts) {
  struct Case {
    bool extended, knife;
    std::size_t xAt;
    std::int32_t expectedV, expectedSelectedV;
  };
  const Case cases[] = {
      {false, false, 6, 0, 99},  // no knife: v is 0, selectedV kept
      {false, true, 6, -77, 4},  // standard layout: selectedV at 22, v at 26
      {true, false, 14, 0, 99},
      {true, true, 14, -77, 99},  // extended: selectedV comes from report 24
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "extended " << c.extended << " knife " << c.knife);
    tStatusLayout l = c.extended ? extendedLayout() : standardLayout();
    l.knifeAxis = c.knife;
    Bytes r(30, 0);
    putI32(r, c.xAt, 12345);
    putI32(r, c.xAt + 4, -20);
    putI32(r, c.xAt + 8, 3);
    if (!c.extended) putI32(r, 22, 4);
    putI32(r, 26, -77);
    tplotstate st;
    st.selectedV = 99;
    st.realpos.v = 5;
    decodePositionReport(r, l, st);
    recomputeAbsPos(st, l);
    EXPECT_EQ(st.realpos.x, 12345);
    EXPECT_EQ(st.realpos.y, -20);
    EXPECT_EQ(st.realpos.z, 3);
    EXPECT_EQ(st.realpos.v, c.expectedV);
    EXPECT_EQ(st.selectedV, c.expectedSelectedV);
    EXPECT_DOUBLE_EQ(st.abspos.x, 1234.5);
    EXPECT_DOUBLE_EQ(st.abspos.y, -2.0);
    EXPECT_DOUBLE_EQ(st.abspos.v, c.expectedV);
  }
}

TEST(StatusReport, HeadMaskToHeadIndex) {
  struct Case {
    std::uint32_t mask;
    int heads;
    std::int32_t index;
  };
  const Case cases[] = {
      {6, 3, 1},
      {0, 3, 0},
      {4, 3, 2},
      {4, 1, 0},
      {0xFFFF, 1, 0},
      {1u << 15, 3, 15},
      {1u << 16, 3, 0},  // beyond the 16 heads the status record holds
      {(1u << 16) | 8u, 3, 3},
      {0x20, 0, 5},  // headless laser types still follow the mask
  };
  for (const Case& c : cases) EXPECT_EQ(headIndexFromMask(c.mask, c.heads), c.index) << c.mask << " " << c.heads;
}

TEST(StatusReport, HeadReportGivesMaskAndOptionallySelectedV) {
  Bytes r(10, 0);
  putI32(r, 2, 4);
  putI32(r, 6, 4);
  tplotstate st;
  EXPECT_EQ(decodeHeadReport(r, st, false), 4u);
  EXPECT_EQ(st.selectedV, 0);
  decodeHeadReport(r, st, true);
  EXPECT_EQ(st.selectedV, 4);
}

TEST(StatusReport, ZeroPointAndHeadZeros) {
  tStatusLayout l = standardLayout();
  l.axisFactorX = l.axisFactorY = 0.9796599049;
  l.axisFactorZ = 2;
  Bytes r11(14, 0);
  putI32(r11, 2, 1000);
  putI32(r11, 6, -500);
  putI32(r11, 10, 301);
  tplotstate st;
  decodeZeroPointReport(r11, l, st);
  EXPECT_NEAR(st.pos0.x, 1000 / 0.9796599049, 1e-9);  // unrounded
  EXPECT_NEAR(st.pos0.y, -500 / 0.9796599049, 1e-9);
  EXPECT_DOUBLE_EQ(st.pos0.z, 150.5);

  Bytes r21(14, 0);
  putI32(r21, 2, 101);  // 50.5 -> 50 (ties to even)
  putI32(r21, 6, 203);  // 101.5 -> 102
  putI32(r21, 10, -7);
  st.selectedZ = 1;
  decodeHeadZerosReport(r21, l, st);
  EXPECT_EQ(st.pos0Z123[0], 50);
  EXPECT_EQ(st.pos0Z123[1], 102);
  EXPECT_EQ(st.pos0Z123[2], -4);
  EXPECT_EQ(st.pos0.z, 102);
}

TEST(StatusReport, MachineWithoutZAxisShowsZeroZ) {
  tStatusLayout l = standardLayout();
  l.axisFactorZ = 0;
  Bytes r10(30, 0), r11(14, 0);
  putI32(r10, 14, 5000);
  putI32(r11, 10, 5000);
  tplotstate st;
  decodePositionReport(r10, l, st);
  recomputeAbsPos(st, l);
  decodeZeroPointReport(r11, l, st);
  EXPECT_EQ(st.realpos.z, 5000);
  EXPECT_EQ(st.abspos.z, 0);
  EXPECT_EQ(st.pos0.z, 0);
}

TEST(StatusReport, NewerSpeedReport) {
  Bytes r(26, 0);
  r[0] = 4;
  const std::int32_t slots[] = {100, 200, 300, 400, 500, 600};
  for (std::size_t i = 0; i < 6; ++i) putI32(r, 2 + 4 * i, slots[i]);

  // Without the extended layout the slots 4 and 5 are not in the report, and
  // sel_speed 4 copies the drilling slot as it was.
  tplotstate st;
  st.speedWiercenia = 17;
  decodeSpeedReport(r, standardLayout(), st);
  EXPECT_EQ(st.speedp, 200);
  EXPECT_EQ(st.speedpol, 800);
  EXPECT_EQ(st.speedWiercenia, 17);
  EXPECT_EQ(st.speedc, 1000);  // int at 18 x 2
  EXPECT_EQ(st.speed, 17);

  tplotstate ext;
  decodeSpeedReport(r, extendedLayout(), ext);
  EXPECT_EQ(ext.speedWiercenia, 1000);
  EXPECT_EQ(ext.speedcofania, 1200);
  EXPECT_EQ(ext.speed, 1000);

  putI32(r, 18, 40000);  // current speed is capped
  decodeSpeedReport(r, standardLayout(), st);
  EXPECT_EQ(st.speedc, 65535);
  // A damaged reply's negative speed, times the multiplier, must not wrap
  // into a large one; nor a slot beyond 32 bits into a negative one.
  putI32(r, 18, -1879048190);
  putI32(r, 2, 2000000000);
  decodeSpeedReport(r, standardLayout(), st);
  EXPECT_EQ(st.speedc, 0);
  EXPECT_EQ(st.speedp, std::numeric_limits<std::int32_t>::max());
}

TEST(StatusReport, OlderSpeedReportScalesByAxisFactor) {
  tStatusLayout l;
  l.axisFactorX = l.axisFactorY = 0.9794150511;
  l.speedMultiplier = 3;
  Bytes r(14, 0);
  r[0] = 2;
  putLe(r, 2, 1000, 2);
  putLe(r, 4, 2000, 2);
  putLe(r, 6, 3000, 2);
  putLe(r, 8, 4000, 2);
  putLe(r, 12, 50000, 2);
  tplotstate st;
  decodeSpeedReport(r, l, st);
  EXPECT_EQ(st.speedp, std::lround(1000 * 3 * 0.9794150511));
  EXPECT_EQ(st.speedr, std::lround(2000 * 3 * 0.9794150511));
  EXPECT_EQ(st.speedm, std::lround(3000 * 0.9794150511));  // no multiplier
  EXPECT_EQ(st.speedpol, std::lround(4000 * 3 * 0.9794150511));
  EXPECT_EQ(st.speedc, 65535);
  EXPECT_EQ(st.speed, st.speedm);
}

TEST(StatusReport, PowerSlotIsCappedAtFive) {
  Bytes r(16, 0);
  for (std::size_t i = 0; i < 6; ++i) putLe(r, 2 + 2 * i, 1000 + i, 2);
  tplotstate st;
  r[0] = 2;
  decodePowerReport(r, st);
  EXPECT_EQ(st.sel_power, 2);
  EXPECT_EQ(st.power, 1002);
  r[0] = 9;
  decodePowerReport(r, st);
  EXPECT_EQ(st.sel_power, 5);
  EXPECT_EQ(st.power, 1005);

  EXPECT_EQ(laserFullPowerOfPowerReport(r), 255);  // word 0 at 14
  putLe(r, 14, 1000, 2);
  EXPECT_EQ(laserFullPowerOfPowerReport(r), 1000);
  EXPECT_FALSE(laserFullPowerOfPowerReport(Bytes(15, 0)).has_value());
}

TEST(StatusReport, VersionText) {
  struct Case {
    const char* text;
    std::int32_t version;
  };
  const Case cases[] = {
      {"CNCv   5.50", 550},
      {"CNCo   4.25", 425},
      {"CNCx   5.50", 300},
      {"CNCv   x.50", 300},  // digits missing
      {"CNCv   5.5", 300},   // short
      {"", 300},
  };
  for (const Case& c : cases) {
    const Bytes r(c.text, c.text + std::strlen(c.text));
    EXPECT_EQ(controllerVersionOfVersionReport(r), c.version) << c.text;
  }
}

TEST(StatusReport, CalibrationFactors) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    std::size_t size;
    float x, y, z;
    std::array<float, 3> expected;
  };
  const Case cases[] = {
      {14, 1.01f, 0.99f, 1.2f, {1.01f, 0.99f, 1.2f}}, {14, 0.0f, 0.99f, 1.2f, {1.0f, 0.99f, 1.2f}},  // zero factor -> 1
      {14, nan, -2.0f, 1.2f, {1.0f, 1.0f, 1.2f}},      // unusable factors -> 1
      {10, 1.01f, 0.99f, 1.2f, {1.01f, 0.99f, 1.0f}},  // Z did not arrive
      {0, 1.01f, 0.99f, 1.2f, {1.0f, 1.0f, 1.0f}},     // failed read
  };
  for (const Case& c : cases) {
    Bytes r(14, 0);
    const float v[] = {c.x, c.y, c.z};
    for (std::size_t i = 0; i < 3; ++i) {
      std::uint32_t bits;
      std::memcpy(&bits, &v[i], 4);
      putLe(r, 2 + 4 * i, bits, 4);
    }
    r.resize(c.size);
    EXPECT_EQ(calibrationOfReport(r), c.expected) << c.size << " " << c.x;
  }
}

TEST(StatusReport, IdentityFirmwareInputsInverterTravel) {
  tLinkState link;
  tplotstate st;
  Bytes r14(22, 0);
  putI32(r14, 2, 600);
  putI32(r14, 6, 400);
  putI32(r14, 10, 120);
  putI32(r14, 14, 9000);
  putI32(r14, 18, 42);
  decodeIdentityReport(r14, st, link);
  EXPECT_EQ(link.workArea, (std::array<double, 3>{600, 400, 120}));
  EXPECT_EQ(st.info_time, 9000);
  EXPECT_EQ(st.info_ilpl, 42);

  Bytes r19(11, 0);
  r19[0] = 7;
  r19[1] = 22;
  r19[10] = 5;
  decodeFirmwareReport(r19, link);
  EXPECT_EQ(firmwareVersionText(link), "7.22.5");
  decodeFirmwareReport(Bytes{}, link);  // failed read: all zero
  EXPECT_EQ(firmwareVersionText(link), "0.0.0");

  Bytes r17(7, 0);
  r17[2] = 0x08;
  r17[6] = 0x0B;
  decodeInputsReport(r17, link);
  EXPECT_EQ(link.machineInputs, 8);
  EXPECT_EQ(link.driverErrorAxes, 0x0B);

  Bytes r16(18, 0);
  putI32(r16, 2, 1 << 11);
  putI32(r16, 6, 400);
  putI32(r16, 10, 35);
  putI32(r16, 14, -1);
  decodeInverterReport(r16, link);
  EXPECT_EQ(link.inverterStatus, (std::array<std::int32_t, 4>{1 << 11, 400, 35, -1}));

  EXPECT_TRUE(isLongTravelVariant(Bytes{0, 0, 'L'}));
  EXPECT_FALSE(isLongTravelVariant(Bytes{0, 0, 'S'}));
  EXPECT_FALSE(isLongTravelVariant(Bytes{0, 0}));
}

// A report that arrived short is decoded only as far as its bytes go: fields
// beyond the end keep their values, and nothing is read past the buffer.
TEST(StatusReport, ShortReportKeepsMissingFields) {
  Bytes full(30, 0);
  full[1] = 0x11;
  putI32(full, 2, 0x21);
  putI32(full, 6, 1000);
  putI32(full, 10, 2000);
  putI32(full, 14, 3000);
  for (std::size_t len = 0; len <= full.size(); ++len) {
    SCOPED_TRACE(len);
    const Bytes r(full.begin(), full.begin() + std::ptrdiff_t(len));
    tplotstate st;
    st.PowerMaska = 0x77;
    st.StateExtend = 0x40;
    st.state = 0x40;
    st.realpos = {-1, -2, -3, 0, 0};
    decodeStateReport(r, standardLayout(), st, true);
    decodePositionReport(r, standardLayout(), st);
    EXPECT_EQ(st.PowerMaska, len >= 2 ? 0x11 : 0x77);
    EXPECT_EQ(st.state, len >= 6 ? 0x21 : 0x40);
    EXPECT_EQ(st.realpos.x, len >= 10 ? 1000 : -1);
    EXPECT_EQ(st.realpos.y, len >= 14 ? 2000 : -2);
    EXPECT_EQ(st.realpos.z, len >= 18 ? 3000 : -3);
  }
}

}  // namespace
}  // namespace trazvik
