#include "prepare/bezier_fit.h"

#include <algorithm>
#include <cmath>

namespace trazvik::prepare {
namespace {

trealpoint operator-(trealpoint a, trealpoint b) { return {a.x - b.x, a.y - b.y}; }
trealpoint operator+(trealpoint a, trealpoint b) { return {a.x + b.x, a.y + b.y}; }
trealpoint operator*(double k, trealpoint a) { return {k * a.x, k * a.y}; }
double dot(trealpoint a, trealpoint b) { return a.x * b.x + a.y * b.y; }
double norm(trealpoint a) { return std::sqrt(a.x * a.x + a.y * a.y); }
trealpoint unit(trealpoint a) {
  const double n = norm(a);
  return n > 0 ? (1 / n) * a : trealpoint{};
}
trpoint3d flat(trealpoint p) { return {p.x, p.y, 0}; }
trealpoint plane(const trpoint3d& p) { return {p.x, p.y}; }

struct Curve {
  trealpoint a, b, c, d;
  trealpoint at(double t) const {
    const double u = 1 - t;
    return (u * u * u) * a + (3 * u * u * t) * b + (3 * u * t * t) * c + (t * t * t) * d;
  }
  trealpoint first(double t) const {
    const double u = 1 - t;
    return (3 * u * u) * (b - a) + (6 * u * t) * (c - b) + (3 * t * t) * (d - c);
  }
  trealpoint second(double t) const { return (6 * (1 - t)) * (c - 2 * b + a) + (6 * t) * (d - 2 * c + b); }
};

tBezier segmentOf(const Curve& k, bool straight) {
  tBezier s;
  s.A = flat(k.a);
  s.B = flat(k.b);
  s.C = flat(k.c);
  s.D = flat(k.d);
  s.prosta = straight;
  return s;
}

Curve straightLine(trealpoint a, trealpoint d) { return {a, a + (1.0 / 3) * (d - a), a + (2.0 / 3) * (d - a), d}; }

// Distance of p from the segment a-b.
double distanceToChord(trealpoint p, trealpoint a, trealpoint b) {
  const trealpoint v = b - a;
  const double len2 = dot(v, v);
  const double t = len2 > 0 ? std::clamp(dot(p - a, v) / len2, 0.0, 1.0) : 0.0;
  return norm(p - (a + t * v));
}

// One Newton step towards the parameter of the curve point nearest to p.
double newton(const Curve& k, trealpoint p, double t) {
  const trealpoint q = k.at(t) - p;
  const trealpoint d1 = k.first(t);
  const double num = dot(q, d1);
  const double den = dot(d1, d1) + dot(q, k.second(t));
  if (!(std::fabs(den) > 1e-12)) return t;
  return std::clamp(t - num / den, 0.0, 1.0);
}

// The handle lengths that fit the points best for the parameters u, with
// the ends and the tangent directions fixed (a 2 x 2 system by Cramer).
Curve fitHandles(std::span<const trealpoint> p, std::span<const double> u, trealpoint t1, trealpoint t2) {
  const trealpoint a = p.front(), d = p.back();
  double c11 = 0, c12 = 0, c22 = 0, x1 = 0, x2 = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const double t = u[i], v = 1 - t;
    const double b0 = v * v * v, b1 = 3 * v * v * t, b2 = 3 * v * t * t, b3 = t * t * t;
    const trealpoint a1 = b1 * t1;
    const trealpoint a2 = (-b2) * t2;
    const trealpoint r = p[i] - ((b0 + b1) * a + (b2 + b3) * d);
    c11 += dot(a1, a1);
    c12 += dot(a1, a2);
    c22 += dot(a2, a2);
    x1 += dot(a1, r);
    x2 += dot(a2, r);
  }
  const double chord = norm(d - a);
  const double det = c11 * c22 - c12 * c12;
  double alpha = chord / 3, beta = chord / 3;
  if (std::fabs(det) > 1e-12 * std::max(1.0, c11 * c22)) {
    alpha = (x1 * c22 - c12 * x2) / det;
    beta = (c11 * x2 - c12 * x1) / det;
  }
  // A handle that points backwards or reaches far beyond the chord makes a
  // loop: the plain thirds serve instead.
  const double eps = 1e-6 * chord;
  if (!(alpha > eps && beta > eps && alpha < 2 * chord && beta < 2 * chord)) alpha = beta = chord / 3;
  return {a, a + alpha * t1, d - beta * t2, d};
}

double maxError(const Curve& k, std::span<const trealpoint> p, std::span<const double> u) {
  double e = 0;
  for (std::size_t i = 0; i < p.size(); ++i) e = std::max(e, norm(k.at(u[i]) - p[i]));
  return e;
}

}  // namespace

