// Cutting the loops out of a raw offset outline. Loops appear where the tool
// radius is larger than the local width of a figure: the offset edges of a
// narrow notch or slot pass each other and the outline turns back on itself.
#pragma once
#include "geometry/records.h"

#include <span>
#include <vector>

namespace trazvik::prepare {

struct LoopCutResult {
  int loopsCut = 0;
  // Indices (in the cut outline) of the crossing points where loops were cut.
  std::vector<std::size_t> crossingPoints;
  // Nothing of the outline keeps its distance from the figure.
  bool nothingLeft = false;
};

// ring is the raw offset (closed: its last point repeats the first) of the
// closed polygon through `figure` (corners, closing edge implied) by radius
// r. The ring's self-crossings split it into pieces; a piece is kept when it
// stays at least the radius (less a rounding allowance) from the figure, and
// the kept pieces are joined at the crossings, turning onto the kept piece
// there. Of the closed outlines this gives, the largest that turns like
// `expectedTurn` (+1 counter-clockwise, -1 clockwise, 0 either) stays; it
// starts at the ring's first point when that point is kept. Every step works
// on a finite list of pieces, each used once, so the cut always ends.
// throughCorner marks (per ring point) the figure corners the raw outline
// passes through at inner corners whose moved edges do not meet; a piece
// holding one never stays.
LoopCutResult cutLoops(std::vector<trealpoint>& ring, std::span<const char> throughCorner,
                       std::span<const trealpoint> figure, double r, int expectedTurn);

}  // namespace trazvik::prepare
