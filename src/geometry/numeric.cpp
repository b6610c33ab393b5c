#include "geometry/numeric.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace trazvik {

double roundEven(double v) {
  if (!std::isfinite(v)) return v;
  const double lower = std::floor(v);
  const double rest = v - lower;
  if (rest > 0.5) return lower + 1;
  if (rest < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::int64_t roundEvenInt(double v) {
  if (std::isnan(v)) return 0;
  const double r = roundEven(v);
  constexpr double kMax = 9223372036854775807.0;
  if (r >= kMax) return std::numeric_limits<std::int64_t>::max();
  if (r <= -kMax) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(r);
}

std::int64_t factorial(int n) {
  if (n > 20) throw std::overflow_error("factorial of " + std::to_string(n) + " does not fit in 64 bits");
  std::int64_t result = 1;
  for (int i = 2; i <= n; ++i) result *= i;
  return result;
}

double powerN(double x, int n) {
  double result = 1;
  const long long count = n < 0 ? -static_cast<long long>(n) : n;
  for (long long i = 0; i < count; ++i) result *= x;
  return n < 0 ? 1.0 / result : result;
}

double binomial(int n, int k) {
  if (k < 0 || k > n) return 0;
  // Product form: every partial product is itself a binomial coefficient,
  // so the value is exact as far as doubles allow, without the overflow of
  // the factorial quotient for larger n.
  if (k > n - k) k = n - k;
  double result = 1;
  for (int i = 1; i <= k; ++i) result = result * (n - k + i) / i;
  return result;
}

double clampRange(double v, double hi, double lo) {
  if (v > hi) return hi;
  if (v >= lo) return v;
  return lo;
}

bool divisible(std::int64_t a, std::int64_t b) {
  if (b == 0) return false;
  if (b == -1) return true;  // INT64_MIN % -1 is undefined
  return a % b == 0;
}

}  // namespace trazvik
