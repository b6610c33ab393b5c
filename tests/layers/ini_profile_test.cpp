#include "layers/ini_profile.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

TEST(IniProfile, RealsUseGeneralFormatWithPointAndShortExponent) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {3, "3"},
      {-2.5, "-2.5"},
      {0.1, "0.1"},
      {1.0 / 3.0, "0.333333333333333"},
      {123456.789, "123456.789"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {0.000012345, "1.2345E-5"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E15"},
      {1.5e20, "1.5E20"},
      {-3e-7, "-3E-7"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatReal(c.value), c.text) << c.value;
}

TEST(IniProfile, ParsesRealsWithPointOnly) {
  EXPECT_EQ(parseReal(" 2.5 "), 2.5);
  EXPECT_EQ(parseReal("1E-5"), 1e-5);
  EXPECT_EQ(parseReal("+4"), 4.0);
  EXPECT_FALSE(parseReal("2,5"));
  EXPECT_FALSE(parseReal("abc"));
  EXPECT_FALSE(parseReal(""));
  EXPECT_FALSE(parseReal("1.5mm"));
  EXPECT_FALSE(parseReal("nan"));
  EXPECT_FALSE(parseReal("inf"));
}

TEST(IniProfile, ReadsLikeTheProfileRoutines) {
  const auto ini = tIniProfile::parse(
      "; comment\r\n"
      "stray line\r\n"
      "[Layer 3]\r\n"
      "  Speed = 1200 \r\n"
      "speed=9\r\n"
      "depth=abc\r\n"
      "hex=$1F\r\n"
      "big=99999999999\r\n"
      "quoted=\"x y\"\r\n"
      "[ other ]\n"
      "active=0\n");
  EXPECT_TRUE(ini.hasSection("layer 3"));
  EXPECT_TRUE(ini.hasSection("Other"));
  EXPECT_FALSE(ini.hasSection("Layer 4"));
  EXPECT_EQ(ini.readInteger("Layer 3", "SPEED", 0), 1200);  // first occurrence, case ignored
  EXPECT_EQ(ini.readFloat("Layer 3", "depth", 7.5), 7.5);   // not a number -> default
  EXPECT_EQ(ini.readInteger("Layer 3", "hex", 0), 31);
  EXPECT_EQ(ini.readInteger("Layer 3", "big", -1), -1);  // out of range -> default
  EXPECT_EQ(ini.readInteger("Layer 3", "missing", 42), 42);
  EXPECT_EQ(ini.readString("Layer 3", "quoted"), "x y");
  EXPECT_FALSE(ini.readBool("other", "active", true));
  EXPECT_TRUE(ini.readBool("other", "missing", true));
}

TEST(IniProfile, WritesSectionsInOrderOfFirstUseWithCrLf) {
  tIniProfile ini;
  ini.writeString("A", "k", "v");
  ini.writeInteger("B", "n", -3);
  ini.writeFloat("A", "r", 0.25);
  ini.writeBool("B", "b", true);
  ini.writeInteger("A", "K", 5);  // same key, other case: replaced in place
  EXPECT_EQ(ini.text(), "[A]\r\nk=5\r\nr=0.25\r\n\r\n[B]\r\nn=-3\r\nb=1\r\n");
  const auto back = tIniProfile::parse(ini.text());
  EXPECT_EQ(back.readFloat("A", "r", 0), 0.25);
  EXPECT_TRUE(back.readBool("B", "b", false));
}

}  // namespace
}  // namespace trazvik
