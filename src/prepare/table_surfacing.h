// The table surfacing program: a G-code file that mills the machine's spoil
// board flat with a zig-zag of passes along Y, advancing in X by a fixed
// spacing, over the rectangle from the origin to (Max_X, Max_Y).
#pragma once
#include "no_qt.h"

#include <string>
#include <vector>

namespace trazvik {

// The generator's own texts (its window is not translated).
inline constexpr const char* kGeneratorPlanowania = "Generator planowania stołu";
inline constexpr const char* kBledneDanePlanowania = "Błędne dane wejściowe";
inline constexpr const char* kPlikPlanowania = "planowanieStolu.nc";

// The generator's fields as the operator typed them (millimetres; feed and
// spindle speed as typed, rounded when the program is written).
struct tDanePlanowaniaStolu {
  std::string sSciezkaPlikuNC;  // the file to write
  double Max_X = 0;
  double Max_Y = 0;
  double glebokosc_Z = 0;    // milling depth, positive
  double odstep_kresek = 0;  // spacing of the passes in X
  double szybkosc_F = 2000;  // feed written as F
  double obroty_S = 18000;   // spindle speed written as S
};

// The fields hold a program: a path, and every number above 0 (feed and
// spindle speed also once rounded, so that no "F0" or "S0" is written).
bool danePlanowaniaPoprawne(const tDanePlanowaniaStolu& dane);

// A real number as the program writes it: fixed, two decimals, a point as
// the decimal separator whatever the locale (seven significant digits).
std::string liczbaPlanowania(double v);

// The program's blocks, one per line, without line ends. The caller has
// validated the fields.
std::vector<std::string> programPlanowaniaStolu(const tDanePlanowaniaStolu& dane);

// Writes the program to dane.sSciezkaPlikuNC, replacing the file whole or
// not at all. False with the file and the operating system's reason in
// `error` when it cannot be written; nothing is written for invalid fields.
bool zapiszPlanowanieStolu(const tDanePlanowaniaStolu& dane, std::string& error);

}  // namespace trazvik
