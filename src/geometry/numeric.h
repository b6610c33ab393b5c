// Small numeric helpers and the one rounding rule of the system.
#pragma once
#include "no_qt.h"

#include <cstdint>

namespace trazvik {

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). Every step, speed and job-language rounding uses this.
double roundEven(double v);

// roundEven as a 64-bit integer, saturated to the int64 range (NaN gives 0).
std::int64_t roundEvenInt(double v);

// n! (1 for n < 2). Throws std::overflow_error when n! does not fit in 64
// bits.
std::int64_t factorial(int n);

// x to the power n by repeated multiplication (1 for n = 0); a negative n
// gives the reciprocal.
double powerN(double x, int n);

// n! / (k! (n-k)!) as a real number; 0 when k is outside 0..n.
double binomial(int n, int k);

// hi when v > hi; else v when v >= lo; else lo.
double clampRange(double v, double hi, double lo);

// a mod b = 0; false when b is 0.
bool divisible(std::int64_t a, std::int64_t b);

}  // namespace trazvik
