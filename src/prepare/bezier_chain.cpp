#include "prepare/bezier_chain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trazvik::prepare {
namespace {

struct V {
  double x = 0, y = 0;
};
V between(const trpoint3d& from, const trpoint3d& to) { return {to.x - from.x, to.y - from.y}; }
double length(V v) { return std::hypot(v.x, v.y); }
V unit(V v) {
  const double n = length(v);
  return n > 0 ? V{v.x / n, v.y / n} : V{};
}

// Direction of the curve leaving A and arriving at D.
V startDirection(const tBezier& b) {
  V v = between(b.A, b.B);
  if (length(v) == 0) v = between(b.A, b.C);
  if (length(v) == 0) v = between(b.A, b.D);
  return unit(v);
}
V endDirection(const tBezier& b) {
  V v = between(b.C, b.D);
  if (length(v) == 0) v = between(b.B, b.D);
  if (length(v) == 0) v = between(b.A, b.D);
  return unit(v);
}

void setHandle(trpoint3d& handle, const trpoint3d& end, V direction, double len) {
  handle.x = end.x + direction.x * len;
  handle.y = end.y + direction.y * len;
}

constexpr double kFirstStep = 0.1;
constexpr double kStepFactor = 0.9;
constexpr int kMaxStepPower = 400;

double stepOf(int k) { return kFirstStep * std::pow(kStepFactor, k); }

double distance(const trpoint3d& p, const trpoint3d& q) {
  const double dx = q.x - p.x, dy = q.y - p.y, dz = q.z - p.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The move of the walk with step u that begins at point m of the walk (the
// walk ends exactly at parameter 1).
double moveOfWalk(const tBezier& b, double u, double m) {
  const double t0 = std::min(1.0, m * u);
  return distance(bezierPoint(b, t0), bezierPoint(b, std::min(1.0, t0 + u)));
}

// Whether walking the segment from parameter 0 to 1 in steps of u moves no
// further than `limit` between two points. The moves around parameter
// `fastest` are looked at first: where the walk fails, it nearly always
// fails there.
bool walkWithin(const tBezier& b, double u, double limit, double fastest) {
  const double m = std::floor(fastest / u);
  for (double k : {m, m - 1, m + 1})
    if (k >= 0 && k * u < 1 && moveOfWalk(b, u, k) > limit) return false;
  trpoint3d prev = b.A;
  for (double t = u;; t += u) {
    const bool last = t >= 1;
    const trpoint3d q = bezierPoint(b, last ? 1.0 : t);
    if (distance(prev, q) > limit) return false;
    prev = q;
    if (last) return true;
  }
}

// The curve's speed (length per unit of parameter) is the length of its
// derivative, a quadratic Bezier of three times the control polygon's legs.
struct Speed {
  double legs[3][3];
  explicit Speed(const tBezier& b)
      : legs{{3 * (b.B.x - b.A.x), 3 * (b.B.y - b.A.y), 3 * (b.B.z - b.A.z)},
             {3 * (b.C.x - b.B.x), 3 * (b.C.y - b.B.y), 3 * (b.C.z - b.B.z)},
             {3 * (b.D.x - b.C.x), 3 * (b.D.y - b.C.y), 3 * (b.D.z - b.C.z)}} {}
  double at(double t) const {
    const double v = 1 - t;
    double s2 = 0;
    for (int k = 0; k < 3; ++k) {
      const double d = v * v * legs[0][k] + 2 * v * t * legs[1][k] + t * t * legs[2][k];
      s2 += d * d;
    }
    return std::sqrt(s2);
  }
  // The largest change of speed per unit of parameter: the length of the
  // second derivative, at most the longer of its two control legs.
  double change() const {
    double a = 0, b = 0;
    for (int k = 0; k < 3; ++k) {
      a += (legs[1][k] - legs[0][k]) * (legs[1][k] - legs[0][k]);
      b += (legs[2][k] - legs[1][k]) * (legs[2][k] - legs[1][k]);
    }
    return 2 * std::sqrt(std::max(a, b));
  }
};

// The curve's length by Gauss-Legendre quadrature over eight pieces.
double curveLength(const Speed& speed) {
  static constexpr double kNodes[] = {-0.8611363115940526, -0.3399810435848563, 0.3399810435848563, 0.8611363115940526};
  static constexpr double kWeights[] = {0.3478548451374538, 0.6521451548625461, 0.6521451548625461, 0.3478548451374538};
  constexpr int kPieces = 8;
  double total = 0;
  for (int p = 0; p < kPieces; ++p) {
    const double mid = (p + 0.5) / kPieces, half = 0.5 / kPieces;
    for (int i = 0; i < 4; ++i) total += kWeights[i] * half * speed.at(mid + kNodes[i] * half);
  }
  return total;
}

}  // namespace

std::vector<std::size_t> Wygladz(std::vector<tBezier>& chain, bool closed, double smoothCosine) {
  std::vector<std::size_t> changed;
  const std::size_t n = chain.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (!closed && i + 1 == n) break;
    tBezier& a = chain[i];
    tBezier& b = chain[(i + 1) % n];
    if (!a.gladki || &a == &b) continue;
    const V da = endDirection(a), db = startDirection(b);
    if (!(da.x * db.x + da.y * db.y > smoothCosine)) continue;
    if (a.prosta && b.prosta) continue;
    if (a.prosta) {
      setHandle(b.B, b.A, unit(between(a.A, a.D)), length(between(b.A, b.B)));
      changed.push_back((i + 1) % n);
    } else if (b.prosta) {
      const V back = unit(between(b.D, b.A));
      setHandle(a.C, a.D, back, length(between(a.C, a.D)));
      changed.push_back(i);
    } else {
      double t1 = std::atan2(da.y, da.x), t2 = std::atan2(db.y, db.x);
      if (t2 - t1 > std::numbers::pi) t2 -= 2 * std::numbers::pi;
      if (t1 - t2 > std::numbers::pi) t2 += 2 * std::numbers::pi;
      const double m = (t1 + t2) / 2;
      const V dir{std::cos(m), std::sin(m)};
      setHandle(a.C, a.D, {-dir.x, -dir.y}, length(between(a.C, a.D)));
      setHandle(b.B, b.A, dir, length(between(b.A, b.B)));
      changed.push_back(i);
      changed.push_back((i + 1) % n);
    }
  }
  return changed;
}

void WygladzWGranicach(FittedChain& chain, bool closed, const BezierLimits& limits) {
  std::vector<tBezier>& segments = chain.segments;
  const std::size_t n = segments.size();
  closed = closed && n > 1;
  const std::vector<tBezier> fitted = segments;
  std::vector<std::size_t> changed = Wygladz(segments, closed, limits.smoothCosine);
  std::sort(changed.begin(), changed.end());
  changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
  for (std::size_t i : changed) {
    if (segmentError(chain, i) <= limits.tolerance) continue;
    const tBezier& b = segments[i];
    const V t1 = startDirection(b), t2 = endDirection(b);
    const std::size_t first = chain.firstPoint[i];
    const std::size_t last = i + 1 < n ? chain.firstPoint[i + 1] : chain.points.size() - 1;
    SegmentFit again = PrzyblizSegment(chain.points, first, last, {t1.x, t1.y}, {t2.x, t2.y}, limits);
    again.segment.gladki = b.gladki;
    segments[i] = again.segment;
    if (!again.segment.prosta && segmentError(chain, i) <= limits.tolerance) continue;
    segments[i] = fitted[i];
    segments[i].gladki = false;
    if (i > 0 || closed) segments[(i + n - 1) % n].gladki = false;
  }
}

void DobierzU(tBezier& b, double stepLength) {
  if (!(stepLength > 0) || !std::isfinite(stepLength)) stepLength = 1;
  // Every move of a walk is a chord of the curve, no longer than the step
  // times the curve's top speed. The top speed is sampled; between two
  // samples it can exceed them by at most half the spacing times its
  // largest change, which gives a step that surely holds. Longer steps are
  // then tried by walking them.
  const Speed speed(b);
  constexpr int kSamples = 256;
  double top = 0, fastest = 0;
  for (int i = 0; i <= kSamples; ++i) {
    const double t = static_cast<double>(i) / kSamples, v = speed.at(t);
    if (v > top) {
      top = v;
      fastest = t;
    }
  }
  const double bound = top + speed.change() / (2 * kSamples);
  int k = 0;
  if (bound > 0)
    while (k < kMaxStepPower && stepOf(k) * bound > stepLength) ++k;
  while (k > 0 && walkWithin(b, stepOf(k - 1), stepLength, fastest)) --k;
  b.U = static_cast<float>(stepOf(k));
  b.Dlugosc = curveLength(speed);
}

std::vector<tBezier> UtworzSpiraleBezier(const std::vector<tBezier>& chain, bool closed, bool spiral,
                                         const BezierDescent& d) {
  std::vector<tBezier> out;
  if (chain.empty()) return out;
  auto placed = [](tBezier b, double z0, double z1) {
    b.A.z = z0;
    b.B.z = z0 + (z1 - z0) / 3;
    b.C.z = z0 + 2 * (z1 - z0) / 3;
    b.D.z = z1;
    return b;
  };
  double round = 0;
  for (const tBezier& b : chain) round += b.Dlugosc;
  const double top = std::max(d.start, d.bottom);
  if (!spiral || !(round > 0) || top <= d.bottom) {
    for (const tBezier& b : chain) out.push_back(placed(b, d.bottom, d.bottom));
    return out;
  }
  if (!closed) {
    // Down once along the open chain, at least as steeply as the pitch.
    const double fall = std::max(d.pitch, top - d.bottom) / round;
    double z = top;
    for (const tBezier& b : chain) {
      const double next = std::max(d.bottom, z - b.Dlugosc * fall);
      out.push_back(placed(b, z, next));
      z = next;
    }
    return out;
  }
  // A pitch that would need very many rounds is raised, as for the
  // polyline toolpath.
  const double pitch = std::max(d.pitch > 0 ? d.pitch : top - d.bottom, (top - d.bottom) / 100000);
  double z = top;
  std::size_t i = 0;
  const std::size_t n = chain.size();
  while (z > d.bottom) {
    const tBezier& b = chain[i % n];
    const double next = std::max(d.bottom, z - b.Dlugosc * pitch / round);
    out.push_back(placed(b, z, next));
    z = next;
    ++i;
  }
  for (std::size_t k = 0; k < n; ++k, ++i) out.push_back(placed(chain[i % n], d.bottom, d.bottom));
  return out;
}

}  // namespace trazvik::prepare
