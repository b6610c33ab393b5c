#include "machine/commands_records.h"

#include <gtest/gtest.h>

#include <cstring>

namespace trazvik {
namespace {

Bytes text(const char* s) { return Bytes(s, s + std::strlen(s)); }

Bytes spaces(std::size_t n) { return Bytes(n, ' '); }

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(Records, EveryRecordIsSixteenBytesPaddedWithSpaces) {
  struct Case {
    const char* what;
    Bytes actual, expected;
  };
  const Case cases[] = {
      {"sLC", laserOffRecord(), cat({text("sLC"), spaces(13)})},
      {"SLC", laserOffRecord(CommandForm::immediate), cat({text("SLC"), spaces(13)})},
      {"sLS", laserOnRecord(), cat({text("sLS"), spaces(13)})},
      {"sLP", laserPulseRecord(), cat({text("sLP"), spaces(13)})},
      {"sLT", laserPulseTimeRecord(20), cat({text("sLT"), {20, 0, 0, 0}, spaces(9)})},
      {"SP", pulseTimeEchoRecord(20, CommandForm::immediate), cat({text("SP"), {20, 0, 0, 0}, spaces(10)})},
      {"s3v", thirdAxisRecord(kThirdAxisKnife), cat({text("s3v"), {4}, spaces(12)})},
      {"S3v", thirdAxisRecord(kThirdAxisZ, CommandForm::immediate), cat({text("S3v"), {0}, spaces(12)})},
      {"s3z", headZRecord(headBitOf(2)), cat({text("s3z"), {4}, spaces(12)})},
      {"sWA", bezierPointRecord('A', 0, 0, 0), cat({text("sWA"), Bytes(12, 0), spaces(1)})},
      {"sWD", bezierPointRecord('D', -1, 2, 3),
       cat({text("sWD"), {0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 3, 0, 0, 0}, spaces(1)})},
      // 0.1 x 0.8 = 0.08f = 0x3DA3D70A
      {"sWU", bezierStepRecord(0.1), cat({text("sWU"), {0x0A, 0xD7, 0xA3, 0x3D}, spaces(9)})},
      // 1 / 0.08 comes to just under 12.5: 12
      {"sWL", bezierStepCountRecord(0.1), cat({text("sWL"), {12, 0, 0, 0}, spaces(9)})},
      {"sWG", bezierJoinRecord(true), cat({text("sWG"), {1, 0, 0, 0}, spaces(9)})},
      {"sWW", bezierExecuteRecord(), cat({text("sWW"), spaces(13)})},
      {"SE", jobEndRecord(), cat({text("SE"), spaces(14)})},
      {"SA", accelerationRecord(4), cat({text("SA"), {4, 0, 0, 0}, spaces(10)})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.actual.size(), kRecordLength) << c.what;
    EXPECT_EQ(c.actual, c.expected) << c.what;
  }
}

}  // namespace
}  // namespace trazvik
