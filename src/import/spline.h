// Curve evaluators of DXF splines and fitted polylines: rational B-splines
// (Cox-de Boor, evaluated on the span of the parameter), cubic Bezier
// segments, and the cubic through four points at chord-length parameters.
#pragma once
#include "geometry/records.h"

#include <array>
#include <cstddef>
#include <vector>

namespace trazvik::import {

// More knots than this are read but not kept.
inline constexpr std::size_t kMaxSplineKnots = 2001;

// A SPLINE entity as read: declared counts (groups 72, 73) and the lists.
struct tSplineData {
  int degree = 3;
  int declaredKnots = 0;
  int declaredControl = 0;
  std::vector<double> knots;    // at most kMaxSplineKnots
  std::vector<double> weights;  // padded with 1.0 to the control points
  std::vector<trealpoint> control;
  std::vector<trealpoint> fit;
};

// The points of the spline, in drawing units, first to last. With
// forceBSpline (the program's "spline" switch) a chain of Bezier segments is
// evaluated as a B-spline too.
std::vector<trealpoint> splinePoints(tSplineData spline, bool forceBSpline);

// A B-spline of the given degree over `knots` (non-decreasing, at least
// control + degree + 1 values) with optional weights (empty: all 1).
class tBSpline {
 public:
  static constexpr int kMaxDegree = 25;  // higher degrees are not evaluated

  // False when the data cannot describe a curve (degree below 1, too few
  // knots, knots that decrease, an empty parameter range, bad weights).
  bool set(int degree, const std::vector<double>& knots, const std::vector<double>& weights,
           const std::vector<trealpoint>& control);
  double first() const { return knots_[degree_]; }
  double last() const { return knots_[count_]; }
  trealpoint at(double u) const;

 private:
  std::size_t span(double u) const;
  int degree_ = 0;
  std::size_t count_ = 0;  // control points
  std::vector<double> knots_;
  std::vector<double> hx_, hy_, hw_;                                       // homogeneous control points
  mutable std::array<double, kMaxDegree + 1> basis_{}, left_{}, right_{};  // Cox-de Boor scratch
};

// Cubic Bezier (Bernstein form) with weights w (rational when not all 1).
trealpoint bezierAt(const trealpoint* p, const double* w, double t);

// The cubic through four points at parameters 0, d01/D, (d01+d12)/D and 1
// (chord lengths, D their sum).
class tFitCubic {
 public:
  // False when two consecutive points coincide (no cubic through them).
  bool set(const trealpoint& a, const trealpoint& b, const trealpoint& c, const trealpoint& d);
  double t(int i) const { return t_[i]; }  // parameter of point i
  double length() const { return length_; }
  trealpoint at(double u) const;

 private:
  trealpoint p_[4];
  double t_[4] = {0, 0, 0, 1};
  double length_ = 0;
};

// Points of a curve- or spline-fitted polyline through `v` (more than 3
// vertices), first vertex to last (to the first again when closed).
std::vector<trealpoint> fittedPolylinePoints(const std::vector<trealpoint>& v, bool closed);

}  // namespace trazvik::import
