// The tool-radius outline (op), the roughing outline before polishing (dp)
// and the 3-D toolpath (sp) of every figure of a project, with the project's
// length totals and travel height.
#pragma once
#include "prepare/prepare_settings.h"
#include "geometry/figure_list.h"

namespace trazvik {

class tWarstwy;

// What the outline step needs to know about the project.
struct OutlineProject {
  int ImportFileType = 1;             // 1 plot file, 2 DXF, 3 G-code, 4 bitmap
  bool grawer = false;                // bitmap engraving: no toolpaths
  trealpoint pp;                      // lower-left corner of the project
  const tWarstwy* warstwy = nullptr;  // layer table of a multi-layer project
};

// Results for the project, millimetres.
struct OutlineTotals {
  double total_lenwork = 0;
  double total_lenpol = 0;
  double total_lenz = 0;
  double total_lenprzes = 0;
  double travelHeight = 0;  // grubosc + ponad_stol + nadmat (less grubosc on a laser with a Z axis)
};

// Rebuilds op, dp and sp (and obwod, lenwork, lenpol, lenz, lenPrzes) of
// every figure. Closed figures are offset by the tool radius to the side
// their nesting level and direction call for (negatyw swaps it); open
// figures keep copies of p. Not for G-code projects, whose toolpaths are the
// program itself. The caller shows the status text and runs the Bezier
// smoothing afterwards when the controller takes Bezier records and
// smoothing is on.
OutlineTotals AddOutline(tListaFigur& figury, const PrepareSettings& settings, const OutlineProject& project);

// Tool diameter (mm) for figure nrFig: the diameter of its layer in a
// multi-layer project on a machine with more than one head, otherwise
// srednica.
double dajSredniceFrezuNaFigurze(const tListaFigur& figury, int nrFig, const PrepareSettings& settings,
                                 const tWarstwy* warstwy);

// The side a closed figure is offset to: 1 left of its travel, -1 right.
int offsetSide(const tfigura& figure, bool negatyw);

}  // namespace trazvik
