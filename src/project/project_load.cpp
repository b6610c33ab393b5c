// Loading a design file into the project: read, clean, box, layers,
// preparation, frame, size check.
#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "import/reader_settings.h"
#include "import/thpgl.h"
#include "project/figure_collector.h"
#include "project/node_cleanup.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trazvik {

namespace {

constexpr int kPlikUzywanyPrzezInnyProces = 32;
constexpr const char* kOknoProjektu = "Project_window";

// Nearest whole file unit (halves to even), held within the 32-bit range.
std::int32_t calkowite(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(v), -2147483647.0, 2147483647.0));
}

}  // namespace

void TMDIChild::pokazBladOtwarcia(int kod, const std::string& szczegoly) const {
  std::string t = kod == kPlikUzywanyPrzezInnyProces
                      ? interfejs_.dajTxt(kOknoProjektu, "msgZbiorUzywanyPrzezInnyProces")
                      : interfejs_.dajTxt(kOknoProjektu, "msgNieMoznaOtworzycZbioru");
  if (!szczegoly.empty()) t += "\r\n" + szczegoly;
  interfejs_.messageBox(t, true);
}

bool TMDIChild::maFigure() const {
  return std::any_of(fig.begin(), fig.end(), [](const auto& f) { return !f->p.empty() || !f->sp.empty(); });
}

void TMDIChild::pokazBrakFigur(const std::string& path) const {
  // What the reader passed over is often the reason nothing is left, so it
  // goes with the message.
  std::string t = interfejs_.dajTxt(kOknoProjektu, "msgBrakFigur") + "\r\n" + path;
  for (const import::tReadWarning& w : ostrzezenia.list()) t += "\r\n" + w.text(path);
  interfejs_.messageBox(t, true);
}

bool TMDIChild::Load(const std::string& path) {
  prj_accuracy = ImportFileType == kFileTypeHpgl ? 2.0 : 0.01;
  iloscKrotkichOdcinkow = 0;
  test = false;
  sciezka = path;
  status(widok_.panelStatusu, interfejs_.dajTxt(kOknoProjektu, "msgOtwieramZbior") + path);
  status(widok_.tytul, path);
  if (widok_.zajety) widok_.zajety(true);
  grawer = false;
  fig.clear();
  warstwy.reset();
  ostrzezenia.clear();

  const bool wczytano = wczytajFigury(path);
  if (!wczytano) {
    fig.clear();
    if (widok_.zajety) widok_.zajety(false);
    if (widok_.zamknij) widok_.zamknij();
    return false;
  }
  oczyscWezly();
  ustalGabaryt();
  utworzWarstwy();
  if (ImportFileType != kFileTypeGcode) przygotuj();
  if (ImportFileType == kFileTypeGcode) sumyGcode();
  oznaczRamke();
  if (wielowarstwowy()) OdswiezAktywnoscWarstw();

  if (widok_.zajety) widok_.zajety(false);
  status(widok_.paskStatusu, interfejs_.dajTxt(kOknoProjektu, "msgIloscFigur") + std::to_string(fig.size()));
  status(widok_.panelStatusu, "");
  sprawdzRozmiar();
  iloscPoczatkowa = static_cast<int>(fig.size());
  return true;
}

bool TMDIChild::wczytajFigury(const std::string& path) {
  import::Thpgl hpgl;
  import::applyReaderSettings(hpgl, import::readerSettings(konfig_, przelacznikSpline));
  hpgl.accuracy = prj_accuracy;
  const int kod = hpgl.open(path, ImportFileType, otwarto_jako_wielowarstwowy);
  if (kod != 0) {
    pokazBladOtwarcia(kod, "");
    return false;
  }

  tUstawieniaWczytania u;
  u.auto_add = konfig_.flag("auto_add");
  u.auto_remove = konfig_.flag("auto_remove");
  u.crosstopoint = konfig_.flag("crosstopoint");
  u.prj_accuracy = prj_accuracy;
  u.komorkaKresek = fromMm(ImportFileType, 10);
  tZbieraczFigur zbieracz(u);
  const std::string ilosc = interfejs_.dajTxt(kOknoProjektu, "msgIloscFigur");
  std::size_t przeczytane = 0;
  while (!hpgl.EndOfFile) {
    auto f = std::make_unique<tfigura>();
    hpgl.get_figura(*f);
    if (hpgl.failed()) break;
    if (ImportFileType == kFileTypeGcode) {
      zbieracz.dodajBezZmian(std::move(f));
    } else if (f->valid) {
      zbieracz.dodaj(std::move(f));
    }
    status(widok_.paskStatusu, ilosc + std::to_string(++przeczytane));
  }
  iloscKrotkichOdcinkow = hpgl.shortSegments();
  hpgl.close();
  if (hpgl.failed()) {
    // A file that cannot be read to its end is not loaded half.
    pokazBladOtwarcia(0, hpgl.error().text());
    return false;
  }
  ostrzezenia = hpgl.warnings();
  fig = zbieracz.odbierz();
  if (!maFigure()) {
    pokazBrakFigur(path);
    return false;
  }
  if (ImportFileType == kFileTypeGcode) {
    // Feed and spindle speed in force at the end of the program.
    GcodPar.gF = hpgl.gcode.gFeed;
    GcodPar.gS = hpgl.gcode.gSpindle;
  }
  return true;
}

