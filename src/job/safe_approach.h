// The safe approach that opens a job cutting one selected figure of a
// G-code program, or starting from one: rapid slot, then straight to the
// figure's first point at the travel height.
#pragma once
#include "no_qt.h"

#include "geometry/figure.h"
#include "job/job_move.h"

namespace trazvik {

// Appends "f" 0 and Move(first point, travel height) when
// `selectedFigureOfProgram` is set; nothing otherwise, nor for a figure
// without points. The first point is the toolpath's, or the drawn one's
// when the toolpath is empty; X and Y are scaled, less the figure's offset.
void BezpiecznyDojazdDoWskazanejFig(Bytes& out, tJobState& st, const tJobMoveContext& c, const tfigura& fig,
                                    bool selectedFigureOfProgram);

}  // namespace trazvik
