// Number texts of the settings: the forms the settings file and the numeric
// fields write and the tolerant or strict readings they accept. The decimal
// separator is always passed in; decimalSeparatorOfUser() gives the one of
// the user's numeric locale without touching the process's locale.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trazvik::config {

// Decimal separator of the user's numeric locale (LC_ALL, LC_NUMERIC, LANG),
// read without changing the global C or C++ locale. '.' when unknown.
char decimalSeparatorOfUser();

// General number form: shortest text with up to 15 significant digits, the
// given separator, no thousands separator; exponent form "1E-5" below
// 0.0001 and from 1E15 up.
std::string formatGeneral(double value, char separator);

// Fixed form with `decimals` decimals, rounded half away from zero on the
// value's 15 significant digits; general form when the value has more than
// 15 integer digits.
std::string formatFixed(double value, int decimals, char separator);

// The leading run of '+', '-', digits and the separator (the settings file's
// reading of a number field).
std::string_view leadingNumberRun(std::string_view text, char separator);

// Strict conversions: the whole text must be the number (surrounding blanks
// allowed). nullopt when it is not one.
std::optional<double> parseDecimal(std::string_view text, char separator);  // no exponent
std::optional<double> parseNumber(std::string_view text, char separator);   // exponent allowed
std::optional<std::int64_t> parseInteger(std::string_view text);

}  // namespace trazvik::config
