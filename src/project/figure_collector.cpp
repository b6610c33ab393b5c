#include "project/figure_collector.h"

#include "geometry/crossing.h"
#include "geometry/points.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace trazvik {

void liczParametryFigury(tfigura& fig, double prj_accuracy) {
  if (fig.p.empty()) {
    fig.valid = false;
    return;
  }
  trealpoint lo = fig.p[0], hi = fig.p[0];
  for (const trealpoint& q : fig.p) {
    lo.x = std::min(lo.x, q.x);
    lo.y = std::min(lo.y, q.y);
    hi.x = std::max(hi.x, q.x);
    hi.y = std::max(hi.y, q.y);
  }
  fig.fig_pp = lo;
  fig.fig_pk = hi;
  fig.fig_x_size = hi.x - lo.x;
  fig.fig_y_size = hi.y - lo.y;
  fig.center = {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2};
  fig.get_min_point();
  fig.valid = true;
  fig.poziom = 0;
  fig.lezy_w = nullptr;
  fig.otwarta = !(fig.p.size() >= 3 && nearPointTol(fig.p.front(), fig.p.back(), prj_accuracy));
}

std::uint64_t odciskPunktow(const std::vector<trealpoint>& p) {
  std::uint64_t h = 0xcbf29ce484222325ull ^ p.size();
  auto mieszaj = [&h](double v) {
    h ^= std::bit_cast<std::uint64_t>(v + 0.0);  // -0 and +0 are the same point
    h *= 0x100000001b3ull;
    h ^= h >> 29;
  };
  for (const trealpoint& q : p) {
    mieszaj(q.x);
    mieszaj(q.y);
  }
  return h;
}

namespace {

bool dolaczalna(const tfigura& f) { return f.otwarta && f.p.size() > 1; }

enum class Styk { brak, koniecDoPoczatku, koniecDoKonca, poczatekDoPoczatku, poczatekDoKonca };

// How the new figure's ends meet figure f, tested in the fixed order.
Styk styk(const tfigura& nowa, const tfigura& f, double tol) {
  const trealpoint& nPierwszy = nowa.p.front();
  const trealpoint& nOstatni = nowa.p.back();
  if (nearPointTol(nOstatni, f.p.front(), tol)) return Styk::koniecDoPoczatku;
  if (nearPointTol(nOstatni, f.p.back(), tol)) return Styk::koniecDoKonca;
  if (nearPointTol(nPierwszy, f.p.front(), tol)) return Styk::poczatekDoPoczatku;
  if (nearPointTol(nPierwszy, f.p.back(), tol)) return Styk::poczatekDoKonca;
  return Styk::brak;
}

void polacz(std::vector<trealpoint>& p, const std::vector<trealpoint>& q, Styk s) {
  switch (s) {
    case Styk::koniecDoPoczatku: p.insert(p.end(), q.begin() + 1, q.end()); break;
    case Styk::koniecDoKonca: p.insert(p.end(), q.rbegin() + 1, q.rend()); break;
    case Styk::poczatekDoPoczatku: {
      // q's points from the second on, each put in front: they end reversed.
      std::vector<trealpoint> r(q.rbegin(), q.rend() - 1);
      r.insert(r.end(), p.begin(), p.end());
      p = std::move(r);
      break;
    }
    case Styk::poczatekDoKonca: {
      std::vector<trealpoint> r(q.begin(), q.end() - 1);
      r.insert(r.end(), p.begin(), p.end());
      p = std::move(r);
      break;
    }
    case Styk::brak: break;
  }
}

trealpoint przesun(trealpoint a, double d) { return {a.x + d, a.y + d}; }

}  // namespace

tZbieraczFigur::tZbieraczFigur(const tUstawieniaWczytania& ustawienia)
    : u_(ustawienia),
      konce_(ustawienia.prj_accuracy > 0 ? ustawienia.prj_accuracy : 1.0, 16),
      kreski_(ustawienia.komorkaKresek > 0 ? ustawienia.komorkaKresek : 400.0, 64) {}

void tZbieraczFigur::dodajBezZmian(std::unique_ptr<tfigura> fig) {
  sloty_.push_back(std::move(fig));
  ++ilosc_;
}

void tZbieraczFigur::dodaj(std::unique_ptr<tfigura> fig) {
  tfigura& nowa = *fig;
  if (u_.auto_add && dolaczalna(nowa)) dolacz(nowa);
  if (u_.auto_remove && jestDuplikatem(nowa)) return;
  liczParametryFigury(nowa, u_.prj_accuracy);
  nowa.otwarta = nowa.p.size() < 3 || !nearPoint(nowa.p.front(), nowa.p.back());
  nowa.otwor = false;
  if (u_.crosstopoint && nowa.p.size() == 2) zamienKrzyzNaPunkt(nowa);
  // The outlines op and dp are made by the tool-path step from p; copies
  // made here would only double the memory while the file is read.
  wstaw(std::move(fig));
}

