#include "prepare/table_surfacing.h"

#include "base/atomic_file.h"
#include "geometry/numeric.h"

#include <charconv>
#include <cmath>

namespace trazvik {
namespace {

// Seven significant digits first, then two decimals: the program's number
// form keeps no more digits than that.
double sevenDigits(double v) {
  if (v == 0 || !std::isfinite(v)) return v;
  char text[40];
  const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, 6);
  double rounded = v;
  std::from_chars(text, r.ptr, rounded);
  return rounded;
}

long long wholeNumber(double v) { return roundEvenInt(v); }

}  // namespace

std::string liczbaPlanowania(double v) {
  char text[64];
  const auto r = std::to_chars(text, text + sizeof text, sevenDigits(v), std::chars_format::fixed, 2);
  std::string s(text, r.ptr);
  if (s == "-0.00") s = "0.00";
  return s;
}

bool danePlanowaniaPoprawne(const tDanePlanowaniaStolu& d) {
  auto positive = [](double v) { return std::isfinite(v) && v > 0; };
  return !d.sSciezkaPlikuNC.empty() && positive(d.Max_X) && positive(d.Max_Y) && positive(d.odstep_kresek) &&
         positive(d.glebokosc_Z) && positive(d.szybkosc_F) && positive(d.obroty_S) && wholeNumber(d.szybkosc_F) > 0 &&
         wholeNumber(d.obroty_S) > 0;
}

std::vector<std::string> programPlanowaniaStolu(const tDanePlanowaniaStolu& d) {
  std::vector<std::string> out;
  out.push_back("N5 G90 G21");
  out.push_back("N10 S" + std::to_string(wholeNumber(d.obroty_S)) + " F" + std::to_string(wholeNumber(d.szybkosc_F)));
  out.push_back("N15 G00 X0 Y0 Z5");
  out.push_back("N20 X0 Y0");
  out.push_back("N25 G01 Z-" + liczbaPlanowania(d.glebokosc_Z));
  long long n = 30;
  auto block = [&](const std::string& words) {
    out.push_back("N" + std::to_string(n) + " " + words);
    n += 5;
  };
  const std::string lastX = liczbaPlanowania(d.Max_X);
  bool atFarSide = false;  // y is Max_Y
  auto passAlongY = [&] {
    atFarSide = !atFarSide;
    block("Y" + liczbaPlanowania(atFarSide ? d.Max_Y : 0.0));
  };
  // The passes stand at whole multiples of the spacing (no sum that drifts
  // with the number of passes), and a pass that would be written at the same
  // X as the last one is the last one: the edge is milled once.
  for (long long k = 1;; ++k) {
    passAlongY();
    const double x = static_cast<double>(k) * d.odstep_kresek;
    const std::string xText = liczbaPlanowania(x);
    if (x < d.Max_X && xText != lastX) {
      block("X" + xText);
      continue;
    }
    block("X" + lastX);
    passAlongY();
    break;
  }
  block("Z5");
  block("G00 X0 Y0");
  return out;
}

bool zapiszPlanowanieStolu(const tDanePlanowaniaStolu& d, std::string& error) {
  if (!danePlanowaniaPoprawne(d)) {
    error = kBledneDanePlanowania;
    return false;
  }
  std::string text;
  for (const std::string& line : programPlanowaniaStolu(d)) text += line + "\n";
  return base::writeFileAtomically(d.sSciezkaPlikuNC, text, &error);
}

}  // namespace trazvik
