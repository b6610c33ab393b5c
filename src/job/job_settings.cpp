#include "job/job_settings.h"

#include "config/tdlgkonfig.h"

namespace trazvik {

tJobSettings jobSettingsOf(const TDlgkonfig& k) {
  tJobSettings s;
  s.przespeed = k.real("przespeed");
  s.WorkSpeed = k.real("WorkSpeed");
  s.Polerspeed = k.real("Polerspeed");
  s.wiercenie_posuw = k.real("wiercenie_posuw");
  s.wiercenie_cofanie = k.real("wiercenie_cofanie");
  s.work_power = k.real("work_power");
  s.poler_power = k.real("poler_power");
  s.CzasRozruchu = k.real("CzasRozruchu");
  s.grubosc = k.real("grubosc");
  s.ponad_stol = k.real("ponad_stol");
  s.nadmat = k.real("nadmat");
  s.Glebokosc = k.real("Glebokosc");
  s.Skok_wiercenia = k.real("Skok_wiercenia");
  s.Poler_start = k.real("Poler_start");
  s.skala = k.real("skala");
  s.polerowanie = k.flag("polerowanie");
  s.wygladzanie = k.flag("wygladzanie");
  s.cbZejsciePoSpirali = k.flag("cbZejsciePoSpirali");
  s.ProjektType = k.integer("ProjektType");
  s.bezramki = k.flag("bezramki");
  s.LaserMiekkiStart = k.flag("LaserMiekkiStart");
  s.LotnyStart = k.flag("LotnyStart");
  s.SpoczynkowaMocLasera = k.real("SpoczynkowaMocLasera");
  s.CzasImpulsu = k.real("CzasImpulsu");
  s.PodczasCiecia = k.flag("PodczasCiecia");
  s.PodczasPrzestawczych = k.flag("PodczasPrzestawczych");
  s.PodczasWiercenia = k.flag("PodczasWiercenia");
  s.PrzedWierceniem = k.flag("PrzedWierceniem");
  s.rbPowrotDo0projektu = k.flag("rbPowrotDo0projektu");
  s.rbOdjazdDoPunktu = k.flag("rbOdjazdDoPunktu");
  s.rbTylkoGlowicaDoGory = k.flag("rbTylkoGlowicaDoGory");
  s.feuOdjazdX = k.real("feuOdjazdX");
  s.feuOdjazdY = k.real("feuOdjazdY");
  s.WszystkieWjednej = k.flag("WszystkieWjednej");
  s.hasKnife = k.flag("CBAktywnaGlowica");
  s.twoEdgedKnife = k.flag("CBDwuKierunkowyNoz");
  s.headOffsetX = {0, k.real("feuOffsetXGlowica2"), k.real("feuOffsetXGlowica3")};
  s.headOffsetY = {0, k.real("feuOffsetYGlowica2"), k.real("feuOffsetYGlowica3")};
  return s;
}

}  // namespace trazvik
