// Numbers of plot file instructions: tokens made of + - . and digits.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace trazvik::import {

// A real number: optional sign, digits with at most one decimal point, at
// least one digit ("-.5", "3.", "+12"). Nothing for anything else.
std::optional<double> parsePlotReal(std::string_view token);

// A whole number: optional sign and digits, within 32 bits. "." alone counts
// as 0. Nothing for fractions ("10.5", "10.") and malformed tokens.
std::optional<std::int32_t> parsePlotWhole(std::string_view token);

}  // namespace trazvik::import
