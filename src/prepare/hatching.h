// Hatching: straight cuts filling the closed figures of a project, one
// hatch-line figure for every piece of every scan line that lies inside
// them (even-odd: holes stay empty), their cutting directions, and the order
// of hatch lines among themselves.
#pragma once
#include "geometry/figure_list.h"

#include <cstddef>
#include <string>

namespace trazvik {

// What a hatching is made of, remembered by the project for the cutting
// order of its lines.
struct tKreskowanie {
  int wzor = 0;       // hatchingPattern: 1 vertical, 2 horizontal, 3 and 4 slanted; 0 none
  double kat = 0;     // the lines' angle, radians in (-pi/2, pi/2]
  double odstep = 0;  // spacing, file units
};

struct tParametryKreskowania {
  double odstep = 0;                  // spacing, file units
  double katStopnie = 45;             // angle of the lines
  trealpoint lo, hi;                  // the project's box
  double margines = 0;                // tool diameter, file units: the scanned box is this much wider
  double glebokoscZ = 0;              // height of the lines' 3-D points, file units
  int fileType = 2;                   // 1 plot file, 2 DXF, 3 G-code
  bool kolorRodzica = true;           // colour of the enclosing figure, else black
  std::size_t maxLinii = 20'000'000;  // more scan lines are refused
};

struct tWynikKreskowania {
  tKreskowanie geometria;
  std::size_t kreski = 0;  // hatch lines added
  std::string blad;        // why nothing was added, when refused
};

// Appends the hatch lines of the closed figures among the first `ilosc`
// figures (those that are not hatch lines themselves) to the list. Each
// line: two points p (along the scan line), op = p, two 3-D points sp at
// glebokoscZ, kreska, otwarta, tocut and valid set, pochodzi / lezy_w /
// poziom from the deepest figure whose drawn points hold its midpoint,
// org_color by the colour choice, org_index = the list's size when added,
// lenwork its length in mm. Refuses (blad) a spacing that is not positive
// and more than maxLinii scan lines.
tWynikKreskowania DodajKreski(tListaFigur& figury, std::size_t ilosc, const tParametryKreskowania& parametry);

// Turns the hatch lines (in list order) to run upward (patterns 1, 3, 4) or
// rightward (2), or the other way round on every second scan line when
// dwukierunkowo is set: the direction changes between scan lines, never
// between pieces of one.
void KierunkiKresek(tListaFigur& figury, const tKreskowanie& k, bool dwukierunkowo);

// The two hatch lines come from the same scan line.
bool OrginFromSeameLine(const tfigura& a, const tfigura& b, const tKreskowanie& k);

// Cutting order of two hatch lines (negative: a first): scan lines in the
// order they were scanned (x ascending for vertical lines, y for horizontal
// ones, the foot on the perpendicular for slanted ones); along one scan line
// in the lines' own direction.
int porownajKreski(const tfigura& a, const tfigura& b, const tKreskowanie& k);

}  // namespace trazvik
