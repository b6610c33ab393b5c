#include "import/plot_numbers.h"

#include <gtest/gtest.h>

namespace trazvik::import {
namespace {

TEST(PlotNumbers, RealsTakeOneOptionalSignAndOnePoint) {
  const std::pair<const char*, double> good[] = {
      {"0", 0}, {"12", 12}, {"-12", -12}, {"+12", 12}, {"3.", 3}, {"-.5", -0.5}, {".25", 0.25}, {"007.50", 7.5},
  };
  for (auto [text, value] : good) {
    const auto parsed = parsePlotReal(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_DOUBLE_EQ(*parsed, value) << text;
  }
  for (const char* bad : {"", "+", "-", ".", "+.", "1-2", "--1", "+-1", "1.2.3", "1+", "1 2"}) {
    EXPECT_FALSE(parsePlotReal(bad).has_value()) << bad;
  }
}

TEST(PlotNumbers, WholeNumbersRefuseFractionsAndOverflow) {
  const std::pair<const char*, std::int32_t> good[] = {
      {"0", 0},           {"+7", 7}, {"-7", -7}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
      {"0000000012", 12}, {".", 0},
  };
  for (auto [text, value] : good) {
    const auto parsed = parsePlotWhole(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_EQ(*parsed, value) << text;
  }
  for (const char* bad : {"", "-", "10.5", "10.", ".5", "2147483648", "-2147483649", "99999999999", "1-2", "+-3"}) {
    EXPECT_FALSE(parsePlotWhole(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace trazvik::import
