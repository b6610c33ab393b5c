// The cutting direction of closed figures: 1 clockwise ("W prawo"), -1
// counter-clockwise ("W lewo"), 0 undetermined (and always for open ones).
#pragma once
#include "prepare/prepare_settings.h"
#include "geometry/figure_list.h"

namespace trazvik {

// Computes and stores dir of figure nr and returns it; nr < 0 does so for
// every figure and returns 0. An index beyond the list returns 0.
int JakiKierunek(tListaFigur& figury, int nr);

// Reverses p and op of figure nr (every figure when nr < 0) and computes its
// direction again.
void OdwrocKierunek(tListaFigur& figury, int nr);

// Applies out_dir and in_dir: a closed figure is outer when its level (plus
// one with negatyw) is even, inner otherwise; a group set to d has every
// figure whose direction differs from d reversed.
void UstawKierunek(tListaFigur& figury, const PrepareSettings& settings);

}  // namespace trazvik
