#include "project/node_cleanup.h"

#include "geometry/lines.h"
#include "geometry/points.h"

#include <cmath>

namespace trazvik {

bool naProstej(const trealpoint& p1, const trealpoint& p2, const trealpoint& p3) {
  if (p1.x == p2.x && p2.x == p3.x) return true;
  if (p1.x == p2.x || p2.x == p3.x || p1.x == p3.x) return false;
  const double nachylenie13 = (p3.y - p1.y) / (p3.x - p1.x);
  const double nachylenieKrotszego =
      dist(p1, p2) >= dist(p2, p3) ? (p3.y - p2.y) / (p3.x - p2.x) : (p2.y - p1.y) / (p2.x - p1.x);
  return std::abs(nachylenie13 - nachylenieKrotszego) < kTolerancjaNachylenia;
}

void optymalizujWezly(std::vector<trealpoint>& p) {
  if (p.size() <= 2) return;
  // Each pass compacts in place: p[kept] is the last point that stays, and
  // a removal makes the next point face the same kept point, exactly as
  // removing one point and testing the same position again would.
  std::size_t kept = 0;
  for (std::size_t i = 1; i < p.size(); ++i) {
    if (nearPointTol(p[i], p[kept], kOdlegloscWezlow)) continue;
    p[++kept] = p[i];
  }
  p.resize(kept + 1);
  if (p.size() < 3) return;

  kept = 0;
  for (std::size_t i = 1; i + 1 < p.size(); ++i) {
    if (naProstej(p[kept], p[i], p[i + 1])) continue;
    p[++kept] = p[i];
  }
  p[++kept] = p.back();
  p.resize(kept + 1);
}

namespace {

// Largest distance of the points strictly between a and j from the line
// through p[a] and p[j].
double najwiekszeOdchylenie(const std::vector<trealpoint>& p, std::size_t a, std::size_t j) {
  const tLineGen linia = segmentLineGen({p[a], p[j]});
  double najwieksze = 0;
  for (std::size_t i = a + 1; i < j; ++i) {
    const double d = pointLineDistance(p[i], linia);
    if (d > najwieksze || std::isnan(d)) najwieksze = std::isnan(d) ? INFINITY : d;
  }
  return najwieksze;
}

}  // namespace

void uproscKrotkieOdcinki(std::vector<trealpoint>& p, double t) {
  if (p.size() < 3) return;
  std::vector<trealpoint> wynik;
  wynik.reserve(p.size());
  std::size_t kotwica = 0;
  wynik.push_back(p[0]);
  std::size_t j = 2;
  while (j < p.size()) {
    if (najwiekszeOdchylenie(p, kotwica, j) >= t) {
      // The run ends at the point before j, which becomes the next anchor.
      kotwica = j - 1;
      wynik.push_back(p[kotwica]);
      j = kotwica + 2;
    } else {
      ++j;
    }
  }
  wynik.push_back(p.back());
  p = std::move(wynik);
}

}  // namespace trazvik
