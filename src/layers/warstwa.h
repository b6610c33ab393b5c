// One layer of a multi-layer project: the cutting parameters of every figure
// that carries the layer's colour key.
#pragma once
#include "no_qt.h"

#include <cstdint>

namespace trazvik {

// What the layer dialog does with the cut flags of the layer's figures.
enum class tSelekcja : std::uint8_t {
  selPozostawObecna,    // keep them as they are
  selZaznaczWszystkie,  // switch every figure on
  selWylaczWszystkie,   // switch every figure off
};

// A colour value: blue * 65536 + green * 256 + red.
using tKolor = std::uint32_t;

struct tWarstwa {
  int org_color = 0;         // colour key, 0 to 1024; the index in the table
  bool wystepuje = false;    // the key occurs in the project
  tKolor kolor = 0;          // colour in which the layer is shown
  double glebokosc = 0;      // milling depth in mm; laser power on a laser
  int szybkosc = 0;          // cutting speed, mm/min
  int obroty = 0;            // spindle rotations per minute
  std::uint8_t glowica = 0;  // head number, 1-based
  double srednicaFrezu = 0;  // tool diameter, mm
  bool aktywna = false;      // the layer is cut
  tSelekcja aktywnosc_figur = tSelekcja::selPozostawObecna;
  int kolejnosc = 0;             // position in the cutting order
  int iloscFigAktywnych = 0;     // figures of the layer that are to be cut
  int iloscWszystkichFig = 0;    // all figures of the layer
  bool ramkaNawarstwie = false;  // the project's frame lies on this layer
};

}  // namespace trazvik
