// The numbers a project derives from its figures beyond their boxes: the
// spiral sort keys of the cutting order, the cut length in the operator's
// unit and the estimated cutting time.
#pragma once
#include "geometry/figure_list.h"

namespace trazvik {

// The project's box as the measurements see it (file units).
struct tGabarytProjektu {
  tIntPoint pp;       // lower-left corner, whole units
  tIntPoint pk;       // upper-right corner, whole units
  trealpoint center;  // middle of the box
  double size_x = 0;
  double size_y = 0;
};

// DistToProj of every figure: rings around the project's centre (the y axis
// scaled to the box's aspect), then the direction of the figure's start seen
// from the centre; DistToFig of every nested figure likewise around its
// enclosing figure. outDir 1 ("clockwise") reverses the direction order
// (for DistToFig only on even levels). Keys beyond the 32-bit range are
// held at its ends.
void ustalDist(tListaFigur& figury, const tGabarytProjektu& gabaryt, int outDir);

// skala (%) x total_lenwork / 100 in the unit of unitIndex: 0 mm, 1 inch,
// 2 feet.
double dlugoscCiecia(double skala, double totalLenwork, int unitIndex);

struct tDaneCzasuCiecia {
  int iloscFigur = 0;
  double skala = 100;        // percent
  double glebokosc = 0;      // Glebokosc, mm
  double nadmat = 0;         // travel height above the material, mm
  double workSpeed = 0;      // mm/min
  double polerSpeed = 0;     // mm/min
  double przeSpeed = 0;      // mm/min
  double totalLenwork = 0;   // mm
  double totalLenpol = 0;    // mm
  double totalLenprzes = 0;  // mm
};

// Estimated cutting time in minutes: cutting with the plunges, the
// finishing pass, the travel with the lifts, and 0.03 min per figure. A
// term whose speed is not positive is left out (it has nothing to move).
double szacowanyCzasCiecia(const tDaneCzasuCiecia& d);

}  // namespace trazvik
