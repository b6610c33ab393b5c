#include "import/spline.h"

#include "geometry/numeric.h"
#include "geometry/points.h"
#include "import/curve_segments.h"

#include <algorithm>
#include <cmath>

namespace trazvik::import {

namespace {

// Degrees above this are not drawn as curves (evaluation costs degree^2 per
// point); such splines show their control polygon.
constexpr int kMaxSplineDegree = tBSpline::kMaxDegree;

// Parameter steps of a spline: from the control polygon's length L and the
// number m of control points.
int splineSteps(const std::vector<trealpoint>& control) {
  double length = 0;
  for (std::size_t i = 1; i < control.size(); ++i) length += dist(control[i - 1], control[i]);
  const double m = static_cast<double>(control.size());
  const double l = clampRange(length / (192 * m), 5, 0.1);
  const double n = std::max(length / l, 4.0);
  const double s = std::min(1 / n, 0.25);
  const double steps = 1 / s;
  return boundedSegments(steps <= kMaxCurveSegments ? roundEven(steps) : steps, 4);
}

// Knots in runs of four equal values: the B-spline is a chain of separate
// cubic Bezier segments, one per four control points.
bool knotsInRunsOfFour(const std::vector<double>& knots) {
  if (knots.size() % 4 != 0) return false;
  for (std::size_t i = 0; i < knots.size(); i += 4)
    if (knots[i] != knots[i + 3]) return false;
  return true;
}

bool isBezierChain(const tSplineData& s, bool forceBSpline) {
  const std::size_t knots = s.knots.size(), control = s.control.size();
  return !forceBSpline && knots % 4 == 0 && control % 4 == 0 && control > 0 && knots == control + 4 && knots != 12 &&
         knotsInRunsOfFour(s.knots);
}

std::vector<trealpoint> bezierChainPoints(const tSplineData& s, int steps) {
  const std::size_t m = s.control.size();
  double step = 1.0 / steps;
  if (m > 3) step *= static_cast<double>(m);
  std::vector<trealpoint> out;
  for (std::size_t g = 0; g + 3 < m; g += 4) {
    const trealpoint* p = &s.control[g];
    const double* w = &s.weights[g];
    out.push_back(p[0]);  // every segment starts and ends on its control points
    for (int k = 1; k * step < 1; ++k) out.push_back(bezierAt(p, w, k * step));
    out.push_back(p[3]);
  }
  return out;
}

std::vector<trealpoint> bsplinePoints(const tSplineData& s, int steps) {
  tBSpline curve;
  if (!curve.set(s.degree, s.knots, s.weights, s.control)) return s.control;
  const double u0 = curve.first(), u1 = curve.last();
  std::vector<trealpoint> out;
  out.reserve(static_cast<std::size_t>(steps) + s.knots.size() + 1);
  out.push_back(curve.at(u0));
  // Equal parameter steps, plus every inner knot so that corners of the
  // curve (knots of full multiplicity) are kept.
  auto knot = std::upper_bound(s.knots.begin(), s.knots.end(), u0);
  for (int i = 1; i < steps; ++i) {
    const double u = u0 + (u1 - u0) * i / steps;
    if (!(u < u1)) break;
    for (; knot != s.knots.end() && *knot < u; ++knot) {
      if (knot == s.knots.begin() || *knot != *(knot - 1)) out.push_back(curve.at(*knot));
    }
    out.push_back(curve.at(u));
  }
  for (; knot != s.knots.end() && *knot < u1; ++knot)
    if (*knot != *(knot - 1)) out.push_back(curve.at(*knot));
  out.push_back(curve.at(u1));
  return out;
}

}  // namespace

std::vector<trealpoint> splinePoints(tSplineData s, bool forceBSpline) {
  if (s.control.empty()) {
    // A spline given by fit points only: a smooth curve through them.
    if (s.fit.size() > 3) return fittedPolylinePoints(s.fit, false);
    return s.fit;
  }
  if (s.control.size() == 1) return s.control;
  s.weights.resize(s.control.size(), 1.0);
  const int steps = splineSteps(s.control);
  if (isBezierChain(s, forceBSpline)) return bezierChainPoints(s, steps);
  return bsplinePoints(s, steps);
}

bool tBSpline::set(int degree, const std::vector<double>& knots, const std::vector<double>& weights,
                   const std::vector<trealpoint>& control) {
  if (degree < 1 || degree > kMaxSplineDegree) return false;
  const std::size_t p = static_cast<std::size_t>(degree);
  if (knots.size() < p + 2) return false;
  const std::size_t count = std::min(control.size(), knots.size() - p - 1);
  if (count < p + 1) return false;
  for (std::size_t i = 1; i < count + p + 1; ++i)
    if (!(knots[i - 1] <= knots[i])) return false;
  if (!(knots[p] < knots[count])) return false;
  for (std::size_t i = 0; i < count; ++i)
    if (i < weights.size() && !(weights[i] > 0 && std::isfinite(weights[i]))) return false;
  degree_ = degree;
  count_ = count;
  knots_.assign(knots.begin(), knots.begin() + static_cast<std::ptrdiff_t>(count + p + 1));
  hx_.resize(count);
  hy_.resize(count);
  hw_.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double w = i < weights.size() ? weights[i] : 1.0;
    hx_[i] = control[i].x * w;
    hy_[i] = control[i].y * w;
    hw_[i] = w;
  }
  return true;
}

