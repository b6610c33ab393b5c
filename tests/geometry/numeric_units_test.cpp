#include "geometry/numeric.h"
#include "geometry/units.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

namespace trazvik {
namespace {

TEST(Units, ToAndFromMillimetresPerFileType) {
  struct Case {
    int fileType;
    double fileUnits;
    double mm;      // toMm(fileType, fileUnits)
    double backMm;  // the millimetres given to fromMm
    double back;    // fromMm(fileType, backMm)
  };
  const Case cases[] = {
      {kFileTypeHpgl, 4000, 100, 100, 4000},
      {kFileTypeDxf, 4000, 40, 40, 4000},
      {kFileTypeGcode, 4000, 40, 2.5, 250},
      {kFileTypeBitmap, 7.5, 7.5, 7.5, 0},  // bitmaps have no conversion back
      {0, 4000, 0, 100, 0},                 // unknown types give 0
      {5, 4000, 0, 100, 0},
      {kFileTypeHpgl, -40, -1, -1, -40},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(toMm(c.fileType, c.fileUnits), c.mm) << "type " << c.fileType;
    EXPECT_DOUBLE_EQ(fromMm(c.fileType, c.backMm), c.back) << "type " << c.fileType;
  }
}

TEST(Numeric, RoundEvenSendsHalvesToTheEvenNeighbour) {
  const std::pair<double, double> cases[] = {
      {2.5, 2},    {3.5, 4},       {-2.5, -2}, {-3.5, -4}, {0.5, 0},           {1.5, 2},
      {2.4999, 2}, {2.5000001, 3}, {-0.5, 0},  {-1.2, -1}, {1e15 + 0.5, 1e15}, {7, 7},
  };
  for (auto [in, out] : cases) {
    EXPECT_EQ(roundEven(in), out) << in;
    EXPECT_EQ(roundEvenInt(in), static_cast<std::int64_t>(out)) << in;
  }
  EXPECT_EQ(roundEvenInt(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(roundEvenInt(1e300), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(roundEvenInt(-1e300), std::numeric_limits<std::int64_t>::min());
}

TEST(Numeric, FactorialAndItsOverflow) {
  EXPECT_EQ(factorial(-3), 1);
  EXPECT_EQ(factorial(0), 1);
  EXPECT_EQ(factorial(1), 1);
  EXPECT_EQ(factorial(5), 120);
  EXPECT_EQ(factorial(20), 2432902008176640000LL);
  EXPECT_THROW(factorial(21), std::overflow_error);
}

TEST(Numeric, PowerAndBinomial) {
  EXPECT_EQ(powerN(2, 10), 1024);
  EXPECT_EQ(powerN(123.4, 0), 1);
  EXPECT_EQ(powerN(-3, 3), -27);
  EXPECT_EQ(powerN(2, -2), 0.25);

  EXPECT_EQ(binomial(5, 2), 10);
  EXPECT_EQ(binomial(3, 0), 1);
  EXPECT_EQ(binomial(3, 3), 1);
  EXPECT_EQ(binomial(3, 1), 3);  // the cubic Bezier weights 1 3 3 1
  EXPECT_EQ(binomial(30, 15), 155117520);
  // Beyond what the factorial quotient could hold.
  EXPECT_NEAR(binomial(60, 30), 118264581564861424.0, 1e3);
  EXPECT_EQ(binomial(3, 4), 0);
  EXPECT_EQ(binomial(3, -1), 0);
}

TEST(Numeric, ClampRangeAndDivisible) {
  struct Clamp {
    double v, hi, lo, expected;
  };
  for (const Clamp& c : {Clamp{5, 10, 0, 5}, Clamp{11, 10, 0, 10}, Clamp{-1, 10, 0, 0}, Clamp{10, 10, 0, 10},
                         Clamp{0, 10, 0, 0}, Clamp{-7, -2, -9, -7}}) {
    EXPECT_EQ(clampRange(c.v, c.hi, c.lo), c.expected) << c.v;
  }
  EXPECT_TRUE(divisible(10, 5));
  EXPECT_FALSE(divisible(10, 3));
  EXPECT_TRUE(divisible(0, 7));
  EXPECT_TRUE(divisible(-9, 3));
  EXPECT_FALSE(divisible(7, 0));  // no division by zero
  EXPECT_TRUE(divisible(std::numeric_limits<std::int64_t>::min(), -1));
}

}  // namespace
}  // namespace trazvik
