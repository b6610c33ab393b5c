#include "machine/ramp_tables.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace trazvik {

namespace {

// Fills table[from..] by power-law interpolation between anchor entries
// (index, value); between two anchors the values fall smoothly, and the
// anchors themselves are kept exactly.
template <std::size_t N>
void interpolateAnchors(std::array<std::uint16_t, N>& table,
                        const std::vector<std::pair<std::size_t, double>>& anchors) {
  for (std::size_t k = 0; k + 1 < anchors.size(); ++k) {
    const auto [i0, v0] = anchors[k];
    const auto [i1, v1] = anchors[k + 1];
    const double exponent = std::log(v1 / v0) / std::log(double(i1) / double(i0));
    for (std::size_t i = i0; i <= i1; ++i) {
      const double v = v0 * std::pow(double(i) / double(i0), exponent);
      table[i] = static_cast<std::uint16_t>(std::nearbyint(v));
    }
    table[i1] = static_cast<std::uint16_t>(v1);
  }
}

WideRampTable buildStandard() {
  WideRampTable t{};
  const std::uint16_t head[] = {10234, 10234, 9213, 7668, 6875, 6282, 5840, 5488};
  std::copy(std::begin(head), std::end(head), t.begin());
  interpolateAnchors(t, {{7, 5488}, {1000, 811}, {10000, 367}, {65535, 159}});
  return t;
}

// The controller's own table is 40920 / sqrt(n) rounded to nearest, except
// that its generator stored 185 entries one lower: the highest-indexed ones
// whose exact quotient lies at or above a half. That keeps the table falling
// and ends it at 159.
WideRampTable buildDrilling() {
  WideRampTable t{};
  int lowered = 0;
  for (std::size_t n = t.size() - 1; n >= 1; --n) {
    const double exact = 40920.0 / std::sqrt(double(n));
    double rounded = std::nearbyint(exact);
    if (rounded > exact && lowered < 185) {
      rounded -= 1;
      ++lowered;
    }
    t[n] = static_cast<std::uint16_t>(rounded);
  }
  t[0] = t[1];
  return t;
}

NarrowRampTable buildNarrow() {
  NarrowRampTable t{};
  const std::uint16_t head[] = {11288, 5644, 3991, 3258, 2822};
  std::copy(std::begin(head), std::end(head), t.begin());
  interpolateAnchors(t, {{4, 2822}, {t.size() - 1, 36}});
  return t;
}

}  // namespace

const WideRampTable& standardWideRamp() {
  static const WideRampTable table = buildStandard();
  return table;
}

const WideRampTable& drillingWideRamp() {
  static const WideRampTable table = buildDrilling();
  return table;
}

const NarrowRampTable& narrowRamp() {
  static const NarrowRampTable table = buildNarrow();
  return table;
}

}  // namespace trazvik
