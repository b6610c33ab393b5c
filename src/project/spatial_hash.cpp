#include "project/spatial_hash.h"

#include <algorithm>
#include <cmath>

namespace trazvik {

namespace {
// Cell numbers stay within this range so that ranges and products of
// numbers never overflow.
constexpr double kNajdalszaKomorka = 1e15;
}  // namespace

tSiatkaHaszujaca::tSiatkaHaszujaca(double cell, std::int64_t maxCells)
    : cell_(cell > 0 && std::isfinite(cell) ? cell : 1.0), maxCells_(std::max<std::int64_t>(maxCells, 1)) {}

std::int64_t tSiatkaHaszujaca::numer(double v) const {
  const double n = std::floor(v / cell_);
  if (std::isnan(n)) return 0;
  return static_cast<std::int64_t>(std::clamp(n, -kNajdalszaKomorka, kNajdalszaKomorka));
}

tSiatkaHaszujaca::Zakres tSiatkaHaszujaca::zakres(trealpoint lo, trealpoint hi) const {
  Zakres z{numer(lo.x), numer(lo.y), numer(hi.x), numer(hi.y)};
  if (z.x0 > z.x1) std::swap(z.x0, z.x1);
  if (z.y0 > z.y1) std::swap(z.y0, z.y1);
  // Guard the product in komorki() against wide ranges.
  if (z.x1 - z.x0 > maxCells_ || z.y1 - z.y0 > maxCells_) {
    z.x1 = z.x0 + maxCells_;
    z.y1 = z.y0 + maxCells_;
  }
  return z;
}

std::uint64_t tSiatkaHaszujaca::klucz(std::int64_t cx, std::int64_t cy) {
  // Mixing both numbers into one key; colliding cells only add candidates,
  // which the callers test exactly.
  std::uint64_t h = static_cast<std::uint64_t>(cx) * 0x9E3779B97F4A7C15ull;
  h ^= static_cast<std::uint64_t>(cy) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
  return h;
}

void tSiatkaHaszujaca::dodaj(std::uint32_t item, trealpoint lo, trealpoint hi) {
  wszystkie_.push_back(item);
  const Zakres z = zakres(lo, hi);
  if (z.komorki() > maxCells_) {
    duze_.push_back(item);
    return;
  }
  for (std::int64_t cx = z.x0; cx <= z.x1; ++cx) {
    for (std::int64_t cy = z.y0; cy <= z.y1; ++cy) komorki_[klucz(cx, cy)].push_back(item);
  }
}

void tSiatkaHaszujaca::dodajOdcinek(std::uint32_t item, trealpoint a, trealpoint b) {
  wszystkie_.push_back(item);
  if (!komorkiOdcinka(a, b, [&](std::int64_t cx, std::int64_t cy) { komorki_[klucz(cx, cy)].push_back(item); })) {
    duze_.push_back(item);
  }
}

}  // namespace trazvik
