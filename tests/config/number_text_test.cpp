// The number forms of the settings file and the numeric fields.
#include "config/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale>
#include <string>

namespace trazvik::config {
namespace {

TEST(NumberText, GeneralFormIsShortestWithExponentAtTheEnds) {
  const struct {
    double value;
    char separator;
    const char* text;
  } cases[] = {
      {500, '.', "500"},       {0.4826, '.', "0.4826"},
      {0.4826, ',', "0,4826"}, {-2.5, ',', "-2,5"},
      {0.1 + 0.2, '.', "0.3"}, {0.0001, '.', "0.0001"},
      {0.00001, '.', "1E-5"},  {0.000015, ',', "1,5E-5"},
      {1e15, '.', "1E15"},     {123456789012345.0, '.', "123456789012345"},
      {0, '.', "0"},           {250.01220000000001, '.', "250.0122"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(formatGeneral(c.value, c.separator), c.text) << c.value;
  }
}

TEST(NumberText, FixedFormRoundsHalfAwayFromZeroOnTheDecimalDigits) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {0.49, 2, "0.49"},         {2.675, 2, "2.68"},  // 2.675 is 2.67499.. in binary
      {0.49 / 25.4, 3, "0.019"}, {999.996, 2, "1000.00"}, {-0.001, 2, "0.00"},    {-1.005, 2, "-1.01"}, {0, 2, "0.00"},
      {1500, 3, "1500.000"},     {0.0004, 4, "0.0004"},   {0.00005, 4, "0.0001"}, {12.5, 0, "13"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(formatFixed(c.value, c.decimals, '.'), c.text) << c.value << " with " << c.decimals;
  }
  EXPECT_EQ(formatFixed(1.5, 2, ','), "1,50");
}

TEST(NumberText, SettingsFileReadingKeepsOnlyTheLeadingNumberRun) {
  const struct {
    const char* value;
    char separator;
    bool converts;
    double number;
  } cases[] = {
      {"250", '.', true, 250}, {"250mm", '.', true, 250}, {"0,49", '.', true, 0},     {"0,49", ',', true, 0.49},
      {"0.49", ',', true, 0},  {"1E-5", '.', true, 1},    {"-3.5x", '.', true, -3.5}, {"+7", '.', true, 7},
      {"", '.', false, 0},     {"mm250", '.', false, 0},  {"-", '.', false, 0},       {"+-5", '.', false, 0},
      {"1-2", '.', false, 0},  {"1.2.3", '.', false, 0},  {".5", '.', true, 0.5},
  };
  for (const auto& c : cases) {
    const auto number = parseDecimal(leadingNumberRun(c.value, c.separator), c.separator);
    ASSERT_EQ(number.has_value(), c.converts) << c.value;
    if (c.converts) {
      EXPECT_DOUBLE_EQ(*number, c.number) << c.value;
    }
  }
}

TEST(NumberText, StrictReadingsRejectTrailingText) {
  EXPECT_DOUBLE_EQ(*parseNumber("1E-5", '.'), 1e-5);
  EXPECT_DOUBLE_EQ(*parseNumber(" 2,5 ", ','), 2.5);
  EXPECT_FALSE(parseNumber("2.5", ','));
  EXPECT_FALSE(parseNumber("1E", '.'));
  EXPECT_FALSE(parseNumber("1E999", '.'));
  EXPECT_EQ(parseInteger("-1"), -1);
  EXPECT_EQ(parseInteger("+12"), 12);
  EXPECT_FALSE(parseInteger("1.0"));
  EXPECT_FALSE(parseInteger("True"));
  EXPECT_FALSE(parseInteger("99999999999999999999"));
}

TEST(NumberText, SeparatorOfTheUserLeavesTheProcessLocaleAlone) {
  const std::string cBefore = std::setlocale(LC_NUMERIC, nullptr);
  const std::string cppBefore = std::locale().name();
  ::setenv("LC_ALL", "C", 1);
  EXPECT_EQ(decimalSeparatorOfUser(), '.');
  // A locale that is not installed falls back to the point.
  ::setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
  EXPECT_EQ(decimalSeparatorOfUser(), '.');
  ::unsetenv("LC_ALL");
  EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), cBefore);
  EXPECT_EQ(std::locale().name(), cppBefore);
}

}  // namespace
}  // namespace trazvik::config
