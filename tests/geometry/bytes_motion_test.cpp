#include "geometry/bytes.h"
#include "geometry/motion_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace trazvik {
namespace {

template <typename Range>
std::string hex(const Range& bytes) {
  std::string out;
  for (auto b : bytes) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(static_cast<std::uint8_t>(b)));
    if (!out.empty()) out += ' ';
    out += buf;
  }
  return out;
}

TEST(BytePackers, LeastSignificantFirst) {
  EXPECT_EQ(hex(packWord(0x1234)), "34 12");
  EXPECT_EQ(hex(packInt24(-1)), "FF FF FF");
  EXPECT_EQ(hex(packInt24(0x12345678)), "78 56 34");  // cut to the low 3 bytes
  EXPECT_EQ(hex(packInt32(-2)), "FE FF FF FF");
  EXPECT_EQ(hex(packInt32(0x01020304)), "04 03 02 01");
  EXPECT_EQ(hex(packWord32(0x1234)), "34 12 00 00");
  EXPECT_EQ(hex(recordBytes12(1, -1, 0x0A0B0C0D)), "01 00 00 00 FF FF FF FF 0D 0C 0B 0A");
  EXPECT_EQ(hex(singleBytes(1.0f)), "00 00 80 3F");
  EXPECT_EQ(hex(singleBytes(-2.5f)), "00 00 20 C0");
}

TEST(BytePackers, PadNul16) {
  const std::string two = padNul16("ab");
  ASSERT_EQ(two.size(), 16u);
  EXPECT_EQ(two.substr(0, 2), "ab");
  EXPECT_EQ(two.substr(2), std::string(14, '\0'));
  EXPECT_EQ(padNul16("0123456789ABCDEF"), "0123456789ABCDEF");
  EXPECT_EQ(padNul16("0123456789ABCDEFGHIJ"), "0123456789ABCDEFGHIJ");  // longer stays whole
  EXPECT_EQ(padNul16(""), std::string(16, '\0'));
}

TEST(BytePackers, AppendKeepsOrder) {
  Bytes out{'v'};
  appendBytes(out, packWord(0xBEEF));
  appendBytes(out, std::string_view("ok"));
  EXPECT_EQ(hex(out), "76 EF BE 6F 6B");
}

TEST(MotionRecord, PathStepsRoundHalvesToEven) {
  EXPECT_EQ(pathSteps3(0, 0, 0), 0);   // round(0.5)
  EXPECT_EQ(pathSteps3(2, 0, 0), 2);   // round(2.5)
  EXPECT_EQ(pathSteps3(3, 0, 0), 4);   // round(3.5)
  EXPECT_EQ(pathSteps3(0, -3, 4), 6);  // round(5.5)
  EXPECT_EQ(pathSteps3(1, 2, 2), 4);   // round(3.5)
  EXPECT_EQ(pathSteps2(3, 4), 6);
}

TEST(MotionRecord, PlainMoves) {
  struct Case {
    std::int32_t k, dx, dy, dz;
    std::int32_t count;
    const char* bytes;  // "A", flags, count, |dx|, |dy|, |dz|
  };
  const Case cases[] = {
      {1, 3, 4, 0, 10, "41 04 0A 00 00 03 00 00 04 00 00 00 00 00"},  // length 6 raised to 10
      {1, -30, 40, 5, 51, "41 01 33 00 00 1E 00 00 28 00 00 05 00 00"},
      {1, 0, 0, 0, 10, "41 07 0A 00 00 00 00 00 00 00 00 00 00 00"},  // zero counts as negative
      {10, 3, 0, 0, 40, "41 06 28 00 00 03 00 00 00 00 00 00 00 00"},
      {2, -70000, -1, -2, 140002, "41 07 E2 22 02 70 11 01 01 00 00 02 00 00"},
  };
  for (const Case& c : cases) {
    std::int32_t count = -1;
    const tMotionRecord r = moveRecord(c.k, c.dx, c.dy, c.dz, count);
    EXPECT_EQ(count, c.count) << c.dx << "," << c.dy << "," << c.dz;
    EXPECT_EQ(hex(r), c.bytes) << c.dx << "," << c.dy << "," << c.dz;
  }
}