std::size_t tBSpline::span(double u) const {
  const std::size_t p = static_cast<std::size_t>(degree_);
  if (u >= knots_[count_]) {
    std::size_t k = count_ - 1;
    while (k > p && !(knots_[k] < knots_[k + 1])) --k;
    return k;
  }
  if (u <= knots_[p]) {
    std::size_t k = p;
    while (k + 1 < count_ && !(knots_[k] < knots_[k + 1])) ++k;
    return k;
  }
  const auto it = std::upper_bound(knots_.begin() + static_cast<std::ptrdiff_t>(p),
                                   knots_.begin() + static_cast<std::ptrdiff_t>(count_) + 1, u);
  return static_cast<std::size_t>(it - knots_.begin()) - 1;
}

trealpoint tBSpline::at(double u) const {
  const std::size_t p = static_cast<std::size_t>(degree_);
  u = std::clamp(u, knots_[p], knots_[count_]);
  const std::size_t k = span(u);
  // Cox-de Boor: the p + 1 basis functions that are not zero on span k.
  basis_[0] = 1;
  for (std::size_t j = 1; j <= p; ++j) {
    left_[j] = u - knots_[k + 1 - j];
    right_[j] = knots_[k + j] - u;
    double saved = 0;
    for (std::size_t r = 0; r < j; ++r) {
      const double temp = basis_[r] / (right_[r + 1] + left_[j - r]);
      basis_[r] = saved + right_[r + 1] * temp;
      saved = left_[j - r] * temp;
    }
    basis_[j] = saved;
  }
  double x = 0, y = 0, w = 0;
  for (std::size_t r = 0; r <= p; ++r) {
    const std::size_t i = k - p + r;
    x += basis_[r] * hx_[i];
    y += basis_[r] * hy_[i];
    w += basis_[r] * hw_[i];
  }
  return {x / w, y / w};
}

trealpoint bezierAt(const trealpoint* p, const double* w, double t) {
  const double s = 1 - t;
  const double b[4] = {s * s * s, 3 * s * s * t, 3 * s * t * t, t * t * t};
  double x = 0, y = 0, sum = 0;
  for (int i = 0; i < 4; ++i) {
    x += b[i] * w[i] * p[i].x;
    y += b[i] * w[i] * p[i].y;
    sum += b[i] * w[i];
  }
  return {x / sum, y / sum};
}

bool tFitCubic::set(const trealpoint& a, const trealpoint& b, const trealpoint& c, const trealpoint& d) {
  p_[0] = a;
  p_[1] = b;
  p_[2] = c;
  p_[3] = d;
  const double d01 = dist(a, b), d12 = dist(b, c), d23 = dist(c, d);
  length_ = d01 + d12 + d23;
  if (!(d01 > 0 && d12 > 0 && d23 > 0) || !std::isfinite(length_)) return false;
  t_[0] = 0;
  t_[1] = d01 / length_;
  t_[2] = (d01 + d12) / length_;
  t_[3] = 1;
  return true;
}

trealpoint tFitCubic::at(double u) const {
  trealpoint out;
  for (int i = 0; i < 4; ++i) {
    double basis = 1;
    for (int j = 0; j < 4; ++j)
      if (j != i) basis *= (u - t_[j]) / (t_[i] - t_[j]);
    out.x += basis * p_[i].x;
    out.y += basis * p_[i].y;
  }
  return out;
}

namespace {

// Points strictly inside the span between parameters ta and tb of the cubic.
void fitSpan(const tFitCubic& cubic, double ta, double tb, std::vector<trealpoint>& out) {
  const double length = cubic.length();
  if (!(length > 0.1)) return;
  double dt = clampRange(4 * length / 192, 5, 0.1) / length;
  if (dt > 1) dt = 0.25;
  if ((tb - ta) / dt > kMaxCurveSegments) dt = (tb - ta) / kMaxCurveSegments;
  for (int k = 1; ta + k * dt < tb; ++k) out.push_back(cubic.at(ta + k * dt));
}

}  // namespace

std::vector<trealpoint> fittedPolylinePoints(const std::vector<trealpoint>& v, bool closed) {
  const std::size_t n = v.size();
  std::vector<trealpoint> out;
  if (n <= 3) return v;
  out.push_back(v[0]);
  tFitCubic cubic;
  const std::size_t spans = closed ? n : n - 1;
  for (std::size_t s = 0; s < spans; ++s) {
    // Which four vertices carry the span, and which of their three gaps it is.
    std::size_t first = s == 0 ? 0 : s - 1;
    int gap = 1;
    if (closed) {
      first = (s + n - 1) % n;
    } else if (s == 0) {
      gap = 0;
    } else if (s == n - 2) {
      first = n - 4;
      gap = 2;
    } else if (s == n - 3) {
      first = n - 4;
    }
    if (cubic.set(v[first % n], v[(first + 1) % n], v[(first + 2) % n], v[(first + 3) % n]))
      fitSpan(cubic, cubic.t(gap), cubic.t(gap + 1), out);
    out.push_back(v[(s + 1) % n]);
  }
  return out;
}

}  // namespace trazvik::import
