#include "prepare/loop_cutting.h"

#include "prepare/plane_math.h"
#include "prepare/segment_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace trazvik::prepare {
namespace {

// One point where two segments of the ring cross, seen from one of them.
struct Event {
  std::size_t segment = 0;
  double t = 0;
  std::size_t crossing = 0;  // index into the crossing points
  std::size_t partner = 0;   // index (in the sorted events) of the other segment's event
};

struct Crossings {
  std::vector<trealpoint> points;
  std::vector<Event> events;  // sorted along the ring
};

// Pairs of segments whose boxes overlap, by a sweep along the ring's longer
// side: segments sorted by where they start on that axis, each compared
// with those that start before it ends.
template <class Visit>
void forEachOverlappingPair(const std::vector<trealpoint>& ring, Visit&& visit) {
  const std::size_t m = ring.size() - 1;
  trealpoint lo = ring[0], hi = ring[0];
  for (const trealpoint& p : ring) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
  }
  const bool alongX = hi.x - lo.x >= hi.y - lo.y;
  struct Span {
    double from, to, lo, hi;  // along the sweep axis, and across it
    std::uint32_t segment;
  };
  thread_local std::vector<Span> spans;
  spans.clear();
  for (std::size_t i = 0; i < m; ++i) {
    const trealpoint a = ring[i], b = ring[i + 1];
    const double a1 = alongX ? a.x : a.y, b1 = alongX ? b.x : b.y;
    const double a2 = alongX ? a.y : a.x, b2 = alongX ? b.y : b.x;
    spans.push_back(
        {std::min(a1, b1), std::max(a1, b1), std::min(a2, b2), std::max(a2, b2), static_cast<std::uint32_t>(i)});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& p, const Span& q) { return p.from < q.from; });
  for (std::size_t k = 0; k < spans.size(); ++k) {
    const Span& s = spans[k];
    for (std::size_t j = k + 1; j < spans.size() && spans[j].from <= s.to; ++j) {
      const Span& t = spans[j];
      if (t.lo > s.hi || t.hi < s.lo) continue;
      visit(std::min(s.segment, t.segment), std::max(s.segment, t.segment));
    }
  }
}

Crossings findCrossings(const std::vector<trealpoint>& ring) {
  const std::size_t m = ring.size() - 1;
  Crossings found;
  std::vector<std::pair<Event, Event>> pairs;
  forEachOverlappingPair(ring, [&](std::size_t i, std::size_t j) {
    if (j < i + 2 || j >= m || (i == 0 && j == m - 1)) return;
    double t = 0, u = 0;
    if (!segmentsMeet(ring[i], ring[i + 1], ring[j], ring[j + 1], t, u)) return;
    // A crossing at a shared corner is seen again from the next segment.
    if ((t == 1 && i + 1 < m) || (u == 1 && j + 1 < m)) return;
    const std::size_t c = found.points.size();
    found.points.push_back(ring[i] + (ring[i + 1] - ring[i]) * t);
    pairs.push_back({{i, t, c, 0}, {j, u, c, 0}});
  });
  for (const auto& [a, b] : pairs) {
    found.events.push_back(a);
    found.events.push_back(b);
  }
  std::sort(found.events.begin(), found.events.end(),
            [](const Event& a, const Event& b) { return a.segment != b.segment ? a.segment < b.segment : a.t < b.t; });
  std::vector<std::size_t> first(found.points.size(), std::numeric_limits<std::size_t>::max());
  for (std::size_t e = 0; e < found.events.size(); ++e) {
    const std::size_t c = found.events[e].crossing;
    if (first[c] == std::numeric_limits<std::size_t>::max()) {
      first[c] = e;
    } else {
      found.events[e].partner = first[c];
      found.events[first[c]].partner = e;
    }
  }
  return found;
}

double distanceToSegment(trealpoint p, trealpoint a, trealpoint b) {
  const trealpoint d = b - a;
  const double len2 = dot(d, d);
  const double t = len2 == 0 ? 0 : std::clamp(dot(p - a, d) / len2, 0.0, 1.0);
  return length(p - (a + d * t));
}

double clearanceAllowance(double r) { return 1 + r * 1e-3; }

// Whether one point keeps the radius from the figure (every edge tried).
bool keepsClearance(trealpoint pt, std::span<const trealpoint> figure, double r) {
  const double limit = r - clearanceAllowance(r);
  const std::size_t n = figure.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (distanceToSegment(pt, figure[i], figure[(i + 1) % n]) < limit) return false;
  }
  return true;
}

// Whether points keep the radius from the figure, through a grid of its
// edges.
class Clearance {
 public:
  Clearance(std::span<const trealpoint> figure, double r) : r_(r), allowance_(clearanceAllowance(r)) {
    closed_.assign(figure.begin(), figure.end());
    if (!closed_.empty()) closed_.push_back(closed_.front());
    grid_.build(closed_, r);  // a query box then meets at most 3 x 3 cells
  }

