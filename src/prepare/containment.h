// What lies in what: the containment test of two figures, the even-odd
// point-in-polygon test, and the nesting of a project's figures.
#pragma once
#include "geometry/figure_list.h"

#include <span>

namespace trazvik {

// A lies in B: B is a different, closed, not identical figure whose box
// strictly encloses A's, and a point of A lies inside B by a horizontal ray
// (the next point of A decides when one lies on B's boundary).
bool figureLiesIn(const tfigura& a, const tfigura& b);

// pkt lies inside the polygon through poly (closed implicitly), even-odd rule.
bool IsPointInPoly(const trealpoint& pkt, std::span<const trealpoint> poly);

// Sets lezy_w (the innermost enclosing closed figure) and poziom (the number
// of enclosing figures) of every figure and returns the deepest level given
// (the project raises max_poziom to it). The result is that of repeating,
// until nothing changes, a pass over every closed figure B and, inside it,
// every figure A in list order that moves A into B when A lies in B and its
// current enclosing figure has a lower level than B. Only pairs whose boxes
// nest are tested: candidates come from a box index, not from every pair.
int co_w_czym(tListaFigur& figury);

}  // namespace trazvik
