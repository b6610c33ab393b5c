#include "link/status_decode.h"

#include "status_test_util.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

using test::putI32;
using test::putLe;

tStatusLayout layoutAt(int level, int minor) {
  tStatusLayout l;
  l.axisFactorX = l.axisFactorY = l.axisFactorZ = 10;
  l.speedMultiplier = 2;
  l.wideCommandSet = true;
  l.protocolLevel = static_cast<std::uint16_t>(level);
  l.firmwareMinor = static_cast<std::uint16_t>(minor);
  return l;
}

// A reply laid out by hand for shift p (independent of the encoder).
Bytes handReply(std::size_t p) {
  Bytes r(p + 106, 0);
  r[3] = 0x21;
  putI32(r, 4, 0x243);  // bits 0, 1, 6, 9
  putI32(r, 8, 1000);
  putI32(r, 12, -2000);
  putI32(r, 16, 30);
  putI32(r, 20, 2);
  putI32(r, 24, 4);
  putI32(r, 32, -90);
  putI32(r, p + 24, 5000);
  putI32(r, p + 28, 6000);
  putI32(r, p + 32, 700);
  putI32(r, p + 40, 610);
  putI32(r, p + 44, 410);
  putI32(r, p + 48, 110);
  putI32(r, p + 52, 777);
  putI32(r, p + 56, 88);
  r[p + 62] = 1;
  for (std::size_t i = 0; i < 4; ++i) putI32(r, p + 64 + 4 * i, 100 * std::int32_t(i + 1));
  putI32(r, p + 80, 123);
  r[p + 90] = 3;
  for (std::size_t i = 0; i < 6; ++i) putLe(r, p + 92 + 2 * i, 10 + i, 2);
  r[p + 104] = 0xE8;
  r[p + 105] = 0x03;  // 1000
  return r;
}

TEST(EthernetStatus, ZeroPointOffsetFollowsFirmware) {
  struct Case {
    int level, minor;
    std::size_t zeroAt;
  };
  const Case cases[] = {{6, 40, 24}, {7, 5, 32}, {7, 19, 32}, {7, 20, 36}, {9, 12, 36}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.level << "." << c.minor);
    const tStatusLayout l = layoutAt(c.level, c.minor);
    EXPECT_EQ(l.ethernetShift() + 24, c.zeroAt);
    Bytes r(l.ethernetReplySize(), 0);
    putI32(r, c.zeroAt, 12340);
    tplotstate st;
    tLinkState link;
    ASSERT_TRUE(decodeEthernetStatus(r, l, st, link));
    EXPECT_DOUBLE_EQ(st.pos0.x, 1234.0);
  }
}

TEST(EthernetStatus, FullReplyAtEachFirmwareRange) {
  struct Case {
    int level, minor;
    std::size_t p;
  };
  for (const Case c : {Case{6, 34, 0}, Case{7, 5, 8}, Case{7, 20, 12}}) {
    SCOPED_TRACE(testing::Message() << c.level << "." << c.minor);
    tStatusLayout l = layoutAt(c.level, c.minor);
    l.isLaser = true;
    tplotstate st;
    st.selectedZ = 1;
    st.selectedV = 9;
    st.realpos.v = 55;
    st.speedWiercenia = 321;
    tLinkState link;
    link.ethernetError = 100;
    ASSERT_TRUE(decodeEthernetStatus(handReply(c.p), l, st, link));
    EXPECT_EQ(link.ethernetError, 0);
    EXPECT_EQ(st.PowerMaska, 0x21);
    EXPECT_EQ(st.state, 0x43);
    EXPECT_TRUE(st.bit(stateBit::bufferFull));
    EXPECT_EQ(st.realpos.x, 1000);
    EXPECT_EQ(st.realpos.y, -2000);
    EXPECT_DOUBLE_EQ(st.abspos.y, -200.0);
    EXPECT_DOUBLE_EQ(st.pos0.x, 500.0);
    EXPECT_DOUBLE_EQ(st.pos0.y, 600.0);
    EXPECT_DOUBLE_EQ(st.pos0.z, 70.0);
    EXPECT_EQ(link.workArea, (std::array<double, 3>{610, 410, 110}));
    EXPECT_EQ(st.info_time, 777);
    EXPECT_EQ(st.info_ilpl, 88);
    EXPECT_EQ(st.sel_speed, 1);
    EXPECT_EQ(st.speedp, 200);
    EXPECT_EQ(st.speedr, 400);
    EXPECT_EQ(st.speedm, 600);
    EXPECT_EQ(st.speedpol, 800);
    EXPECT_EQ(st.speed, 400);
    EXPECT_EQ(st.speedc, 246);
    EXPECT_EQ(st.speedWiercenia, 321);  // not carried over Ethernet
    EXPECT_EQ(st.sel_power, 3);
    EXPECT_EQ(st.power, 13);
    EXPECT_EQ(link.laserFullPower, 1000);
    if (c.level < 7) {
      EXPECT_EQ(st.selectedZ, 0);
      EXPECT_EQ(st.selectedV, 0);
      EXPECT_EQ(st.realpos.v, 0);
    } else {
      EXPECT_EQ(st.selectedZ, 2);
      EXPECT_EQ(st.selectedV, 4);
      EXPECT_EQ(st.realpos.v, c.minor >= 20 ? -90 : 55);
    }
  }
}

TEST(EthernetStatus, EmptyReplyChangesNothing) {
  tplotstate st;
  st.StateExtend = 3;
  st.realpos.x = 42;
  tLinkState link;
  EXPECT_FALSE(decodeEthernetStatus(Bytes{}, layoutAt(7, 20), st, link));
  EXPECT_EQ(link.ethernetError, 100);
  EXPECT_EQ(st.StateExtend, 3u);
  EXPECT_EQ(st.realpos.x, 42);
}

TEST(EthernetStatus, ShortReplyKeepsWhatDidNotArrive) {
  const tStatusLayout l = layoutAt(7, 20);
  Bytes r = handReply(12);
  r.resize(14);  // up to half of realpos.y
  tplotstate st;
  st.realpos.y = 5;
  st.pos0.x = 77;
  st.sel_power = 1;
  tLinkState link;
  link.workArea = {1, 2, 3};
  link.laserFullPower = 4000;
  ASSERT_TRUE(decodeEthernetStatus(r, l, st, link));
  EXPECT_EQ(st.realpos.x, 1000);
  EXPECT_EQ(st.realpos.y, 5);
  EXPECT_EQ(st.pos0.x, 77);
  EXPECT_EQ(st.sel_power, 1);
  EXPECT_EQ(link.workArea, (std::array<double, 3>{1, 2, 3}));
  EXPECT_EQ(link.laserFullPower, 255);  // not a laser layout: always 255
}

TEST(EthernetStatus, HeadIndexOutsidePlotStateIsIgnored) {
  Bytes r = handReply(12);
  putI32(r, 20, 1000);
  tplotstate st;
  st.selectedZ = 2;
  tLinkState link;
  decodeEthernetStatus(r, layoutAt(7, 20), st, link);
  EXPECT_EQ(st.selectedZ, 2);
}

TEST(EthernetStatus, LaserFullPowerZeroMeans255) {
  tStatusLayout l = layoutAt(7, 20);
  l.isLaser = true;
  Bytes r = handReply(12);
  r[12 + 104] = 0;
  r[12 + 105] = 0;
  tplotstate st;
  tLinkState link;
  decodeEthernetStatus(r, l, st, link);
  EXPECT_EQ(link.laserFullPower, 255);
}

}  // namespace
}  // namespace trazvik
