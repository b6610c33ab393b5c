#pragma once
#include "base/command_line.h"
#include "base/directories.h"

#include <string>
#include <string_view>

namespace trazvik::texts {

// The language the interface speaks: the country number in use and its
// two-letter code.
struct LanguageChoice {
  int country = 1;
  std::string code = "US";
  bool operator==(const LanguageChoice&) const = default;
};

// The code of a country number; numbers without a language of their own
// give "US" and country 1.
LanguageChoice languageForCountry(int countryNumber);

// The telephone country number of a locale name such as "pl_PL.UTF-8" or
// "de_DE@euro"; 1 when the name carries no known territory ("C", "POSIX").
int countryNumberOfLocale(std::string_view localeName);

// The user's country number, from the locale that chooses the language of
// messages: LC_ALL, then LC_MESSAGES, then LANG; 1 when none is set.
int userCountryNumber(const base::EnvironmentLookup& environment);

// The language of the country number, overridden by the language switches
// of the command line; when several are given, the later line of the
// switch table wins (so "PL" with "DE" gives German).
LanguageChoice chooseLanguage(int countryNumber, const base::CommandLine& commandLine);

}  // namespace trazvik::texts