trpoint3d bezierPoint(const tBezier& b, double t) {
  const double u = 1 - t;
  const double k0 = u * u * u, k1 = 3 * u * u * t, k2 = 3 * u * t * t, k3 = t * t * t;
  return {k0 * b.A.x + k1 * b.B.x + k2 * b.C.x + k3 * b.D.x, k0 * b.A.y + k1 * b.B.y + k2 * b.C.y + k3 * b.D.y,
          k0 * b.A.z + k1 * b.B.z + k2 * b.C.z + k3 * b.D.z};
}

std::vector<trpoint3d> bezierTurningPoints(const tBezier& b) {
  std::vector<trpoint3d> out;
  // The derivative of one coordinate is 3 (a t^2 + b t + c); its roots in
  // (0, 1) are where that coordinate turns back.
  auto rootsOf = [&](double p0, double p1, double p2, double p3) {
    const double a = p3 - 3 * p2 + 3 * p1 - p0, bb = 2 * (p2 - 2 * p1 + p0), c = p1 - p0;
    const double scale = std::max({std::fabs(a), std::fabs(bb), std::fabs(c)});
    if (!(scale > 0)) return;
    auto take = [&](double t) {
      if (t > 0 && t < 1) out.push_back(bezierPoint(b, t));
    };
    if (std::fabs(a) <= 1e-12 * scale) {
      if (std::fabs(bb) > 1e-12 * scale) take(-c / bb);
      return;
    }
    const double disc = bb * bb - 4 * a * c;
    if (disc < 0) return;
    const double root = std::sqrt(disc);
    take((-bb + root) / (2 * a));
    take((-bb - root) / (2 * a));
  };
  rootsOf(b.A.x, b.B.x, b.C.x, b.D.x);
  rootsOf(b.A.y, b.B.y, b.C.y, b.D.y);
  rootsOf(b.A.z, b.B.z, b.C.z, b.D.z);
  return out;
}

double turningCosine(std::span<const trealpoint> pts, std::size_t i, bool closed) {
  const std::size_t n = pts.size();
  if (n < 3) return -2;
  std::size_t prev = i - 1, next = i + 1;
  if (i == 0 || i == n - 1) {
    if (!closed) return -2;
    prev = n - 2;
    next = 1;
  }
  const trealpoint in = unit(pts[i] - pts[prev]), out = unit(pts[next] - pts[i]);
  return dot(in, out);
}

SegmentFit PrzyblizSegment(std::span<const trealpoint> pts, std::size_t first, std::size_t last, trealpoint t1,
                           trealpoint t2, const BezierLimits& limits) {
  SegmentFit fit;
  const std::span<const trealpoint> p = pts.subspan(first, last - first + 1);
  if (p.size() <= 2) {
    fit.segment = segmentOf(straightLine(p.front(), p.back()), true);
    return fit;
  }
  double chordError = 0;
  for (const trealpoint& q : p) chordError = std::max(chordError, distanceToChord(q, p.front(), p.back()));
  if (chordError <= limits.innerTolerance) {
    fit.segment = segmentOf(straightLine(p.front(), p.back()), true);
    fit.error = chordError;
    return fit;
  }
  // Chord-length parameters.
  std::vector<double> u(p.size(), 0.0);
  for (std::size_t i = 1; i < p.size(); ++i) u[i] = u[i - 1] + norm(p[i] - p[i - 1]);
  const double total = u.back();
  for (double& v : u) v = total > 0 ? v / total : 0;
  if (norm(t1) == 0) t1 = unit(p[1] - p[0]);
  if (norm(t2) == 0) t2 = unit(p.back() - p[p.size() - 2]);

  Curve k = fitHandles(p, u, t1, t2);
  double error = maxError(k, p, u);
  for (int round = 0; round < 6 && error > limits.innerTolerance; ++round) {
    for (std::size_t i = 1; i + 1 < p.size(); ++i) u[i] = newton(k, p[i], u[i]);
    const Curve better = fitHandles(p, u, t1, t2);
    const double betterError = maxError(better, p, u);
    if (!(betterError < error)) break;
    const bool small = error - betterError < limits.innerTolerance / 10;
    k = better;
    error = betterError;
    if (small) break;
  }
  fit.segment = segmentOf(k, false);
  fit.error = error;
  return fit;
}