void TMDIChild::oczyscWezly() {
  const bool optymalizuj = konfig_.flag("auto_optymalizacja");
  const bool upraszczaj = iloscKrotkichOdcinkow > 0;
  if (!optymalizuj && !upraszczaj) return;
  for (auto& f : fig) {
    if (optymalizuj && f->p.size() > 2) optymalizujWezly(f->p);
    if (upraszczaj) uproscKrotkieOdcinki(f->p, prj_accuracy);
  }
}

void TMDIChild::ustalGabaryt() {
  if (fig.empty()) {
    pp = pk = {0, 0};
  } else {
    double minX = std::numeric_limits<double>::max(), minY = minX;
    double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
    for (const auto& f : fig) {
      minX = std::min(minX, f->fig_pp.x);
      minY = std::min(minY, f->fig_pp.y);
      maxX = std::max(maxX, f->fig_pk.x);
      maxY = std::max(maxY, f->fig_pk.y);
    }
    pp = {calkowite(minX), calkowite(minY)};
    pk = {calkowite(maxX), calkowite(maxY)};
  }
  size_x = static_cast<double>(pk.x) - pp.x;
  size_y = static_cast<double>(pk.y) - pp.y;
  center = {(static_cast<double>(pp.x) + pk.x) / 2, (static_cast<double>(pp.y) + pk.y) / 2};
  for (std::size_t i = 0; i < fig.size(); ++i) {
    tfigura& f = *fig[i];
    f.org_index = static_cast<std::int32_t>(i);
    f.xp = pp.x;
    f.yp = pp.y;
    f.tocut = true;
  }
  max_poziom = 0;
  selected = -1;
}

void TMDIChild::utworzWarstwy() {
  if (!wielowarstwowy()) return;
  const auto& maszyna = konfig_.machine();
  const bool laser = maszyna.isLaser;
  warstwy = std::make_unique<tWarstwy>();
  warstwy->ustawMaszyne(maszyna.headCount, maszyna.maxSpindle);
  warstwy->ustawInterfejs(&interfejs_);
  const double glebokosc = laser ? konfig_.real("work_power") : konfig_.real("Glebokosc");
  const int predkosc = konfig_.integer("WorkSpeed");
  const int obroty = laser ? 0 : konfig_.integer("work_power");
  warstwy->create(fig, sciezka, laser, obroty, predkosc, glebokosc, ImportFileType);
}

void TMDIChild::przygotuj() {
  const bool kierunek = konfig_.flag("Auto_kierunek");
  const bool kolejnosc = konfig_.flag("Auto_kolejnosc");
  if (kierunek || (kolejnosc && konfig_.integer("order_fig") != 0)) co_w_czym();
  ustal_dist();
  AnalizaKierunkow();
  if (kierunek) UstawKierunek();
  if (kolejnosc) UstawKolejnosc();
  AddOutline();
}

void TMDIChild::sumyGcode() {
  total_lenwork = total_lenprzes = total_lenpol = total_lenz = 0;
  double minX = std::numeric_limits<double>::max(), minY = minX, minZ = minX;
  double maxX = std::numeric_limits<double>::lowest(), maxY = maxX, maxZ = maxX;
  for (const auto& f : fig) {
    total_lenwork += f->lenwork;
    total_lenprzes += f->lenPrzes;
    for (const trpoint3d& q : f->sp) {
      minX = std::min(minX, q.x);
      maxX = std::max(maxX, q.x);
      minY = std::min(minY, q.y);
      maxY = std::max(maxY, q.y);
      minZ = std::min(minZ, q.z);
      maxZ = std::max(maxZ, q.z);
    }
  }
  GcodPar.minX = minX / 100;
  GcodPar.maxX = maxX / 100;
  GcodPar.minY = minY / 100;
  GcodPar.maxY = maxY / 100;
  GcodPar.minZ = minZ / 100;
  GcodPar.maxZ = maxZ / 100;
}

void TMDIChild::oznaczRamke() {
  // framka(i) for every figure at once: the frame is the only top-level
  // figure of a project of two or more.
  const auto naWierzchu = std::count_if(fig.begin(), fig.end(), [](const auto& f) { return f->poziom <= 0; });
  const bool bezRamki = konfig_.flag("bezramki");
  jestRamka = false;
  for (auto& f : fig) {
    f->ramka = fig.size() >= 2 && naWierzchu == 1 && f->poziom == 0;
    if (!f->ramka) continue;
    jestRamka = true;
    if (bezRamki) zmienDoCiecia(*f, false);
  }
}

void TMDIChild::sprawdzRozmiar() const {
  const auto& maszyna = konfig_.machine();
  const double skala = konfig_.real("skala") / 100;
  // Without a known working range (no machine seen yet) there is nothing to
  // compare with.
  const bool zaSzeroki = maszyna.workAreaX > 0 && toMm(ImportFileType, size_x) * skala > maszyna.workAreaX;
  const bool zaWysoki = maszyna.workAreaY > 0 && toMm(ImportFileType, size_y) * skala > maszyna.workAreaY;
  if (zaSzeroki || zaWysoki) interfejs_.messageBox(interfejs_.dajTxt(kOknoProjektu, "msgZbytDuzyPrj"), true);
}

}  // namespace trazvik
