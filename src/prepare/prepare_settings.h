// The settings the preparation steps (nesting, direction, order, outline,
// toolpath) read, gathered once from the settings dialog so that each step
// takes plain values and can be driven the same way by the project, the CLI
// and the tests.
#pragma once
#include "no_qt.h"

namespace trazvik {

class TDlgkonfig;

struct PrepareSettings {
  // Direction (names of the settings dialog)
  bool negatyw = false;  // cut the negative: outer and inner swap roles
  int out_dir = 2;       // outer figures: 0 keep, 1 right (clockwise), 2 left
  int in_dir = 1;        // inner figures: 0 like the outer ones, 1 opposite
  bool Auto_kierunek = true;
  bool Auto_kolejnosc = true;

  // Order
  int order_fig = 1;     // 0 keep, 1 inner first, 2 outer first
  int Order_global = 1;  // 0 project, 1 centre outwards, 2 outside in, 3 right, 4 left, 5 mixed
  bool WszystkieWjednej = true;
  bool multiLayer = false;  // ProjektType 1

  bool bezramki = false;  // leave the frame out

  // Outline and toolpath, millimetres
  bool doOutline = true;
  double srednica = 3;  // tool diameter
  bool polerowanie = false;
  double poler_grubosc = 0.3;
  double Poler_start = 0.5;
  double skala = 100;  // percent
  double grubosc = 10;
  double ponad_stol = 0.49;
  double nadmat = 5;
  double Glebokosc = 1.5;
  bool cbZejsciePoSpirali = false;
  double skok = 100;  // spiral pitch per round
  bool wygladzanie = false;

  // The machine
  bool isLaser = false;
  bool laserZAxis = false;
  int headCount = 1;
};

// Reads every field from the settings dialog by component name, the machine
// facts from its machine context.
PrepareSettings readPrepareSettings(const TDlgkonfig& konfig);

}  // namespace trazvik