FittedChain PrzyblizFigure(std::span<const trealpoint> polyline, bool closed, const BezierLimits& limits) {
  FittedChain chain;
  std::vector<trealpoint>& pts = chain.points;
  for (const trealpoint& q : polyline)
    if (pts.empty() || !(pts.back() == q)) pts.push_back(q);
  if (closed && pts.size() > 2 && !(pts.front() == pts.back())) pts.push_back(pts.front());
  if (closed && pts.size() < 4) closed = false;
  const std::size_t n = pts.size();
  if (n < 2) return chain;

  std::vector<double> cosine(n);
  std::vector<char> breaks(n, 1);
  for (std::size_t i = 0; i < n; ++i) {
    cosine[i] = turningCosine(pts, i, closed);
    if (i == 0 || i == n - 1) continue;
    const double in = norm(pts[i] - pts[i - 1]), out = norm(pts[i + 1] - pts[i]);
    const bool even = in < 3 * out && out < 3 * in;
    breaks[i] = !(cosine[i] > limits.smoothCosine && even);
  }
  auto smooth = [&](std::size_t i) { return cosine[i] > limits.smoothCosine; };
  // Tangent at point i: the mean of both chords at a smooth joint, else the
  // chord on the segment's own side.
  auto tangent = [&](std::size_t i, bool atStart) {
    if (smooth(i)) {
      const std::size_t prev = i == 0 ? n - 2 : i - 1, next = i == n - 1 ? 1 : i + 1;
      const trealpoint t = unit(unit(pts[i] - pts[prev]) + unit(pts[next] - pts[i]));
      if (norm(t) > 0) return t;
    }
    return atStart ? unit(pts[i + 1] - pts[i]) : unit(pts[i] - pts[i - 1]);
  };
  auto fitRange = [&](std::size_t s, std::size_t e) {
    return PrzyblizSegment(pts, s, e, tangent(s, true), tangent(e, false), limits);
  };

  std::size_t s = 0;
  while (s + 1 < n) {
    std::size_t limit = s + 1;
    while (limit < n - 1 && !breaks[limit]) ++limit;
    // The longest run from s that fits: doubling steps, then halving.
    std::size_t good = s + 1, bad = 0, step = 1;
    SegmentFit best = fitRange(s, good);
    while (good < limit) {
      const std::size_t candidate = std::min(good + step, limit);
      SegmentFit f = fitRange(s, candidate);
      if (f.error > limits.tolerance) {
        bad = candidate;
        break;
      }
      good = candidate;
      best = f;
      step *= 2;
    }
    while (bad != 0 && bad - good > 1) {
      const std::size_t mid = good + (bad - good) / 2;
      SegmentFit f = fitRange(s, mid);
      if (f.error > limits.tolerance) {
        bad = mid;
      } else {
        good = mid;
        best = f;
      }
    }
    tBezier seg = best.segment;
    if (good == n - 1) {
      seg.gladki = closed && smooth(n - 1);
    } else {
      seg.gladki = good < limit || smooth(good);
    }
    chain.segments.push_back(seg);
    chain.firstPoint.push_back(s);
    s = good;
  }
  return chain;
}

double segmentError(const FittedChain& chain, std::size_t i) {
  const std::size_t first = chain.firstPoint[i];
  const std::size_t last = i + 1 < chain.segments.size() ? chain.firstPoint[i + 1] : chain.points.size() - 1;
  const tBezier& b = chain.segments[i];
  const Curve k{plane(b.A), plane(b.B), plane(b.C), plane(b.D)};
  double worst = 0;
  for (std::size_t j = first; j <= last; ++j) {
    // The nearest curve point, from a few starting parameters.
    const trealpoint p = chain.points[j];
    double best = std::min(norm(k.a - p), norm(k.d - p));
    for (double t0 : {0.1, 0.3, 0.5, 0.7, 0.9}) {
      double t = t0;
      for (int r = 0; r < 8; ++r) t = newton(k, p, t);
      best = std::min(best, norm(k.at(t) - p));
    }
    worst = std::max(worst, best);
  }
  return worst;
}

double chainError(const FittedChain& chain) {
  double worst = 0;
  for (std::size_t i = 0; i < chain.segments.size(); ++i) worst = std::max(worst, segmentError(chain, i));
  return worst;
}

}  // namespace trazvik::prepare
