// The project's preparation steps: each hands the figure list and the
// settings of the moment to the preparation code and keeps its results.
#include "config/tdlgkonfig.h"
#include "prepare/containment.h"
#include "prepare/cutting_order.h"
#include "prepare/direction.h"
#include "prepare/frame_and_pick.h"
#include "prepare/outline.h"
#include "prepare/prepare_settings.h"
#include "project/tmdichild.h"

#include <algorithm>

namespace trazvik {

void TMDIChild::co_w_czym() { max_poziom = std::max(max_poziom, ::trazvik::co_w_czym(fig)); }

void TMDIChild::AnalizaKierunkow() { JakiKierunek(fig, -1); }

void TMDIChild::UstawKierunek() { ::trazvik::UstawKierunek(fig, readPrepareSettings(konfig_)); }

void TMDIChild::UstawKolejnosc() {
  HatchLineCompare kreski;
  if (kreskowanie.wzor != 0) {
    kreski = [k = kreskowanie](const tfigura& a, const tfigura& b) { return porownajKreski(a, b, k); };
  }
  ::trazvik::UstawKolejnosc(fig, readPrepareSettings(konfig_), center.y, kreski);
}

void TMDIChild::AddOutline() {
  OutlineProject projekt;
  projekt.ImportFileType = ImportFileType;
  projekt.grawer = grawer;
  projekt.pp = {static_cast<double>(pp.x), static_cast<double>(pp.y)};
  projekt.warstwy = warstwy.get();
  const OutlineTotals sumy = ::trazvik::AddOutline(fig, readPrepareSettings(konfig_), projekt);
  total_lenwork = sumy.total_lenwork;
  total_lenprzes = sumy.total_lenprzes;
  total_lenpol = sumy.total_lenpol;
  total_lenz = sumy.total_lenz;
  if (wygladzanieDostepne()) {
    PrzyblizBezier();
  } else {
    // Chains of an earlier outline must not outlive it.
    for (auto& f : fig) {
      f->LBezier.clear();
      f->SpiralaBezier.clear();
    }
  }
}

bool TMDIChild::IsPointInPoly(const trealpoint& pkt, const std::vector<trealpoint>& poly) const {
  return ::trazvik::IsPointInPoly(pkt, poly);
}

void TMDIChild::oznaczToCutRamki() {
  ::trazvik::oznaczToCutRamki(fig, jestRamka, konfig_.flag("bezramki"), wielowarstwowy() ? warstwy.get() : nullptr);
}

int TMDIChild::ktoraToFigura(double y, double x) const {
  return ::trazvik::ktoraToFigura(fig, y, x, ImportFileType, konfig_.real("skala"));
}

}  // namespace trazvik
