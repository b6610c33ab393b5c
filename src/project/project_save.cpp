// TMDIChild: handing a job over to the writer, and which layers a job over
// a range of figures takes part in.
#include "project/tmdichild.h"

#include "texts/interfejs.h"

namespace trazvik {

namespace {

// Shows the file being written in the main status panel and the busy
// cursor for as long as the object lives.
class tZapisWidoczny {
 public:
  tZapisWidoczny(const tWidokProjektu& widok, const texts::tInterfejs& interfejs, const std::string& fname)
      : widok_(widok) {
    if (widok_.panelStatusu) widok_.panelStatusu(interfejs.dajTxt("Project_window", "msgZapisPliku") + fname);
    if (widok_.zajety) widok_.zajety(true);
  }
  ~tZapisWidoczny() {
    if (widok_.panelStatusu) widok_.panelStatusu("");
    if (widok_.zajety) widok_.zajety(false);
  }
  tZapisWidoczny(const tZapisWidoczny&) = delete;
  tZapisWidoczny& operator=(const tZapisWidoczny&) = delete;

 private:
  const tWidokProjektu& widok_;
};

}  // namespace

bool TMDIChild::Save(const std::string& fname, int start, int koniec) {
  if (pisarz_ == nullptr) return false;
  tZapisWidoczny widoczny(widok_, interfejs_, fname);
  return pisarz_->zapiszJednowarstwowy(*this, fname, start, koniec);
}

bool TMDIChild::saveMultiLayer(const std::string& fname, int weStart, int weKoniec) {
  if (pisarz_ == nullptr) return false;
  tZapisWidoczny widoczny(widok_, interfejs_, fname);
  return pisarz_->zapiszWielowarstwowy(*this, fname, weStart, weKoniec);
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