  bool keeps(trealpoint pt) {
    const double limit = r_ - allowance_;
    bool inside = false;
    grid_.forEachInBox(pt - trealpoint{r_, r_}, pt + trealpoint{r_, r_}, [&](std::size_t j) {
      if (!inside && distanceToSegment(pt, closed_[j], closed_[j + 1]) < limit) inside = true;
    });
    return !inside;
  }

 private:
  double r_;
  double allowance_;
  std::vector<trealpoint> closed_;
  SegmentGrid grid_;
};

// The ring between two events: the crossing point of the first, the ring's
// corners after it up to the second, and the second's crossing point.
class Pieces {
 public:
  Pieces(const std::vector<trealpoint>& ring, const Crossings& crossings) : ring_(ring), c_(crossings) {}

  std::size_t count() const { return c_.events.size(); }
  std::size_t next(std::size_t k) const { return (k + 1) % count(); }

  // Appends piece k without its last point (the next piece starts there).
  void append(std::size_t k, std::vector<trealpoint>& out, std::vector<std::size_t>& crossingAt) const {
    crossingAt.push_back(out.size());
    out.push_back(c_.points[c_.events[k].crossing]);
    forEachCorner(k, [&](std::size_t i) { out.push_back(ring_[i]); });
  }

  // Whether piece k keeps its distance from the figure: it holds no corner
  // that went through the figure's own corner, and up to kProbes of its
  // points spread along it (the middle of the span when it has no corner)
  // keep the radius.
  bool keeps(std::size_t k, std::span<const char> throughCorner, Clearance& clearance) const {
    constexpr std::size_t kProbes = 8;
    std::size_t corners = 0;
    bool touches = false;
    forEachCorner(k, [&](std::size_t i) {
      ++corners;
      touches = touches || throughCorner[i];
    });
    if (touches) return false;
    if (corners == 0) {
      const trealpoint a = c_.points[c_.events[k].crossing];
      const trealpoint b = c_.points[c_.events[next(k)].crossing];
      return clearance.keeps((a + b) * 0.5);
    }
    const std::size_t stride = (corners + kProbes - 1) / kProbes;
    std::size_t seen = 0;
    bool keeps = true;
    forEachCorner(k, [&](std::size_t i) {
      if (keeps && (seen++ % stride == stride / 2 || corners == 1)) keeps = clearance.keeps(ring_[i]);
    });
    return keeps;
  }

 private:
  // Ring corner indices strictly after event k and up to event k + 1 (the
  // ring's closing point counts once, as index 0).
  template <class F>
  void forEachCorner(std::size_t k, F&& f) const {
    const std::size_t m = ring_.size() - 1;
    const Event& from = c_.events[k];
    const Event& to = c_.events[next(k)];
    const bool wraps = next(k) == 0;  // events are sorted: only the last piece passes the ring's start
    std::size_t i = from.segment + 1;
    const std::size_t last = to.segment + (wraps ? m : 0);
    for (; i <= last; ++i) f(i % m);
  }

  const std::vector<trealpoint>& ring_;
  const Crossings& c_;
};

// Pieces are judged by a few of their points; a kept piece may still dip
// into the figure's clearance where it turns back on itself without a
// crossing (a spur where an arc overshoots a crossing, or an edge of the
// figure shorter than the tool's reach). Such corners go; crossing points
// stay. Only corners where the outline turns by more than a right angle,
// their neighbours and the neighbours of crossing points are measured: elsewhere an outline
// runs along the clearance it was built on.
void dropPointsInside(std::vector<trealpoint>& loop, std::vector<std::size_t>& crossingAt, Clearance& clearance) {
  const std::size_t n = loop.size();
  std::vector<char> mark(n, 0);  // 1 suspect, 2 crossing
  for (std::size_t i : crossingAt) {
    mark[(i + n - 1) % n] = std::max<char>(mark[(i + n - 1) % n], 1);
    mark[(i + 1) % n] = std::max<char>(mark[(i + 1) % n], 1);
  }
  for (std::size_t i : crossingAt) mark[i] = 2;
  for (std::size_t i = 0; i < n; ++i) {
    const trealpoint in = loop[i] - loop[(i + n - 1) % n];
    const trealpoint out = loop[(i + 1) % n] - loop[i];
    if (dot(in, out) >= 0) continue;
    for (std::size_t k : {(i + n - 1) % n, i, (i + 1) % n}) mark[k] = std::max<char>(mark[k], 1);
  }
  std::vector<trealpoint> kept;
  std::vector<std::size_t> keptCrossings;
  kept.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (mark[i] == 1 && !clearance.keeps(loop[i])) continue;
    if (mark[i] == 2) keptCrossings.push_back(kept.size());
    kept.push_back(loop[i]);
  }
  if (kept.size() < 3) return;
  loop.swap(kept);
  crossingAt.swap(keptCrossings);
}

