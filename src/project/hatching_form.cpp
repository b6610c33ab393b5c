#include "project/hatching_form.h"

#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "layers/warstwy.h"
#include "prepare/hatching.h"
#include "project/tmdichild.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <unordered_map>

namespace trazvik {
namespace {

// Millimetres on the workpiece to file units at the drawing's scale, as the
// tool-radius outline converts its offsets.
double naJednostkiPliku(double mm, const TDlgkonfig& k, int fileType) {
  const double skala = k.real("skala");
  const double s = skala > 0 && std::isfinite(skala) ? skala / 100 : 1;
  return mm / s * fromMm(fileType, 1.0);
}

// Drops the hatch lines before position `koniec`, renumbers the new lines
// after them and points each at the position of its enclosing figure.
void zastapKreski(tListaFigur& figury, std::size_t koniec) {
  std::size_t zapis = 0;
  for (std::size_t i = 0; i < figury.size(); ++i) {
    if (i < koniec && figury[i]->kreska) continue;
    figury[zapis++] = std::move(figury[i]);
  }
  figury.resize(zapis);
  std::unordered_map<const tfigura*, int> pozycja;
  for (std::size_t i = 0; i < figury.size(); ++i) {
    tfigura& f = *figury[i];
    if (!f.kreska) {
      pozycja[&f] = static_cast<int>(i);
      continue;
    }
    f.org_index = static_cast<std::int32_t>(i);
    const auto rodzic = pozycja.find(f.lezy_w);
    f.pochodzi = rodzic != pozycja.end() ? rodzic->second : -1;
  }
}

}  // namespace

bool TFormKreski::DoHatching() {
  blad.clear();
  if (oknoPlt == nullptr) {
    blad = "no project to hatch";
    return false;
  }
  TMDIChild& prj = *oknoPlt;
  const TDlgkonfig& k = prj.konfig();
  const int typ = prj.ImportFileType;
  hatchLineDir = 1;
  hatchingDistance = naJednostkiPliku(pola.Odstep, k, typ);

  tParametryKreskowania par;
  par.odstep = hatchingDistance;
  par.katStopnie = pola.Kat;
  par.lo = {static_cast<double>(prj.pp.x), static_cast<double>(prj.pp.y)};
  par.hi = {static_cast<double>(prj.pk.x), static_cast<double>(prj.pk.y)};
  par.margines = naJednostkiPliku(k.real("srednica"), k, typ);
  par.glebokoscZ = (k.real("grubosc") + k.real("ponad_stol") - k.real("Glebokosc")) * fromMm(typ, 1.0);
  par.fileType = typ;
  par.kolorRodzica = pola.rgKolorDodawanychKresek == 0;

  // The new lines are added behind the old ones, which go only once there
  // are new ones: a refused hatching leaves the project as it was.
  const std::size_t przed = prj.fig.size();
  const tWynikKreskowania wynik = DodajKreski(prj.fig, przed, par);
  if (!wynik.blad.empty()) {
    blad = wynik.blad;
    return false;
  }
  if (wynik.kreski == 0) {
    blad = "no hatch line fits into the closed figures of the project";
    return false;
  }
  zastapKreski(prj.fig, przed);
  prj.hasHatching = true;
  prj.kreskowanie = wynik.geometria;
  hatchingPattern = wynik.geometria.wzor;
  iloscPoczatkowa =
      static_cast<int>(std::count_if(prj.fig.begin(), prj.fig.end(), [](const auto& f) { return !f->kreska; }));

  KierunkiKresek(prj.fig, wynik.geometria, pola.kreskiDwukierunkowo);
  for (auto& f : prj.fig) f->tocut = f->kreska || pola.WytnijObrys || f->otwarta;
  prj.UstawKolejnosc();
  prj.policzSumyDlugosci();
  prj.policzFiguryWarstw();
  prj.odswiez();
  return true;
}

void poKreskowaniu(TMDIChild& prj, bool laser, bool kolorRodzica) {
  const TDlgkonfig& k = prj.konfig();
  if (k.flag("cbZejsciePoSpirali") || prj.wielowarstwowy()) prj.AddOutline();
  if (prj.wielowarstwowy() && prj.warstwy) {
    prj.warstwy->DodajWarstweKresek(prj.ImportFileType, laser, kolorRodzica);
    prj.policzFiguryWarstw();
  }
  prj.odswiez();
}

bool czytajOpcjeKreskowania(const std::string& tekst, tUstawieniaKreskowania& wynik, std::string& blad) {
  std::vector<std::string> czesci;
  std::stringstream in(tekst);
  for (std::string c; std::getline(in, c, ',');) czesci.push_back(c);
  auto liczba = [&](std::size_t i, const char* co, double& v) {
    const std::string& t = czesci[i];
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) {
      blad = "\"" + t + "\" is not a " + co;
      return false;
    }
    return true;
  };
  if (czesci.size() < 2) {
    blad = "\"" + tekst + "\": give the spacing in mm and the angle in degrees, e.g. 1,45";
    return false;
  }
  tUstawieniaKreskowania u;
  if (!liczba(0, "spacing in mm", u.Odstep) || !liczba(1, "angle in degrees", u.Kat)) return false;
  if (!(u.Odstep > 0 && u.Odstep <= 100)) {
    blad = "the spacing " + czesci[0] + " mm is outside 0 to 100 mm";
    return false;
  }
  if (!(u.Kat >= -360 && u.Kat <= 360)) {
    blad = "the angle " + czesci[1] + " is outside -360 to 360 degrees";
    return false;
  }
  for (std::size_t i = 2; i < czesci.size(); ++i) {
    if (czesci[i] == "both-ways") {
      u.kreskiDwukierunkowo = true;
    } else if (czesci[i] == "contours") {
      u.WytnijObrys = true;
    } else if (czesci[i] == "black") {
      u.rgKolorDodawanychKresek = 1;
    } else {
      blad = "\"" + czesci[i] + "\" is not both-ways, contours or black";
      return false;
    }
  }
  wynik = u;
  return true;
}

bool zakreskujProjekt(TMDIChild& prj, const tUstawieniaKreskowania& u, bool laser, std::string& blad) {
  TFormKreski forma;
  forma.pola = u;
  forma.oknoPlt = &prj;
  if (!forma.DoHatching()) {
    blad = forma.blad;
    return false;
  }
  poKreskowaniu(prj, laser, u.rgKolorDodawanychKresek == 0);
  return true;
}

}  // namespace trazvik
