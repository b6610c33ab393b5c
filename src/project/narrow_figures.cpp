#include "project/narrow_figures.h"

#include "geometry/units.h"
#include "prepare/outline.h"
#include "prepare/prepare_settings.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <cmath>
#include <cstdio>

namespace trazvik {
namespace {

std::string mm(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", std::isfinite(value) ? value : 0.0);
  return text;
}

}  // namespace

std::vector<tWaskaFigura> figuryWezszeOdNarzedzia(const TMDIChild& projekt, tZakresFigur zakres) {
  std::vector<tWaskaFigura> wynik;
  const PrepareSettings s = readPrepareSettings(projekt.konfig());
  const double skala = s.skala > 0 && std::isfinite(s.skala) ? s.skala / 100 : 1;
  const int typ = projekt.ImportFileType;
  for (std::size_t i = 0; i < projekt.fig.size(); ++i) {
    const tfigura& f = *projekt.fig[i];
    if (!f.narrowerThanTool || !zakres.zawiera(static_cast<int>(i))) continue;
    tWaskaFigura w;
    w.numer = static_cast<int>(i) + 1;
    w.srodekMm = {toMm(typ, f.center.x - projekt.pp.x) * skala, toMm(typ, f.center.y - projekt.pp.y) * skala};
    w.szerokoscMm = toMm(typ, f.fig_x_size) * skala;
    w.wysokoscMm = toMm(typ, f.fig_y_size) * skala;
    w.srednicaMm = dajSredniceFrezuNaFigurze(projekt.fig, static_cast<int>(i), s, projekt.warstwy.get());
    wynik.push_back(w);
  }
  return wynik;
}

std::vector<std::string> linieFigurWezszych(const TMDIChild& projekt, const texts::tInterfejs& interfejs,
                                            std::size_t najwiecej, tZakresFigur zakres) {
  const std::vector<tWaskaFigura> figury = figuryWezszeOdNarzedzia(projekt, zakres);
  std::vector<std::string> linie;
  const std::string figura = interfejs.dajTxt("Project_window", "msgFigura");
  const std::string narzedzie = interfejs.dajTxt("Project_window", "msgNarzedzie");
  for (const tWaskaFigura& w : figury) {
    if (linie.size() == najwiecej) {
      linie.push_back(interfejs.dajTxt("Project_window", "msgIJeszcze") + " " +
                      std::to_string(figury.size() - najwiecej));
      break;
    }
    linie.push_back(figura + " " + std::to_string(w.numer) + ": X " + mm(w.srodekMm.x) + " Y " + mm(w.srodekMm.y) +
                    " mm, " + mm(w.szerokoscMm) + " x " + mm(w.wysokoscMm) + " mm, " + narzedzie + " " +
                    mm(w.srednicaMm) + " mm");
  }
  return linie;
}

std::string opisFigurWezszych(const TMDIChild& projekt, const texts::tInterfejs& interfejs, tZakresFigur zakres) {
  const std::vector<std::string> linie = linieFigurWezszych(projekt, interfejs, 20, zakres);
  if (linie.empty()) return {};
  const std::size_t ile = figuryWezszeOdNarzedzia(projekt, zakres).size();
  std::string t = interfejs.dajTxt("Project_window", "msgFiguryWezszeOdNarzedzia") + " " + std::to_string(ile);
  for (const std::string& l : linie) t += "\r\n" + l;
  return t;
}

}  // namespace trazvik
