// Hash grids that find loading candidates without comparing every figure
// with every other: cells of a fixed size, keyed by their integer column
// and row. Coordinates that are not finite or too large for a cell number
// fall into the outermost cells, so no input can overflow a key.
#pragma once
#include "geometry/records.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace trazvik {

class tSiatkaHaszujaca {
 public:
  // cell > 0 file units. Boxes covering more than maxCells cells are kept in
  // an overflow list that every query sees.
  explicit tSiatkaHaszujaca(double cell, std::int64_t maxCells = 64);

  // Registers item under every cell of the box [lo, hi].
  void dodaj(std::uint32_t item, trealpoint lo, trealpoint hi);
  // Registers item under every cell the segment a-b touches (cells it only
  // grazes included), so that a long diagonal costs its length, not its box.
  void dodajOdcinek(std::uint32_t item, trealpoint a, trealpoint b);
  // Calls visit(item) for every item sharing a cell with the segment a-b,
  // and for every overflow item. Two segments that meet share a cell.
  template <class Visit>
  void dlaKandydatowOdcinka(trealpoint a, trealpoint b, Visit&& visit) const {
    for (std::uint32_t item : duze_) visit(item);
    if (!komorkiOdcinka(a, b, [&](std::int64_t cx, std::int64_t cy) {
          auto it = komorki_.find(klucz(cx, cy));
          if (it != komorki_.end()) {
            for (std::uint32_t item : it->second) visit(item);
          }
        })) {
      for (std::uint32_t item : wszystkie_) visit(item);
    }
  }
  // Calls visit(item) for every item registered in a cell the box [lo, hi]
  // touches, and for every overflow item; an item may be visited more than
  // once. A box covering more than maxCells cells visits every item.
  template <class Visit>
  void dlaKandydatow(trealpoint lo, trealpoint hi, Visit&& visit) const {
    for (std::uint32_t item : duze_) visit(item);
    const Zakres z = zakres(lo, hi);
    if (z.komorki() > maxCells_) {
      for (std::uint32_t item : wszystkie_) visit(item);
      return;
    }
    for (std::int64_t cx = z.x0; cx <= z.x1; ++cx) {
      for (std::int64_t cy = z.y0; cy <= z.y1; ++cy) {
        auto it = komorki_.find(klucz(cx, cy));
        if (it == komorki_.end()) continue;
        for (std::uint32_t item : it->second) visit(item);
      }
    }
  }

 private:
  struct Zakres {
    std::int64_t x0, y0, x1, y1;
    std::int64_t komorki() const { return (x1 - x0 + 1) * (y1 - y0 + 1); }
  };
  std::int64_t numer(double v) const;
  // Calls f(column, row) for the cells along a-b, row band by row band;
  // false (nothing called) when the segment is not finite or would touch
  // more than kMaxKomorekOdcinka cells.
  template <class F>
  bool komorkiOdcinka(trealpoint a, trealpoint b, F&& f) const;
  static constexpr std::int64_t kMaxKomorekOdcinka = 4096;
  Zakres zakres(trealpoint lo, trealpoint hi) const;
  static std::uint64_t klucz(std::int64_t cx, std::int64_t cy);

  double cell_;
  std::int64_t maxCells_;
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> komorki_;
  std::vector<std::uint32_t> duze_;
  std::vector<std::uint32_t> wszystkie_;
};

template <class F>
bool tSiatkaHaszujaca::komorkiOdcinka(trealpoint a, trealpoint b, F&& f) const {
  if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return false;
  if (a.y > b.y) std::swap(a, b);
  // A margin of a thousandth of a cell keeps points on cell borders in both
  // neighbours.
  const double eps = cell_ * 1e-3;
  const std::int64_t r0 = numer(a.y - eps), r1 = numer(b.y + eps);
  const std::int64_t c0 = numer(std::min(a.x, b.x) - eps), c1 = numer(std::max(a.x, b.x) + eps);
  if ((r1 - r0 + 1) + (c1 - c0 + 1) > kMaxKomorekOdcinka) return false;
  const double dy = b.y - a.y;
  for (std::int64_t r = r0; r <= r1; ++r) {
    double xa = a.x, xb = b.x;
    if (dy > 0) {
      // The part of the segment inside this row's band (with the margin).
      const double lo = std::max(a.y, static_cast<double>(r) * cell_ - eps);
      const double hi = std::min(b.y, static_cast<double>(r + 1) * cell_ + eps);
      xa = a.x + (b.x - a.x) * ((lo - a.y) / dy);
      xb = a.x + (b.x - a.x) * ((hi - a.y) / dy);
    }
    if (xa > xb) std::swap(xa, xb);
    // Never wider than the segment itself, whatever the rounding.
    const std::int64_t od = std::max(c0, numer(xa - eps)), doKolumny = std::min(c1, numer(xb + eps));
    for (std::int64_t c = od; c <= doKolumny; ++c) f(c, r);
  }
  return true;
}

}  // namespace trazvik
