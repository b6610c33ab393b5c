// The settings a job is written with, read once from the settings dialog so
// that the figure loop does not look names up.
#pragma once
#include "no_qt.h"

#include <array>

namespace trazvik {

class TDlgkonfig;

struct tJobSettings {
  // feeds, mm/min
  double przespeed = 1000, WorkSpeed = 500, Polerspeed = 200;
  double wiercenie_posuw = 100, wiercenie_cofanie = 200;
  // powers in percent, run-up in seconds
  double work_power = 100, poler_power = 100, CzasRozruchu = 3;
  // heights and depths, mm
  double grubosc = 10, ponad_stol = 0.49, nadmat = 5, Glebokosc = 1.5;
  double Skok_wiercenia = 1, Poler_start = 0.5;
  double skala = 100;  // percent
  bool polerowanie = false, wygladzanie = false, cbZejsciePoSpirali = false;
  int ProjektType = 0;  // 0 single-layer, 1 multi-layer
  bool bezramki = false;
  // laser
  bool LaserMiekkiStart = false, LotnyStart = false;
  double SpoczynkowaMocLasera = 5, CzasImpulsu = 100;
  // lubrication
  bool PodczasCiecia = false, PodczasPrzestawczych = false, PodczasWiercenia = false, PrzedWierceniem = false;
  // end of the job
  bool rbPowrotDo0projektu = true, rbOdjazdDoPunktu = false, rbTylkoGlowicaDoGory = false;
  double feuOdjazdX = 0, feuOdjazdY = 0;
  bool WszystkieWjednej = true;  // HPGL export: one pen line per figure
  // tangential knife
  bool hasKnife = false, twoEdgedKnife = false;
  // X and Y offsets of heads 1 to 3 from head 1, mm (head 1 is 0, 0)
  std::array<double, 3> headOffsetX{}, headOffsetY{};

  double top() const { return grubosc + ponad_stol; }  // the material surface
  double safe() const { return top() + nadmat; }
};

tJobSettings jobSettingsOf(const TDlgkonfig& konfig);

}  // namespace trazvik
