// The frame's cut flag and the figure nearest to a point.
#pragma once
#include "geometry/figure_list.h"

namespace trazvik {

class tWarstwy;

// Applies "leave out the frame" to the project's frame figure: when the
// project has a frame, the first figure marked as frame gets tocut = not
// bezramki; in a multi-layer project (warstwy given) a change of the flag
// moves the active-figure count of the figure's layer. Later frame figures
// stay as they are.
void oznaczToCutRamki(tListaFigur& figury, bool jestRamka, bool bezramki, tWarstwy* warstwy);

// Index of the figure whose outline op passes closest to (x, y) in
// millimetres (outline points taken relative to the figure's origin xp, yp,
// scaled by skala percent and converted from the file units of fileType);
// the first one on ties; -1 when no figure has a segment.
int ktoraToFigura(const tListaFigur& figury, double y, double x, int fileType, double skala);

}  // namespace trazvik
