// Hash grids that find loading candidates without comparing every figure
// with every other: cells of a fixed size, keyed by their integer column
// and row. Coordinates that are not finite or too large for a cell number
// fall into the outermost cells, so no input can overflow a key.
#pragma once
#include "geometry/records.h"

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
  Zakres zakres(trealpoint lo, trealpoint hi) const;
  static std::uint64_t klucz(std::int64_t cx, std::int64_t cy);

  double cell_;
  std::int64_t maxCells_;
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> komorki_;
  std::vector<std::uint32_t> duze_;
  std::vector<std::uint32_t> wszystkie_;
};

}  // namespace trazvik
