#include "import/plot_scaling.h"

#include <algorithm>
#include <cmath>

namespace trazvik::import {

void tPlotScaling::reset() {
  on_ = false;
  p1Known_ = p2Known_ = false;
  ax_ = ay_ = 1;
  bx_ = by_ = 0;
}

std::string tPlotScaling::setPoints(const double* v, int count) {
  if (count >= 2) {
    // Two numbers move P1 and carry P2 along; P2 is only known when P1 was.
    const trealpoint shift{v[0] - p1_.x, v[1] - p1_.y};
    p1_ = {v[0], v[1]};
    p2_ = {p2_.x + shift.x, p2_.y + shift.y};
    p2Known_ = p2Known_ && p1Known_;
    p1Known_ = true;
  } else {
    p1Known_ = p2Known_ = false;
  }
  if (count >= 4) {
    p2_ = {v[2], v[3]};
    p2Known_ = true;
  }
  // A plotter rescales the user units to the new points.
  return on_ ? recompute() : std::string();
}

std::string tPlotScaling::setScale(const double* v, int count) {
  if (count < 4) {
    on_ = false;
    ax_ = ay_ = 1;
    bx_ = by_ = 0;
    return {};
  }
  std::copy(v, v + std::min(count, 7), sc_);
  scType_ = count >= 5 ? static_cast<int>(std::lround(v[4])) : 0;
  if (scType_ == 1 && count < 7) sc_[5] = sc_[6] = 50;  // centred
  on_ = true;
  return recompute();
}

std::string tPlotScaling::recompute() {
  const std::string why = computeFactors();
  if (!why.empty()) {
    on_ = false;
    ax_ = ay_ = 1;
    bx_ = by_ = 0;
  }
  return why;
}

std::string tPlotScaling::computeFactors() {
  const bool pointFactor = scType_ == 2;
  if (!p1Known_ || (!pointFactor && !p2Known_)) return "scaling (SC) needs the scaling points set by IP";
  if (scType_ < 0 || scType_ > 2) return "this kind of scaling (SC) is unknown";
  if (pointFactor) {
    // xmin, x factor, ymin, y factor: user (xmin, ymin) lies on P1.
    ax_ = sc_[1];
    ay_ = sc_[3];
    bx_ = p1_.x - ax_ * sc_[0];
    by_ = p1_.y - ay_ * sc_[2];
  } else {
    const double xmin = sc_[0], xmax = sc_[1], ymin = sc_[2], ymax = sc_[3];
    if (xmax == xmin || ymax == ymin) return "scaling (SC) with an empty range";
    ax_ = (p2_.x - p1_.x) / (xmax - xmin);
    ay_ = (p2_.y - p1_.y) / (ymax - ymin);
    double offX = 0, offY = 0;
    if (scType_ == 1) {
      // Isotropic: the smaller factor for both axes, the spare room shared
      // out by the left and bottom percentages.
      const double s = std::min(std::fabs(ax_), std::fabs(ay_));
      const double spareX = std::fabs(p2_.x - p1_.x) - s * std::fabs(xmax - xmin);
      const double spareY = std::fabs(p2_.y - p1_.y) - s * std::fabs(ymax - ymin);
      offX = std::copysign(spareX * sc_[5] / 100, p2_.x - p1_.x);
      offY = std::copysign(spareY * sc_[6] / 100, p2_.y - p1_.y);
      ax_ = std::copysign(s, ax_);
      ay_ = std::copysign(s, ay_);
    }
    bx_ = p1_.x + offX - ax_ * xmin;
    by_ = p1_.y + offY - ay_ * ymin;
  }
  if (!(std::isfinite(ax_) && std::isfinite(ay_) && std::isfinite(bx_) && std::isfinite(by_)) || ax_ == 0 || ay_ == 0)
    return "scaling (SC) with an empty range";
  return {};
}

}  // namespace trazvik::import
