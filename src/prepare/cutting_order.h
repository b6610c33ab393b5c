// The cutting order: the job writer cuts figures in list order, and this
// sorts the list by how nested figures are treated (order_fig), how the run
// over the table is optimised (Order_global) and, optionally, keeping each
// nest of figures together (WszystkieWjednej). Hatch lines always come first.
#pragma once
#include "prepare/prepare_settings.h"
#include "geometry/figure_list.h"

#include <functional>

namespace trazvik {

// Order of two hatch lines (negative: the first goes first). The hatching
// supplies it; without one, hatch lines keep their file order.
using HatchLineCompare = std::function<int(const tfigura&, const tfigura&)>;

// The main comparison of two figures: negative when a goes first.
int porownajFigury(const tfigura& a, const tfigura& b, const PrepareSettings& settings, double centerY,
                   const HatchLineCompare& hatch);

// Sorts the project's figures in place. centerY is the y of the project's
// centre (the mixed right-left run splits there). The sort is stable, so
// figures that compare equal keep their relative order.
void UstawKolejnosc(tListaFigur& figury, const PrepareSettings& settings, double centerY,
                    const HatchLineCompare& hatch = {});

}  // namespace trazvik
