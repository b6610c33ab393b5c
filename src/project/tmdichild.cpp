#include "project/tmdichild.h"

#include "config/tdlgkonfig.h"
#include "project/figure_collector.h"
#include "project/measurements.h"
#include "texts/interfejs.h"

#include <algorithm>

namespace trazvik {

TMDIChild::TMDIChild(TDlgkonfig& konfig, const texts::tInterfejs& interfejs) : konfig_(konfig), interfejs_(interfejs) {}

TMDIChild::~TMDIChild() = default;

void TMDIChild::DostosujWgTypuProjektu(int fileType) {
  ImportFileType = fileType;
  otwarto_jako_wielowarstwowy = konfig_.integer("ProjektType") == 1 && fileType != 3;
}

bool TMDIChild::framka(int i) const {
  if (fig.size() < 2 || i < 0 || static_cast<std::size_t>(i) >= fig.size()) return false;
  if (fig[static_cast<std::size_t>(i)]->poziom != 0) return false;
  for (std::size_t k = 0; k < fig.size(); ++k) {
    if (k != static_cast<std::size_t>(i) && fig[k]->poziom <= 0) return false;
  }
  return true;
}

void TMDIChild::licz_parametry(tfigura& f) const { liczParametryFigury(f, prj_accuracy); }

void TMDIChild::zmienDoCiecia(tfigura& f, bool doCiecia) {
  if (f.tocut == doCiecia) return;
  f.tocut = doCiecia;
  if (warstwy && wielowarstwowy()) {
    if (doCiecia) {
      warstwy->incIloscFigAktywnych(f.org_color);
    } else {
      warstwy->decIloscFigAktywnych(f.org_color);
    }
  }
}

void TMDIChild::ZmienDoCiecia() {
  if (selected < 0 || static_cast<std::size_t>(selected) >= fig.size()) return;
  tfigura& f = *fig[static_cast<std::size_t>(selected)];
  zmienDoCiecia(f, !f.tocut);
  if (widok_.odswiez) widok_.odswiez();
}

void TMDIChild::PrzeliczPoWaznejZmianie() {
  if (ImportFileType == 3 || ImportFileType == 4) return;
  AnalizaKierunkow();
  if (konfig_.flag("Auto_kierunek")) UstawKierunek();
  if (konfig_.flag("Auto_kolejnosc")) UstawKolejnosc();
  AddOutline();
}

void TMDIChild::OdswiezAktywnoscWarstw() {
  if (!warstwy) return;
  const bool bezRamki = konfig_.flag("bezramki");
  // The counts are taken from the figures again rather than moved by each
  // change: the layer dialog has already set them from its own rows, and
  // moving them once more would count a switched-off layer below zero.
  for (tWarstwa& w : warstwy->layer) w.iloscFigAktywnych = 0;
  for (auto& f : fig) {
    f->tocut = warstwy->getAktywna(f->org_color) && !(bezRamki && f->ramka);
    if (f->tocut) warstwy->incIloscFigAktywnych(f->org_color);
  }
  PrzeliczPoWaznejZmianie();
  if (widok_.odswiez) widok_.odswiez();
}

void TMDIChild::policzSumyDlugosci() {
  total_lenwork = total_lenpol = total_lenz = 0;
  for (const auto& f : fig) {
    total_lenwork += f->lenwork;
    total_lenpol += f->lenpol;
    total_lenz += f->lenz;
  }
}

void TMDIChild::policzFiguryWarstw() {
  if (!warstwy || !wielowarstwowy()) return;
  for (tWarstwa& w : warstwy->layer) w.iloscFigAktywnych = w.iloscWszystkichFig = 0;
  for (const auto& f : fig) {
    if (f->org_color < 0 || f->org_color >= tWarstwy::kIloscKluczy) continue;
    tWarstwa& w = warstwy->layer[static_cast<std::size_t>(f->org_color)];
    ++w.iloscWszystkichFig;
    if (f->tocut) ++w.iloscFigAktywnych;
  }
}

void TMDIChild::odswiez() const {
  if (widok_.odswiez) widok_.odswiez();
}

void TMDIChild::ustal_dist() {
  tGabarytProjektu g{pp, pk, center, size_x, size_y};
  ustalDist(fig, g, konfig_.integer("out_dir"));
}

double TMDIChild::GetCuttingLength() const {
  return dlugoscCiecia(konfig_.real("skala"), total_lenwork, konfig_.unitIndex());
}

double TMDIChild::GetEstimatedCuttingTime() const {
  tDaneCzasuCiecia d;
  d.iloscFigur = static_cast<int>(fig.size());
  d.skala = konfig_.real("skala");
  d.glebokosc = konfig_.real("Glebokosc");
  d.nadmat = konfig_.real("nadmat");
  d.workSpeed = konfig_.real("WorkSpeed");
  d.polerSpeed = konfig_.real("Polerspeed");
  d.przeSpeed = konfig_.real("przespeed");
  d.totalLenwork = total_lenwork;
  d.totalLenpol = total_lenpol;
  d.totalLenprzes = total_lenprzes;
  return szacowanyCzasCiecia(d);
}

}  // namespace trazvik
