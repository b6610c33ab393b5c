// The simulated machine's table, whose height may vary: a plane at a given
// machine Z, tilted along X and Y and bowed upward in the middle of the
// working area. The probe ("W") stops where the tool meets it.
#pragma once
#include "no_qt.h"

#include <optional>
#include <string>

namespace trazvik::sim {

struct TableSurface {
  double heightMm = -100;  // machine Z of the table at X 0, Y 0 (below the top: negative)
  double tiltX = 0;        // rise in mm per mm of X
  double tiltY = 0;        // rise in mm per mm of Y
  double bowMm = 0;        // rise in the middle of the working area, 0 at its edges

  // Machine Z (mm) of the table under (x, y) mm on a working area of
  // width by depth mm.
  double heightAt(double x, double y, double width, double depth) const;
};

// "HEIGHT[,TILTX,TILTY[,BOW]]", for example "-90,0.01,-0.005,0.4"; an error
// text when the text is not that.
std::optional<TableSurface> parseTableSurface(const std::string& text, std::string& error);

}  // namespace trazvik::sim