TEST(MotionRecord, PowerMovesPerProtocolLevel) {
  struct Case {
    const char* what;
    bool flat;  // moveRecordPower2d
    int level;
    std::int32_t k, dx, dy, dz, power;
    std::int32_t count;
    const char* bytes;  // "A", flags, count, |dx|, |dy|, Z field, power byte
  };
  const Case cases[] = {
      {"level 5, power / 16, count round(100.5) = 100", false, 5, 1, 100, 0, 0, 160, 100,
       "41 06 64 00 00 64 00 00 00 00 00 00 00 00 0A"},
      {"level 5, 4095", false, 5, 1, 100, 0, 0, 4095, 100, "41 06 64 00 00 64 00 00 00 00 00 00 00 00 FF"},
      {"level 5, above 4095", false, 5, 1, 100, 0, 0, 40000, 100, "41 06 64 00 00 64 00 00 00 00 00 00 00 00 FF"},
      {"level 6, limited to 4095", false, 6, 1, 0, 0, -7, 5000, 10, "41 07 0A 00 00 00 00 00 00 00 00 07 00 F0 FF"},
      {"level 6, small power", false, 6, 1, 5, 0, 0, 0x234, 10, "41 06 0A 00 00 05 00 00 00 00 00 00 00 20 34"},
      {"level 7, nibbles", false, 7, 1, 5, 0, 3, 0x1234, 10, "41 12 0A 00 00 05 00 00 00 00 00 03 00 20 34"},
      {"level 7, limited to 39999", false, 7, 1, 5, 0, 3, 50000, 10, "41 92 0A 00 00 05 00 00 00 00 00 03 00 C0 3F"},
      {"level 7, no speed passes", false, 7, 1, 5, 0, 3, 0xFFFF, 10, "41 F2 0A 00 00 05 00 00 00 00 00 03 00 F0 FF"},
      {"level 7, Z cut to 20 bits", false, 7, 1, 0, 0, 0x123456, 0, 0x123456,
       "41 03 56 34 12 00 00 00 00 00 00 56 34 02 00"},
      {"2d, count from x and y", true, 7, 5, 3, 4, 100, 0, 30, "41 00 1E 00 00 03 00 00 04 00 00 64 00 00 00"},
      {"2d, no 39999 limit", true, 7, 1, 5, 0, 3, 50000, 10, "41 C2 0A 00 00 05 00 00 00 00 00 03 00 30 50"},
      {"2d, level 6 still 4095", true, 6, 1, 5, 0, 3, 50000, 10, "41 02 0A 00 00 05 00 00 00 00 00 03 00 F0 FF"},
  };
  for (const Case& c : cases) {
    std::int32_t count = -1;
    const tMotionRecord r = c.flat ? moveRecordPower2d(c.level, c.k, c.dx, c.dy, c.dz, c.power, count)
                                   : moveRecordPower(c.level, c.k, c.dx, c.dy, c.dz, c.power, count);
    EXPECT_EQ(count, c.count) << c.what;
    EXPECT_EQ(hex(r), c.bytes) << c.what;
  }
}

TEST(MotionRecord, VerticalMoves) {
  struct Case {
    int level;
    std::int32_t dz;
    std::int32_t count;
    const char* bytes;  // "A", flags, count, 0, 0, Z field, power byte
  };
  const Case cases[] = {
      {5, 0, 10, ""},  // nothing to move, nothing to send
      {5, -25, 25, "41 04 19 00 00 00 00 00 00 00 00 19 00 00 FF"},
      {5, 3, 10, "41 00 0A 00 00 00 00 00 00 00 00 03 00 00 FF"},
      {6, 0, 10, "41 04 0A 00 00 00 00 00 00 00 00 00 00 F0 FF"},  // the power bits still go
      {7, 5, 10, "41 F0 0A 00 00 00 00 00 00 00 00 05 00 F0 FF"},
  };
  for (const Case& c : cases) {
    std::int32_t count = -1;
    const tMotionRecord r = moveRecordZ(c.level, c.dz, count);
    EXPECT_EQ(count, c.count) << c.level << " " << c.dz;
    EXPECT_EQ(hex(r), c.bytes) << c.level << " " << c.dz;
    EXPECT_EQ(r.empty(), std::string(c.bytes).empty());
  }
}

TEST(MotionRecord, AppendsWithoutHeapCopies) {
  Bytes job;
  std::int32_t count = 0;
  appendBytes(job, moveRecord(1, 1, 1, 1, count));
  appendBytes(job, moveRecordZ(5, 0, count));  // empty: adds nothing
  appendBytes(job, moveRecordPower(5, 1, 1, 1, 1, 0, count));
  EXPECT_EQ(job.size(), 14u + 15u);
  EXPECT_EQ(job[14], 'A');
  EXPECT_EQ(moveRecord(1, 1, 1, 1, count).toBytes().size(), 14u);
}

}  // namespace
}  // namespace trazvik
