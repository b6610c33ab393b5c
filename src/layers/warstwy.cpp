#include "layers/warstwy.h"

#include "geometry/units.h"
#include "layers/layer_colors.h"

#include <algorithm>

namespace trazvik {

namespace {
const tWarstwa kPustaWarstwa{};
}

void tWarstwy::free() {
  layer.fill(tWarstwa{});
  sortuj = false;
  typLaser = false;
  loadedSavedPath.clear();
  prjPath.clear();
}

void tWarstwy::ustawMaszyne(int headCount, int maxRotations) {
  iloscGlowic_ = headCount;
  maxObroty_ = maxRotations;
}

const tWarstwa& tWarstwy::pole(int k) const {
  if (k < 0 || k >= kIloscKluczy) return kPustaWarstwa;
  return layer[static_cast<std::size_t>(k)];
}

tWarstwa* tWarstwy::wpis(int k) {
  if (k < 0 || k >= kIloscKluczy) return nullptr;
  return &layer[static_cast<std::size_t>(k)];
}

void tWarstwy::zacznijBudowe(const std::string& path, bool laser, int defObroty, int defPredkosc, double defGlebokosc,
                             int fileType) {
  layer.fill(tWarstwa{});
  typLaser = laser;
  prjPath = path;
  loadedSavedPath.clear();
  sortuj = false;
  fileType_ = fileType;
  defObroty_ = defObroty;
  defPredkosc_ = defPredkosc;
  defGlebokosc_ = defGlebokosc;
}

void tWarstwy::dodajFigure(int key, double width, bool ramka) {
  // A key outside the table has no layer (a reader must not produce one).
  tWarstwa* w = wpis(key);
  if (w == nullptr) return;
  w->org_color = key;
  w->wystepuje = true;
  if (fileType_ != kFileTypeHpgl || typLaser) {
    w->glebokosc = defGlebokosc_;
    w->szybkosc = defPredkosc_;
    w->obroty = defObroty_;
    w->glowica = 1;
    w->srednicaFrezu = 0;
  } else {
    // A pen's width is its depth on a milling machine; the last figure of
    // the pen decides. Head and diameter stay, but a layer is never left
    // without a head: head 0 would send its figures to no spindle.
    w->glebokosc = width;
    w->szybkosc = defPredkosc_;
    w->obroty = defObroty_;
    if (w->glowica == 0) w->glowica = 1;
  }
  w->kolor = kolorWarstwy(fileType_, key);
  w->aktywna = true;
  w->kolejnosc = 0;
  ++w->iloscFigAktywnych;
  ++w->iloscWszystkichFig;
  if (ramka) w->ramkaNawarstwie = true;
}

void tWarstwy::setLayer(const tWarstwa& w, bool pominRamke) {
  tWarstwa* cel = wpis(w.org_color);
  if (cel == nullptr) return;
  cel->wystepuje = w.wystepuje;
  cel->glebokosc = w.glebokosc;
  cel->szybkosc = w.szybkosc;
  cel->obroty = w.obroty;
  cel->glowica = w.glowica;
  cel->srednicaFrezu = w.srednicaFrezu;
  cel->aktywna = w.aktywna;
  cel->kolejnosc = w.kolejnosc;
  if (!w.aktywna) {
    cel->iloscFigAktywnych = 0;
  } else {
    cel->iloscFigAktywnych = cel->iloscWszystkichFig;
    if (cel->ramkaNawarstwie && pominRamke) --cel->iloscFigAktywnych;
  }
}

std::vector<tWarstwa> tWarstwy::getLayersList(bool /*sorted*/) const {
  std::vector<tWarstwa> lista;
  for (const tWarstwa& w : layer) {
    if (!w.wystepuje) continue;
    tWarstwa kopia = w;
    kopia.wystepuje = false;
    kopia.aktywnosc_figur = tSelekcja::selPozostawObecna;
    kopia.ramkaNawarstwie = false;
    lista.push_back(kopia);
  }
  if (sortuj) {
    // Layers of equal order keep their key order.
    std::stable_sort(lista.begin(), lista.end(),
                     [](const tWarstwa& a, const tWarstwa& b) { return a.kolejnosc < b.kolejnosc; });
  }
  return lista;
}

int tWarstwy::layerCount() const {
  return static_cast<int>(std::count_if(layer.begin(), layer.end(), [](const tWarstwa& w) { return w.wystepuje; }));
}

void tWarstwy::incIloscFigAktywnych(int k) {
  if (tWarstwa* w = wpis(k)) ++w->iloscFigAktywnych;
}

void tWarstwy::decIloscFigAktywnych(int k) {
  if (tWarstwa* w = wpis(k)) --w->iloscFigAktywnych;
}

void tWarstwy::setLayerOrder(int k, int order) {
  if (tWarstwa* w = wpis(k)) w->kolejnosc = order;
}

void tWarstwy::DodajWarstweKresek(int fileType, bool laser, bool kreskiKolorRodzica) {
  if (kreskiKolorRodzica) return;
  const int key = fileType == kFileTypeDxf ? 0 : 1;
  tWarstwa& w = layer[static_cast<std::size_t>(key)];
  // A key the drawing uses already (pen 1 is common) keeps the operator's
  // parameters; a new layer takes those every layer was built with. Zero
  // speed and head would refuse the job or leave it without a head.
  if (!w.wystepuje) {
    w.glebokosc = defGlebokosc_;
    w.szybkosc = defPredkosc_;
    w.obroty = laser ? 0 : defObroty_;
    w.glowica = 1;
    w.srednicaFrezu = 0;
    w.kolejnosc = 0;
  }
  w.org_color = key;
  w.wystepuje = true;
  w.aktywna = true;
  w.kolor = kolorWarstwy(fileType, key);
}

int tWarstwy::getStartingLayerIndx(const std::vector<tWarstwa>& list) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].iloscFigAktywnych >= 1) return static_cast<int>(i);
  }
  return -1;
}

int tWarstwy::getStartingLayerHeadIndx() const {
  const auto lista = getLayersList(true);
  const int i = getStartingLayerIndx(lista);
  if (i < 0) return -1;
  return lista[static_cast<std::size_t>(i)].glowica - 1;
}

int tWarstwy::getStartingLayerRotations() const {
  const auto lista = getLayersList(true);
  const int i = getStartingLayerIndx(lista);
  if (i < 0) return maxObroty_;
  return lista[static_cast<std::size_t>(i)].obroty;
}

bool tWarstwy::DaneFrezarkaOK(int minRot, int maxRot, int maxSpeed, int minSpeed) const {
  for (const tWarstwa& w : layer) {
    if (!w.wystepuje || !w.aktywna) continue;
    if (w.szybkosc < minSpeed || w.szybkosc > maxSpeed) return false;
    if (!(w.glebokosc >= 0)) return false;
    if (w.obroty < minRot || w.obroty > maxRot) return false;
  }
  return true;
}

std::string tWarstwy::DajSciezkeDomyslnaDoZapisuWarstw() const {
  if (prjPath.empty()) return {};
  // Only the last path component's extension is replaced.
  const std::size_t slash = prjPath.find_last_of("/\\");
  const std::size_t dot = prjPath.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return prjPath + ".lyr";
  return prjPath.substr(0, dot) + ".lyr";
}

}  // namespace trazvik
