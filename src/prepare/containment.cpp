#include "prepare/containment.h"

#include "prepare/box_index.h"

#include <algorithm>
#include <cmath>

namespace trazvik {
namespace {

bool identical(const tfigura& a, const tfigura& b) { return a.p == b.p; }

bool boxStrictlyEncloses(const tfigura& outer, const tfigura& inner) {
  return outer.fig_pp.x < inner.fig_pp.x && outer.fig_pp.y < inner.fig_pp.y && outer.fig_pk.x > inner.fig_pk.x &&
         outer.fig_pk.y > inner.fig_pk.y;
}

struct RayCount {
  int left = 0;
  int right = 0;
};

// Crossings of the horizontal line through t with the polygon's edges
// (closing edge included): an edge counts when t's height lies between its
// ends, start included and end excluded; horizontal edges never count; a
// crossing exactly at t is ignored.
RayCount countCrossings(const trealpoint& t, const std::vector<trealpoint>& poly) {
  RayCount count;
  const std::size_t n = poly.size();
  for (std::size_t i = 0; i < n; ++i) {
    const trealpoint& s = poly[i];
    const trealpoint& e = poly[(i + 1) % n];
    if (s.y == e.y) continue;
    const bool spans = s.y < e.y ? (s.y <= t.y && t.y < e.y) : (e.y < t.y && t.y <= s.y);
    if (!spans) continue;
    const double x = s.x + (t.y - s.y) * (e.x - s.x) / (e.y - s.y);
    if (x == t.x) continue;
    if (x > t.x) {
      ++count.right;
    } else {
      ++count.left;
    }
  }
  return count;
}

}  // namespace

bool figureLiesIn(const tfigura& a, const tfigura& b) {
  if (&a == &b || b.otwarta || identical(a, b)) return false;
  if (!boxStrictlyEncloses(b, a)) return false;
  bool inside = false;
  for (const trealpoint& t : a.p) {
    const RayCount c = countCrossings(t, b.p);
    inside = c.left % 2 == 1;
    // Parities that differ mean t lies on B's boundary: try the next point.
    if (c.left % 2 == c.right % 2) return inside;
  }
  return inside;
}

bool IsPointInPoly(const trealpoint& pkt, std::span<const trealpoint> poly) {
  bool inside = false;
  const std::size_t n = poly.size();
  for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
    const trealpoint& pi = poly[i];
    const trealpoint& pj = poly[j];
    if (((pi.y <= pkt.y && pkt.y < pj.y) || (pj.y <= pkt.y && pkt.y < pi.y)) &&
        pkt.x < (pj.x - pi.x) * (pkt.y - pi.y) / (pj.y - pi.y) + pi.x) {
      inside = !inside;
    }
  }
  return inside;
}

namespace {

// The pairs (B, A) with A lying in B, grouped by B in list order and, within
// one B, by A in list order.
std::vector<std::vector<std::uint32_t>> containedFigures(const tListaFigur& figury) {
  const std::size_t n = figury.size();
  std::vector<std::vector<std::uint32_t>> inside(n);
  prepare::BoxIndex index;
  for (std::size_t i = 0; i < n; ++i) {
    const tfigura& f = *figury[i];
    if (!f.otwarta) index.add(static_cast<std::uint32_t>(i), f.fig_pp, f.fig_pk);
  }
  index.finish();
  std::vector<std::uint32_t> candidates;
  for (std::size_t a = 0; a < n; ++a) {
    const tfigura& fa = *figury[a];
    candidates.clear();
    index.containing(fa.center, candidates);
    for (std::uint32_t b : candidates) {
      if (figureLiesIn(fa, *figury[b])) inside[b].push_back(static_cast<std::uint32_t>(a));
    }
  }
  for (auto& list : inside) std::sort(list.begin(), list.end());
  return inside;
}

class Nesting {
 public:
  explicit Nesting(tListaFigur& figury) : f_(figury), children_(figury.size()), parent_(figury.size(), kNone) {}

  // Moves a into b; true when that changed anything.
  bool consider(std::size_t a, std::size_t b) {
    tfigura& fa = *f_[a];
    const tfigura& fb = *f_[b];
    if (fa.lezy_w != nullptr && fa.lezy_w->poziom >= fb.poziom) return false;
    if (parent_[a] != kNone) {
      auto& siblings = children_[parent_[a]];
      siblings.erase(std::find(siblings.begin(), siblings.end(), a));
    }
    fa.lezy_w = f_[b].get();
    parent_[a] = b;
    children_[b].push_back(a);
    setLevel(a, fb.poziom + 1);
    return true;
  }

  int deepest() const { return deepest_; }

 private:
  // Levels only grow and the enclosing chain is acyclic (each box strictly
  // encloses the next), so this recursion ends.
  void setLevel(std::size_t a, int level) {
    f_[a]->poziom = level;
    deepest_ = std::max(deepest_, level);
    for (std::size_t child : children_[a]) setLevel(child, level + 1);
  }

  tListaFigur& f_;
  std::vector<std::vector<std::size_t>> children_;
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::vector<std::size_t> parent_;
  int deepest_ = 0;
};

}  // namespace

int co_w_czym(tListaFigur& figury) {
  for (auto& f : figury) {
    f->lezy_w = nullptr;
    f->poziom = 0;
  }
  const auto inside = containedFigures(figury);
  Nesting nesting(figury);
  // Every change raises a level, levels are bounded by the number of
  // figures, so the passes end.
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t b = 0; b < inside.size(); ++b) {
      for (std::uint32_t a : inside[b]) changed = nesting.consider(a, b) || changed;
    }
  }
  return nesting.deepest();
}

}  // namespace trazvik
