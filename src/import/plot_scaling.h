// User units of a plot file: the scaling points P1 and P2 (IP) and the user
// coordinates mapped onto them (SC), as a plotter applies them. Without SC,
// coordinates are plotter units.
#pragma once
#include "geometry/records.h"

#include <string>

namespace trazvik::import {

class tPlotScaling {
 public:
  // IP with its parameters (0, 2 or 4 numbers). Without numbers the points
  // go back to the device's defaults, which a file does not tell. Returns
  // why scaling in force cannot follow the new points, or "".
  std::string setPoints(const double* v, int count);
  // IR: points relative to the paper's clip limits, which a file does not tell.
  void setPointsRelativeToPaper() { p1Known_ = p2Known_ = false; }
  // SC with its parameters (0 turns scaling off). An empty string on
  // success; otherwise why the scaling cannot be applied.
  std::string setScale(const double* v, int count);
  // IN and DF: scaling off, points back to the device's defaults.
  void reset();

  bool on() const { return on_; }
  // User position to plotter units.
  trealpoint map(double x, double y) const { return {ax_ * x + bx_, ay_ * y + by_}; }
  // User displacement to plotter units.
  trealpoint mapDelta(double dx, double dy) const { return {ax_ * dx, ay_ * dy}; }
  // Plotter units per user unit along x (radii of circles are measured there).
  double xFactor() const { return ax_ < 0 ? -ax_ : ax_; }
  // The scaling turns one axis round, so angles run the other way.
  bool mirrored() const { return (ax_ < 0) != (ay_ < 0); }

 private:
  std::string recompute();
  std::string computeFactors();

  trealpoint p1_, p2_;
  bool p1Known_ = false, p2Known_ = false;
  bool on_ = false;
  double sc_[7] = {};  // SC parameters
  int scType_ = 0;     // 0 anisotropic, 1 isotropic, 2 point factor
  double ax_ = 1, bx_ = 0, ay_ = 1, by_ = 0;
};

}  // namespace trazvik::import
