// Number forms of the logs.
#pragma once
#include "no_qt.h"

#include <string>

namespace trazvik::logging {

// Fixed notation with one decimal and 7 significant digits at most: values
// of 10^7 and more are written in exponent form "1.234568E+007".
std::string fixedOneDecimal(double value, char separator);

}  // namespace trazvik::logging
