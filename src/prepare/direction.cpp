#include "prepare/direction.h"

#include "geometry/angles.h"

#include <algorithm>
#include <numbers>

namespace trazvik {
namespace {

// Direction angle reduced into (-pi, pi].
double signedAngle(const trealpoint& from, const trealpoint& to) {
  const double a = dirAngle(from, to);
  return a > std::numbers::pi ? a - 2 * std::numbers::pi : a;
}

int directionOf(tfigura& f) {
  if (f.otwarta) return 0;
  const std::int64_t n = static_cast<std::int64_t>(f.p.size());
  const std::int64_t m = f.get_min_point();
  if (n < 3) return 0;
  const std::int64_t following = n <= 1 ? 0 : (m + 1 > n - 1 ? 1 : m + 1);
  const std::int64_t preceding = m == 0 ? n - 2 : m - 1;
  if (following == preceding || following == m) return 0;
  const double a = signedAngle(f.p[m], f.p[following]);
  const double b = signedAngle(f.p[m], f.p[preceding]);
  return a > b ? 1 : (a < b ? -1 : 0);
}

void reverse(tfigura& f) {
  std::reverse(f.p.begin(), f.p.end());
  std::reverse(f.op.begin(), f.op.end());
  f.dir = directionOf(f);
}

}  // namespace

int JakiKierunek(tListaFigur& figury, int nr) {
  if (nr < 0) {
    for (auto& f : figury) f->dir = directionOf(*f);
    return 0;
  }
  if (static_cast<std::size_t>(nr) >= figury.size()) return 0;
  tfigura& f = *figury[static_cast<std::size_t>(nr)];
  f.dir = directionOf(f);
  return f.dir;
}

void OdwrocKierunek(tListaFigur& figury, int nr) {
  if (nr < 0) {
    for (auto& f : figury) reverse(*f);
    return;
  }
  if (static_cast<std::size_t>(nr) < figury.size()) reverse(*figury[static_cast<std::size_t>(nr)]);
}

void UstawKierunek(tListaFigur& figury, const PrepareSettings& s) {
  // out_dir 1 sets a group to 1 and 2 to -1; 0 leaves it (outer figures, and
  // inner ones that follow the outer). Inner figures opposite to the outer
  // ones: out_dir 1 sets them to -1, 2 to 1, and 0 to 0 (every inner figure
  // with a direction is reversed).
  const bool keepOuter = s.out_dir != 1 && s.out_dir != 2;
  const int outer = s.out_dir == 1 ? 1 : -1;
  const bool keepInner = s.in_dir == 0 && keepOuter;
  const int inner = s.in_dir == 0 ? outer : (keepOuter ? 0 : -outer);
  for (auto& f : figury) {
    if (f->otwarta) continue;
    const bool isOuter = (f->poziom + (s.negatyw ? 1 : 0)) % 2 == 0;
    if (isOuter ? keepOuter : keepInner) continue;
    const int wanted = isOuter ? outer : inner;
    f->dir = directionOf(*f);
    if (f->dir != wanted) reverse(*f);
  }
}

}  // namespace trazvik
