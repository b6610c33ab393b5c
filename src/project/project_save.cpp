// TMDIChild: the file being written shown in the main status panel, and
// which layers a job over a range of figures takes part in.
#include "project/tmdichild.h"

#include "texts/interfejs.h"

namespace trazvik {

void TMDIChild::pokazZapis(const std::string& fname) const {
  if (widok_.panelStatusu) widok_.panelStatusu(interfejs_.dajTxt("Project_window", "msgZapisPliku") + fname);
  if (widok_.zajety) widok_.zajety(true);
}

void TMDIChild::koniecZapisu() const {
  if (widok_.panelStatusu) widok_.panelStatusu("");
  if (widok_.zajety) widok_.zajety(false);
}

bool TMDIChild::WarstwaBedzieObrabiana(int startowaFig, int koncowaFig, int nr) const {
  if (!warstwy || startowaFig < 0 || static_cast<std::size_t>(startowaFig) >= fig.size()) return false;
  if (warstwy->getIloscFigAktywnych(nr) < 1) return false;
  const int o = warstwy->getKolejnosc(fig[static_cast<std::size_t>(startowaFig)]->org_color);
  const int kolejnosc = warstwy->getKolejnosc(nr);
  if (startowaFig == koncowaFig) return kolejnosc == o;
  if (startowaFig > 0) return kolejnosc >= o;
  return true;
}

}  // namespace trazvik
