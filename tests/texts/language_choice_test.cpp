#include "texts/language_choice.h"

#include <gtest/gtest.h>

#include <map>

namespace trazvik::texts {
namespace {

base::EnvironmentLookup environmentOf(std::map<std::string, std::string> variables) {
  return [variables](const std::string& name) -> std::optional<std::string> {
    auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  };
}

TEST(LanguageChoice, CountryNumbersMapToTheirLanguageOrToEnglish) {
  const std::pair<int, LanguageChoice> cases[] = {
      {1, {1, "US"}},     {7, {7, "RU"}},   {33, {33, "FR"}}, {34, {34, "ES"}}, {36, {36, "HU"}},   {39, {39, "IT"}},
      {40, {40, "RO"}},   {48, {48, "PL"}}, {49, {49, "DE"}}, {86, {86, "CN"}}, {421, {421, "SK"}}, {886, {886, "TW"}},
      {966, {966, "SA"}}, {44, {1, "US"}},  {420, {1, "US"}}, {0, {1, "US"}},   {-48, {1, "US"}},
  };
  for (const auto& [country, expected] : cases) {
    EXPECT_EQ(languageForCountry(country), expected) << country;
  }
}

TEST(LanguageChoice, TheCountryComesFromTheTerritoryOfTheLocale) {
  const std::pair<const char*, int> cases[] = {
      {"pl_PL.UTF-8", 48},
      {"de_DE@euro", 49},
      {"de_AT.UTF-8", 43},
      {"en_US", 1},
      {"en_GB.UTF-8", 44},
      {"zh_TW.Big5", 886},
      {"ar_SA.UTF-8", 966},
      {"sk_SK", 421},
      {"ru_RU.KOI8-R", 7},
      {"pl_pl.utf8", 48},
      {"C", 1},
      {"POSIX", 1},
      {"C.UTF-8", 1},
      {"", 1},
      {"xx_ZZ", 1},
  };
  for (const auto& [locale, country] : cases) {
    EXPECT_EQ(countryNumberOfLocale(locale), country) << locale;
  }
}

TEST(LanguageChoice, TheLocaleOfMessagesDecides) {
  EXPECT_EQ(userCountryNumber(environmentOf({})), 1);
  EXPECT_EQ(userCountryNumber(environmentOf({{"LANG", "pl_PL.UTF-8"}})), 48);
  EXPECT_EQ(userCountryNumber(environmentOf({{"LANG", "pl_PL.UTF-8"}, {"LC_MESSAGES", "de_DE.UTF-8"}})), 49);
  EXPECT_EQ(userCountryNumber(environmentOf({{"LANG", "pl_PL.UTF-8"}, {"LC_ALL", "fr_FR.UTF-8"}})), 33);
  // An empty variable counts as unset.
  EXPECT_EQ(userCountryNumber(environmentOf({{"LC_ALL", ""}, {"LANG", "hu_HU"}})), 36);
}

TEST(LanguageChoice, SwitchesOverrideTheCountryAndTheLaterTableLineWins) {
  struct Case {
    std::vector<std::string> arguments;
    int country;
    LanguageChoice expected;
  };
  const Case cases[] = {
      {{}, 48, {48, "PL"}},
      {{"service"}, 49, {49, "DE"}},
      {{"PL", "service"}, 1, {48, "PL"}},
      {{"service", "polska"}, 1, {48, "PL"}},
      {{"PL", "DE"}, 1, {49, "DE"}},
      {{"DE", "PL"}, 1, {49, "DE"}},  // the order of the table, not of the arguments
      {{"GB"}, 48, {1, "US"}},
      {{"usa"}, 48, {1, "US"}},
      {{"ESPANOL"}, 1, {34, "ES"}},
      {{"Spain", "TW"}, 1, {886, "TW"}},
      {{"ITALY"}, 1, {39, "IT"}},
      {{"PLX", "xDE"}, 36, {36, "HU"}},  // only whole arguments are switches
      {{"SA", "HU", "RO", "FR"}, 1, {33, "FR"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseLanguage(c.country, base::CommandLine(c.arguments)), c.expected)
        << ::testing::PrintToString(c.arguments);
  }
}

}  // namespace
}  // namespace trazvik::texts