std::int64_t tZbieraczFigur::pierwszyDoDolaczenia(const tfigura& nowa, std::size_t od) const {
  const double tol = u_.prj_accuracy;
  std::int64_t najlepszy = -1;
  auto sprawdz = [&](std::uint32_t slot) {
    if (slot < od || (najlepszy >= 0 && slot >= static_cast<std::uint64_t>(najlepszy))) return;
    const auto& f = sloty_[slot];
    if (!f || !dolaczalna(*f) || styk(nowa, *f, tol) == Styk::brak) return;
    najlepszy = slot;
  };
  for (const trealpoint& koniec : {nowa.p.front(), nowa.p.back()}) {
    konce_.dlaKandydatow(przesun(koniec, -tol), przesun(koniec, tol), sprawdz);
  }
  return najlepszy;
}

void tZbieraczFigur::dolacz(tfigura& nowa) {
  // Scans in project order until one scan joins nothing. Every join removes
  // a figure, so there are at most as many joins as figures and the scans
  // end.
  bool dolaczono = true;
  while (dolaczono) {
    dolaczono = false;
    std::size_t od = 0;
    for (std::int64_t slot = pierwszyDoDolaczenia(nowa, od); slot >= 0; slot = pierwszyDoDolaczenia(nowa, od)) {
      const auto s = static_cast<std::size_t>(slot);
      polacz(nowa.p, sloty_[s]->p, styk(nowa, *sloty_[s], u_.prj_accuracy));
      usun(s);
      od = s + 1;
      dolaczono = true;
    }
  }
}

bool tZbieraczFigur::jestDuplikatem(const tfigura& nowa) const {
  auto it = odciski_.find(odciskPunktow(nowa.p));
  if (it == odciski_.end()) return false;
  for (std::uint32_t slot : it->second) {
    const auto& f = sloty_[slot];
    if (f && f->p.size() == nowa.p.size() &&
        std::equal(f->p.begin(), f->p.end(), nowa.p.begin(),
                   [](const trealpoint& a, const trealpoint& b) { return samePoint(a, b); })) {
      return true;
    }
  }
  return false;
}

void tZbieraczFigur::zamienKrzyzNaPunkt(tfigura& nowa) {
  const tSegment odcinek{nowa.p[0], nowa.p[1]};
  std::int64_t najlepszy = -1;
  trealpoint punkt;
  kreski_.dlaKandydatowOdcinka(nowa.p[0], nowa.p[1], [&](std::uint32_t slot) {
    if (najlepszy >= 0 && slot >= static_cast<std::uint64_t>(najlepszy)) return;
    const auto& f = sloty_[slot];
    if (!f || f->p.size() != 2) return;
    trealpoint q;
    if (!segmentsCrossInside({f->p[0], f->p[1]}, odcinek, u_.prj_accuracy, q)) return;
    najlepszy = slot;
    punkt = q;
  });
  if (najlepszy < 0) return;
  usun(static_cast<std::size_t>(najlepszy));
  nowa.p[0] = punkt;
  nowa.p[1] = punkt;
  nowa.otwor = true;
  liczParametryFigury(nowa, u_.prj_accuracy);
}

void tZbieraczFigur::wstaw(std::unique_ptr<tfigura> fig) {
  const auto slot = static_cast<std::uint32_t>(sloty_.size());
  const tfigura& f = *fig;
  if (dolaczalna(f)) {
    konce_.dodaj(slot, f.p.front(), f.p.front());
    konce_.dodaj(slot, f.p.back(), f.p.back());
  }
  if (f.p.size() == 2) kreski_.dodajOdcinek(slot, f.p[0], f.p[1]);
  odciski_[odciskPunktow(f.p)].push_back(slot);
  sloty_.push_back(std::move(fig));
  ++ilosc_;
}

void tZbieraczFigur::usun(std::size_t slot) {
  sloty_[slot].reset();
  --ilosc_;
}

tListaFigur tZbieraczFigur::odbierz() {
  tListaFigur wynik;
  wynik.reserve(ilosc_);
  for (auto& f : sloty_) {
    if (f) wynik.push_back(std::move(f));
  }
  sloty_.clear();
  ilosc_ = 0;
  return wynik;
}

}  // namespace trazvik
