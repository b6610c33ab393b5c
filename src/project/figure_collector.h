// Collects the figures of a file as the reader yields them and cleans them
// on the way in: joins open figures whose ends meet, drops exact duplicates
// and turns two strokes that cross inside both (an X, not an L or a T) into
// a drill point.
//
// The result is the same as scanning every figure already collected for
// each new one, in project order, but the candidates come from indexes: an
// endpoint grid for joining, a hash of the point sequence for duplicates and
// a box grid of two-point strokes for crossings. Removed figures leave an
// empty slot until the end, so slot numbers keep the project order.
#pragma once
#include "geometry/figure_list.h"
#include "project/spatial_hash.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace trazvik {

struct tUstawieniaWczytania {
  bool auto_add = false;       // join open figures whose ends meet
  bool auto_remove = false;    // drop figures drawn twice
  bool crosstopoint = false;   // two strokes crossing inside both become a drill point
  double prj_accuracy = 2.0;   // file units within which ends meet (also for crossings)
  double komorkaKresek = 400;  // cell of the stroke grid, file units
};

// Bounding box, centre, lowest point; valid, nesting reset, open flag by the
// project accuracy. A figure without points only becomes invalid.
void liczParametryFigury(tfigura& fig, double prj_accuracy);

class tZbieraczFigur {
 public:
  explicit tZbieraczFigur(const tUstawieniaWczytania& ustawienia);

  // A valid figure of a plot or DXF file: joined, tested, appended (or
  // dropped as a duplicate).
  void dodaj(std::unique_ptr<tfigura> fig);
  // A G-code figure: appended as it is.
  void dodajBezZmian(std::unique_ptr<tfigura> fig);

  // Number of figures in the project so far.
  std::size_t ilosc() const { return ilosc_; }
  // The collected figures in project order.
  tListaFigur odbierz();

 private:
  void dolacz(tfigura& nowa);
  // Slot of the first joinable figure at or after `od`; -1 when none.
  std::int64_t pierwszyDoDolaczenia(const tfigura& nowa, std::size_t od) const;
  bool jestDuplikatem(const tfigura& nowa) const;
  void zamienKrzyzNaPunkt(tfigura& nowa);
  void wstaw(std::unique_ptr<tfigura> fig);
  void usun(std::size_t slot);

  tUstawieniaWczytania u_;
  std::vector<std::unique_ptr<tfigura>> sloty_;
  std::size_t ilosc_ = 0;
  tSiatkaHaszujaca konce_;
  tSiatkaHaszujaca kreski_;
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> odciski_;
};

// Hash of a point sequence (count and exact coordinates).
std::uint64_t odciskPunktow(const std::vector<trealpoint>& p);

}  // namespace trazvik
