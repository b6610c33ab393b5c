#include "prepare/prepare_settings.h"

#include "config/tdlgkonfig.h"

namespace trazvik {

PrepareSettings readPrepareSettings(const TDlgkonfig& k) {
  PrepareSettings s;
  s.negatyw = k.flag("negatyw");
  s.out_dir = k.integer("out_dir");
  s.in_dir = k.integer("in_dir");
  s.Auto_kierunek = k.flag("Auto_kierunek");
  s.Auto_kolejnosc = k.flag("Auto_kolejnosc");
  s.order_fig = k.integer("order_fig");
  s.Order_global = k.integer("Order_global");
  s.WszystkieWjednej = k.flag("WszystkieWjednej");
  s.multiLayer = k.integer("ProjektType") == 1;
  s.bezramki = k.flag("bezramki");
  s.doOutline = k.flag("doOutline");
  s.srednica = k.real("srednica");
  s.polerowanie = k.flag("polerowanie");
  s.poler_grubosc = k.real("poler_grubosc");
  s.Poler_start = k.real("Poler_start");
  s.skala = k.real("skala");
  s.grubosc = k.real("grubosc");
  s.ponad_stol = k.real("ponad_stol");
  s.nadmat = k.real("nadmat");
  s.Glebokosc = k.real("Glebokosc");
  s.cbZejsciePoSpirali = k.flag("cbZejsciePoSpirali");
  s.skok = k.real("skok");
  s.wygladzanie = k.flag("wygladzanie");
  s.isLaser = k.machine().isLaser;
  s.laserZAxis = k.machine().laserZAxis;
  s.headCount = k.machine().headCount;
  return s;
}

}  // namespace trazvik
