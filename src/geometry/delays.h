// Two busy-wait delays for short pauses between controller exchanges.
#pragma once
#include "no_qt.h"

namespace trazvik {

// Returns once more than ms milliseconds have passed since the call.
void waitMs(double ms);

// Performs round(ms * rate) clock readings, where rate is the number of
// clock readings per millisecond measured over 500 ms on first use (that
// first call therefore takes about half a second longer).
void waitCalibrated(double ms);

// Clock readings per millisecond that waitCalibrated uses (measures on first
// use).
double clockReadingsPerMs();

}  // namespace trazvik