void rotateToStart(std::vector<trealpoint>& loop, std::vector<std::size_t>& crossingAt, trealpoint start) {
  const auto it = std::find(loop.begin(), loop.end(), start);
  if (it == loop.end()) return;
  const std::size_t shift = static_cast<std::size_t>(it - loop.begin());
  std::rotate(loop.begin(), it, loop.end());
  for (std::size_t& i : crossingAt) i = (i + loop.size() - shift) % loop.size();
  std::sort(crossingAt.begin(), crossingAt.end());
}

}  // namespace

LoopCutResult cutLoops(std::vector<trealpoint>& ring, std::span<const char> throughCorner,
                       std::span<const trealpoint> figure, double r, int expectedTurn) {
  LoopCutResult result;
  if (ring.size() < 4) return result;
  const Crossings crossings = findCrossings(ring);
  if (crossings.events.empty()) {
    // One piece: it keeps the radius or the figure is too narrow for the
    // tool everywhere. Three points decide, against rounding at one of them.
    const std::size_t m = ring.size() - 1;
    const int keeping = keepsClearance(ring[0], figure, r) + keepsClearance(ring[m / 3], figure, r) +
                        keepsClearance(ring[2 * m / 3], figure, r);
    result.nothingLeft = keeping < 2;
    if (result.nothingLeft) return result;
    // A pass through a figure corner that crosses nothing is a touch: leave
    // the corner out.
    std::vector<trealpoint> kept;
    for (std::size_t i = 0; i < m; ++i) {
      if (!throughCorner[i]) kept.push_back(ring[i]);
    }
    if (kept.size() < m && kept.size() >= 3) {
      kept.push_back(kept.front());
      ring.swap(kept);
    }
    return result;
  }
  Clearance clearance(figure, r);
  const Pieces pieces(ring, crossings);
  const std::size_t n = pieces.count();
  std::vector<char> keep(n);
  for (std::size_t k = 0; k < n; ++k) keep[k] = pieces.keeps(k, throughCorner, clearance);

  // Follows kept pieces. At the end of a piece turn onto the other
  // segment's piece when it is kept (that is what cuts a loop, and where two
  // kept outlines only touch it keeps them from crossing), else go straight
  // on. Where several crossings lie within rounding distance of each other
  // the tiny pieces between them cannot be told apart; a walk stuck there
  // goes on with the nearest kept piece that starts in the cluster.
  enum : char { kFree, kOnPath, kDone };
  std::vector<char> state(n, kFree);
  const double snap = 2 * (1 + r * 1e-3);
  auto follow = [&](std::size_t k) -> std::size_t {
    const std::size_t straight = pieces.next(k);
    const std::size_t turn = crossings.events[straight].partner;
    if (keep[turn] && state[turn] != kDone) return turn;
    if (keep[straight] && state[straight] != kDone) return straight;
    const trealpoint at = crossings.points[crossings.events[straight].crossing];
    std::size_t best = n;
    double bestDistance = snap;
    for (std::size_t j = 0; j < n; ++j) {
      if (!keep[j] || state[j] == kDone) continue;
      const double d = length(crossings.points[crossings.events[j].crossing] - at);
      if (d <= bestDistance) {
        best = j;
        bestDistance = d;
      }
    }
    return best;
  };

  std::vector<trealpoint> best;
  std::vector<std::size_t> bestCrossings;
  double bestArea = 0;
  std::vector<std::size_t> path;
  for (std::size_t start = 0; start < n; ++start) {
    if (!keep[start] || state[start] != kFree) continue;
    // Walk until the path meets itself; the part from that piece on is a
    // closed outline (pieces before it lead into it and are dropped).
    path.clear();
    std::size_t k = start;
    while (k < n && state[k] == kFree) {
      state[k] = kOnPath;
      path.push_back(k);
      k = follow(k);
    }
    const bool closedLoop = k < n && state[k] == kOnPath;
    for (std::size_t piece : path) state[piece] = kDone;
    if (!closedLoop) continue;
    std::vector<trealpoint> loop;
    std::vector<std::size_t> crossingAt;
    for (auto it = std::find(path.begin(), path.end(), k); it != path.end(); ++it) pieces.append(*it, loop, crossingAt);
    if (loop.size() < 3) continue;
    const double area = doubleSignedArea(loop);
    const bool turnsRight = expectedTurn == 0 || signOf(area) == expectedTurn;
    if (turnsRight && std::abs(area) > std::abs(bestArea)) {
      best = std::move(loop);
      bestCrossings = std::move(crossingAt);
      bestArea = area;
    }
  }
  result.loopsCut = static_cast<int>(crossings.points.size());
  if (best.empty()) {
    result.nothingLeft = true;
    return result;
  }
  // Keep the ring's own start when it survived, so that the entry point does
  // not move needlessly.
  rotateToStart(best, bestCrossings, ring[0]);
  dropPointsInside(best, bestCrossings, clearance);
  best.push_back(best.front());
  ring.swap(best);
  result.crossingPoints = std::move(bestCrossings);
  return result;
}

}  // namespace trazvik::prepare
