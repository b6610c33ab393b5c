#include "texts/language_choice.h"

#include <array>
#include <cctype>

namespace trazvik::texts {
namespace {

struct CountryLanguage {
  int country;
  const char* code;
};

// Countries that have a language file of their own.
constexpr std::array<CountryLanguage, 13> kLanguages{{
    {1, "US"},
    {7, "RU"},
    {33, "FR"},
    {34, "ES"},
    {36, "HU"},
    {39, "IT"},
    {40, "RO"},
    {48, "PL"},
    {49, "DE"},
    {86, "CN"},
    {421, "SK"},
    {886, "TW"},
    {966, "SA"},
}};

struct TerritoryCountry {
  const char* territory;
  int country;
};

// Territories of locale names and their country numbers. Territories whose
// number has no language of its own still map to their true number; the
// language table then gives English.
constexpr TerritoryCountry kTerritories[] = {
    {"US", 1},   {"CA", 1},   {"RU", 7},   {"KZ", 7},  {"FR", 33},  {"ES", 34},  {"HU", 36},  {"IT", 39},  {"RO", 40},
    {"CH", 41},  {"AT", 43},  {"GB", 44},  {"DK", 45}, {"SE", 46},  {"NO", 47},  {"PL", 48},  {"DE", 49},  {"BR", 55},
    {"AU", 61},  {"JP", 81},  {"KR", 82},  {"CN", 86}, {"PT", 351}, {"IE", 353}, {"FI", 358}, {"UA", 380}, {"CZ", 420},
    {"SK", 421}, {"TW", 886}, {"SA", 966}, {"NL", 31}, {"BE", 32},  {"GR", 30},  {"TR", 90},  {"IN", 91},
};

struct LanguageSwitches {
  std::array<std::string_view, 3> words;  // unused places are empty
  const char* code;
  int country;
};

// Tested in this order; each match overrides the earlier ones.
const LanguageSwitches kSwitches[] = {
    {{"USA", "US", "GB"}, "US", 1},
    {{"POLSKA", "PL"}, "PL", 48},
    {{"DE"}, "DE", 49},
    {{"RU"}, "RU", 7},
    {{"CN"}, "CN", 86},
    {{"SK"}, "SK", 421},
    {{"ITALY", "IT"}, "IT", 39},
    {{"SPAIN", "ESPANOL", "ES"}, "ES", 34},
    {{"SA"}, "SA", 966},
    {{"HU"}, "HU", 36},
    {{"RO"}, "RO", 40},
    {{"FR"}, "FR", 33},
    {{"TW"}, "TW", 886},
};

}  // namespace

LanguageChoice languageForCountry(int countryNumber) {
  for (const CountryLanguage& entry : kLanguages) {
    if (entry.country == countryNumber) return {entry.country, entry.code};
  }
  return {1, "US"};
}

int countryNumberOfLocale(std::string_view localeName) {
  // language[_territory][.codeset][@modifier]
  const std::size_t underscore = localeName.find('_');
  if (underscore == std::string_view::npos) return 1;
  std::string_view rest = localeName.substr(underscore + 1);
  std::string territory;
  for (char c : rest) {
    if (c == '.' || c == '@') break;
    territory += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  for (const TerritoryCountry& entry : kTerritories) {
    if (territory == entry.territory) return entry.country;
  }
  return 1;
}

int userCountryNumber(const base::EnvironmentLookup& environment) {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    std::optional<std::string> value = environment(variable);
    if (value && !value->empty()) return countryNumberOfLocale(*value);
  }
  return 1;
}

LanguageChoice chooseLanguage(int countryNumber, const base::CommandLine& commandLine) {
  LanguageChoice choice = languageForCountry(countryNumber);
  if (commandLine.arguments().empty()) return choice;
  for (const LanguageSwitches& line : kSwitches) {
    for (std::string_view word : line.words) {
      if (!word.empty() && commandLine.hasSwitch(word)) choice = {line.country, line.code};
    }
  }
  return choice;
}

}  // namespace trazvik::texts
