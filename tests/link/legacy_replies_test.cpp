#include "link/legacy_replies.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

TEST(LegacyReplies, StateByteAndTimeOut) {
  tplotstate st;
  decodeLegacyState(Bytes{0x0B}, st);
  EXPECT_EQ(st.state, 0x0B);
  EXPECT_EQ(st.StateExtend, 0x0Bu);
  decodeLegacyState(Bytes{}, st);  // time-out
  EXPECT_EQ(st.state, 0);
  EXPECT_EQ(st.StateExtend, 0u);
}

TEST(LegacyReplies, ThreeByteValuesAreSignExtended) {
  tplotstate st;
  decodeLegacyPositions(Bytes{0xFF, 0xFF, 0xFF, 0x10, 0x27, 0x00, 0x00, 0x00, 0x80}, st);
  EXPECT_EQ(st.realpos.x, -1);
  EXPECT_EQ(st.realpos.y, 10000);
  EXPECT_EQ(st.realpos.z, -8388608);

  tStatusLayout l;
  l.axisFactorX = l.axisFactorY = 0.9794150511;
  l.axisFactorZ = 1.5;
  decodeLegacyZeroXY(Bytes{0xE8, 0x03, 0x00, 0x18, 0xFC, 0xFF}, l, st);
  EXPECT_EQ(st.pos0.x, 1021);  // 1021.02 rounded
  EXPECT_EQ(st.pos0.y, -1021);
  decodeLegacyZeroZ(Bytes{0x03, 0x00, 0x00}, l, st);
  EXPECT_EQ(st.pos0.z, 2);  // 3 / 1.5
}

TEST(LegacyReplies, SpeedQueriesScaleAsTheirSlot) {
  tStatusLayout l;
  l.speedMultiplier = 3;
  tplotstate st;
  st.info1 = "LFV";
  const Bytes reply{1, 0x64, 0x00};  // slot 1, value 100
  decodeLegacySpeed(1, reply, l, st);
  EXPECT_EQ(st.speedr, 300);
  decodeLegacySpeed(0, reply, l, st);
  EXPECT_EQ(st.speedp, 300);
  decodeLegacySpeed(2, reply, l, st);
  EXPECT_EQ(st.speedm, 100);
  decodeLegacySpeed(3, reply, l, st);
  EXPECT_EQ(st.speedpol, 100);  // product string beginning with "L"
  st.info1 = "TFV";
  decodeLegacySpeed(3, reply, l, st);
  EXPECT_EQ(st.speedpol, 300);
  decodeLegacySpeed(255, Bytes{2, 0x10, 0x00}, l, st);
  EXPECT_EQ(st.speedc, 16);
  EXPECT_EQ(st.sel_speed, 2);  // the last reply's selection stays
  EXPECT_EQ(st.speed, st.speedm);
}

TEST(LegacyReplies, PowerAndInformation) {
  tplotstate st;
  tLinkState link;
  decodeLegacyPower(Bytes{7, 200}, st);
  EXPECT_EQ(st.sel_power, 5);
  EXPECT_EQ(st.power, 200);

  const std::string maker = "MAKER   ";
  decodeLegacyInfo(0, Bytes(maker.begin(), maker.end()), st, link);
  EXPECT_EQ(st.info0, maker);
  decodeLegacyInfo(1, Bytes{}, st, link);  // nothing came: kept
  EXPECT_EQ(st.info1, "");
  decodeLegacyInfo(4, Bytes{0x10, 0x27, 0x00, 0x05, 0x00}, st, link);
  EXPECT_EQ(st.info_time, 10000);
  EXPECT_EQ(st.info_ilpl, 5);
  decodeLegacyInfo(3, Bytes{0x58, 0x02, 0x90, 0x01, 0x64, 0x00}, st, link);
  EXPECT_EQ(link.workArea, (std::array<double, 3>{600, 400, 100}));
}

}  // namespace
}  // namespace trazvik
