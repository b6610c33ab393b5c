// An index of boxes that answers "which boxes contain this point" without
// looking at every box: a stack of grids whose cells double in size from one
// level to the next, each box kept at the level where it covers at most two
// cells a side. A point then meets one cell per level.
#pragma once
#include "geometry/records.h"

#include <cstdint>
#include <vector>

namespace trazvik::prepare {

class BoxIndex {
 public:
  // Boxes from lo to hi; boxes with a coordinate that is not finite are
  // never returned.
  void add(std::uint32_t item, trealpoint lo, trealpoint hi);
  // Call once after the last add.
  void finish();
  // Appends every item whose box contains pt (boundary included) to out, and
  // perhaps some others near it; each item at most once.
  void containing(trealpoint pt, std::vector<std::uint32_t>& out) const;

 private:
  struct Box {
    trealpoint lo, hi;
    std::uint32_t item;
  };
  struct Entry {
    std::uint64_t cell;  // level and cell numbers packed
    std::uint32_t box;
    bool operator<(const Entry& o) const { return cell < o.cell || (cell == o.cell && box < o.box); }
  };
  std::uint64_t key(int level, std::int64_t cx, std::int64_t cy) const;
  std::int64_t cellNumber(double v, double origin, int level) const;

  std::vector<Box> boxes_;
  std::vector<Entry> entries_;
  trealpoint origin_{};
  double base_ = 1;
  int levels_ = 0;
};

}  // namespace trazvik::prepare
