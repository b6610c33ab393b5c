#include "prepare/cutting_order.h"

#include <algorithm>

namespace trazvik {
namespace {

int sign(double v) { return (v > 0) - (v < 0); }

int compareHatchLines(const tfigura& a, const tfigura& b, const HatchLineCompare& hatch) {
  if (hatch) return hatch(a, b);
  return sign(static_cast<double>(a.org_index) - b.org_index);
}

// From the right: larger minimum x first, at equal x larger minimum y first.
int fromRight(const tfigura& a, const tfigura& b) {
  if (a.fig_pp.x != b.fig_pp.x) return a.fig_pp.x > b.fig_pp.x ? -2 : 2;
  if (a.fig_pp.y != b.fig_pp.y) return a.fig_pp.y > b.fig_pp.y ? -2 : 2;
  return 0;
}

// From the left: smaller minimum x first, at equal x larger minimum y first.
int fromLeft(const tfigura& a, const tfigura& b) {
  if (a.fig_pp.x != b.fig_pp.x) return a.fig_pp.x > b.fig_pp.x ? 2 : -2;
  if (a.fig_pp.y != b.fig_pp.y) return a.fig_pp.y > b.fig_pp.y ? -2 : 2;
  return 0;
}

// Mixed: the figures below the centre first, left to right, then the others
// right to left.
int mixed(const tfigura& a, const tfigura& b, double centerY) {
  const bool aBelow = a.fig_pp.y < centerY;
  const bool bBelow = b.fig_pp.y < centerY;
  if (aBelow != bBelow) return aBelow ? -2 : 2;
  return aBelow ? fromLeft(a, b) : fromRight(a, b);
}

int nestingTerm(const tfigura& a, const tfigura& b, int orderFig) {
  switch (orderFig) {
    case 0: return sign(static_cast<double>(a.org_index) - b.org_index);
    case 1: return a.poziom < b.poziom ? 4 : (a.poziom > b.poziom ? -4 : 0);
    case 2: return a.poziom < b.poziom ? -4 : (a.poziom > b.poziom ? 4 : 0);
    default: return 0;
  }
}

int runTerm(const tfigura& a, const tfigura& b, int orderGlobal, double centerY) {
  switch (orderGlobal) {
    case 0: return sign(static_cast<double>(a.org_index) - b.org_index);
    case 1: return a.DistToProj > b.DistToProj ? 2 : (a.DistToProj < b.DistToProj ? -2 : 0);
    case 2: return a.DistToProj > b.DistToProj ? -2 : (a.DistToProj < b.DistToProj ? 2 : 0);
    case 3: return fromRight(a, b);
    case 4: return fromLeft(a, b);
    case 5: return mixed(a, b, centerY);
    default: return 0;
  }
}

// Two figures with the same nest key, by the run setting.
int sameNestKey(const tfigura& a, const tfigura& b, int orderGlobal, double centerY) {
  switch (orderGlobal) {
    case 0: return sign(static_cast<double>(a.org_index) - b.org_index);
    case 1: return sign(static_cast<double>(a.DistToFig) - b.DistToFig);
    case 2: return sign(static_cast<double>(b.DistToFig) - a.DistToFig);
    case 3: return sign(b.fig_pp.x - a.fig_pp.x);
    case 4: return sign(a.fig_pp.x - b.fig_pp.x);
    case 5: return mixed(a, b, centerY);
    default: return 0;
  }
}

int nestComparison(const tfigura& a, const tfigura& b, const PrepareSettings& s, double centerY,
                   const HatchLineCompare& hatch) {
  if (a.kreska != b.kreska) return a.kreska ? -1 : 1;
  if (a.kreska) {
    if (a.pochodzi != b.pochodzi) return a.pochodzi < b.pochodzi ? -1 : 1;
    return compareHatchLines(a, b, hatch);
  }
  if (a.pom_index != b.pom_index) return a.pom_index < b.pom_index ? -1 : 1;
  return sameNestKey(a, b, s.Order_global, centerY);
}

template <class Compare>
void sortBy(tListaFigur& figury, Compare&& compare) {
  std::stable_sort(figury.begin(), figury.end(), [&](const auto& a, const auto& b) { return compare(*a, *b) < 0; });
}

void renumber(tListaFigur& figury) {
  for (std::size_t i = 0; i < figury.size(); ++i) figury[i]->pom_index = static_cast<double>(i);
}

// Moves every nested figure next to its enclosing figure: just before it
// (inner first, or keep the order) or just after it (outer first), level by
// level, so that a whole nest is cut in one go.
void regroupNests(tListaFigur& figury, const PrepareSettings& s, double centerY, const HatchLineCompare& hatch) {
  auto nest = [&](const tfigura& a, const tfigura& b) { return nestComparison(a, b, s, centerY, hatch); };
  int deepest = 0;
  for (const auto& f : figury) deepest = std::max(deepest, f->poziom);
  const double n = static_cast<double>(figury.size());
  renumber(figury);
  if (s.order_fig == 0 || s.order_fig == 1) {
    // Positions are whole numbers, so any step below 1 puts a figure right
    // before its enclosing one; all figures of one nest share the key and
    // keep their run order.
    for (int level = 0; level < deepest; ++level) {
      for (auto& f : figury) {
        if (f->poziom == level + 1 && f->lezy_w != nullptr) f->pom_index = f->lezy_w->pom_index - 0.5;
      }
      sortBy(figury, nest);
      renumber(figury);
    }
  } else if (s.order_fig == 2) {
    // Right after the enclosing figure, in the order the figures stand.
    for (int level = 1; level <= deepest; ++level) {
      for (std::size_t k = 0; k < figury.size(); ++k) {
        tfigura& f = *figury[k];
        if (f.poziom == level && f.lezy_w != nullptr) {
          f.pom_index = f.lezy_w->pom_index + (static_cast<double>(k) + 1) / (n + 1);
        }
      }
      sortBy(figury, nest);
      renumber(figury);
    }
  }
}

}  // namespace

int porownajFigury(const tfigura& a, const tfigura& b, const PrepareSettings& s, double centerY,
                   const HatchLineCompare& hatch) {
  if (a.kreska != b.kreska) return a.kreska ? -1 : 1;
  if (a.kreska) return compareHatchLines(a, b, hatch);
  int run = runTerm(a, b, s.Order_global, centerY);
  if (run == 0 && s.multiLayer) run = a.width > b.width ? 2 : (a.width < b.width ? -2 : 0);
  return nestingTerm(a, b, s.order_fig) + run;
}

void UstawKolejnosc(tListaFigur& figury, const PrepareSettings& s, double centerY, const HatchLineCompare& hatch) {
  sortBy(figury, [&](const tfigura& a, const tfigura& b) { return porownajFigury(a, b, s, centerY, hatch); });
  if (s.WszystkieWjednej) regroupNests(figury, s, centerY, hatch);
}

}  // namespace trazvik
