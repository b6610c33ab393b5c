// The figures of one project. Each figure lives on the heap and keeps its
// address while the list is reordered (the cutting order moves figures), so
// `tfigura::lezy_w` stays valid for the life of the project.
#pragma once
#include "geometry/figure.h"

#include <memory>
#include <vector>

namespace trazvik {

using tListaFigur = std::vector<std::unique_ptr<tfigura>>;

}  // namespace trazvik
