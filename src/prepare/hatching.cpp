#include "prepare/hatching.h"

#include "geometry/units.h"
#include "prepare/box_index.h"
#include "prepare/containment.h"
#include "prepare/hatch_scan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trazvik {
namespace {

constexpr int kKolorCzarnyDxf = 0;
constexpr int kKolorCzarny = 1;

struct Box {
  trealpoint lo{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
  trealpoint hi{std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
  void include(trealpoint p) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
  }
  double area() const { return (hi.x - lo.x) * (hi.y - lo.y); }
};

Box boxOf(const std::vector<trealpoint>& pts) {
  Box b;
  for (const trealpoint& p : pts) b.include(p);
  return b;
}

// The figures that can hold hatch lines, with the boxes of their drawn
// points for finding the figure that encloses a line.
class Enclosures {
 public:
  Enclosures(const tListaFigur& figury, std::size_t ilosc) : figury_(figury) {
    for (std::size_t i = 0; i < std::min(ilosc, figury.size()); ++i) {
      const tfigura& f = *figury[i];
      if (f.kreska || f.otwarta || f.p.size() < 3) continue;
      closed_.push_back(static_cast<std::uint32_t>(i));
      boxes_.push_back(boxOf(f.p));
      index_.add(static_cast<std::uint32_t>(boxes_.size() - 1), boxes_.back().lo, boxes_.back().hi);
    }
    index_.finish();
  }

  const std::vector<std::uint32_t>& closed() const { return closed_; }

  // The deepest figure whose drawn points hold pt (the smaller box among
  // equally deep ones); -1 when none does.
  int deepest(trealpoint pt) {
    found_.clear();
    index_.containing(pt, found_);
    int best = -1;
    double bestArea = 0;
    for (std::uint32_t k : found_) {
      const tfigura& f = *figury_[closed_[k]];
      if (!IsPointInPoly(pt, f.p)) continue;
      const double area = boxes_[k].area();
      if (best < 0 || f.poziom > figury_[static_cast<std::size_t>(best)]->poziom ||
          (f.poziom == figury_[static_cast<std::size_t>(best)]->poziom && area < bestArea)) {
        best = static_cast<int>(closed_[k]);
        bestArea = area;
      }
    }
    return best;
  }

 private:
  const tListaFigur& figury_;
  std::vector<std::uint32_t> closed_;
  std::vector<Box> boxes_;
  prepare::BoxIndex index_;
  std::vector<std::uint32_t> found_;
};

int kolorKreski(const tListaFigur& figury, const tParametryKreskowania& par, std::uint32_t figA, std::uint32_t figB,
                int rodzic) {
  if (!par.kolorRodzica) return par.fileType == kFileTypeDxf ? kKolorCzarnyDxf : kKolorCzarny;
  const tfigura& a = *figury[figA];
  const tfigura& b = *figury[figB];
  if (figA != figB) return (b.poziom > a.poziom ? b : a).org_color;
  return rodzic >= 0 ? figury[static_cast<std::size_t>(rodzic)]->org_color : a.org_color;
}

std::unique_ptr<tfigura> kreska(trealpoint a, trealpoint b, const tParametryKreskowania& par) {
  auto f = std::make_unique<tfigura>();
  f->p = {a, b};
  f->op = f->p;
  f->dp = f->p;
  f->sp = {{a.x, a.y, par.glebokoscZ}, {b.x, b.y, par.glebokoscZ}};
  f->kreska = f->otwarta = f->tocut = f->valid = true;
  const double len = std::hypot(b.x - a.x, b.y - a.y);
  f->obwod = len;
  f->lenwork = toMm(par.fileType, len);
  f->fig_pp = {std::min(a.x, b.x), std::min(a.y, b.y)};
  f->fig_pk = {std::max(a.x, b.x), std::max(a.y, b.y)};
  f->center = {(a.x + b.x) / 2, (a.y + b.y) / 2};
  f->min_point = a.y <= b.y ? 0 : 1;
  return f;
}

// Position of a hatch line across the scan lines, and along its own.
double across(const tfigura& f, const tKreskowanie& k) {
  const trealpoint p = f.p.front();
  if (k.wzor == 1) return p.x;
  if (k.wzor == 2) return p.y;
  return p.y * std::cos(k.kat) - p.x * std::sin(k.kat);
}

double along(const tfigura& f, const tKreskowanie& k) {
  const trealpoint a = f.p.front(), b = f.p.back();
  return k.wzor == 2 ? (a.x + b.x) / 2 : (a.y + b.y) / 2;
}

// Upward (rightward for horizontal lines).
bool runsForward(const tfigura& f, const tKreskowanie& k) {
  const trealpoint a = f.p.front(), b = f.p.back();
  return k.wzor == 2 ? b.x > a.x : b.y > a.y;
}

void reverse(tfigura& f) {
  std::reverse(f.p.begin(), f.p.end());
  std::reverse(f.op.begin(), f.op.end());
  std::reverse(f.dp.begin(), f.dp.end());
  std::reverse(f.sp.begin(), f.sp.end());
  f.min_point = f.p.size() == 2 && f.p[0].y > f.p[1].y ? 1 : 0;
}

bool hatchLine(const tfigura& f) { return f.kreska && f.p.size() >= 2; }

}  // namespace

tWynikKreskowania DodajKreski(tListaFigur& figury, std::size_t ilosc, const tParametryKreskowania& par) {
  tWynikKreskowania wynik;
  if (!(par.odstep > 0) || !std::isfinite(par.odstep)) {
    wynik.blad = "the spacing of the hatch lines must be greater than 0";
    return wynik;
  }
  Enclosures enclosures(figury, ilosc);
  const prepare::HatchScanner scanner(figury, enclosures.closed(), par.lo, par.hi, par.margines, par.odstep,
                                      par.katStopnie, par.maxLinii);
  if (scanner.tooManyLines()) {
    wynik.blad = "the spacing is too small for the project: more than " + std::to_string(par.maxLinii) + " scan lines";
    return wynik;
  }
  wynik.geometria = {scanner.pattern(), prepare::hatchAngle(par.katStopnie), par.odstep};
  const double xp = figury.empty() ? 0 : figury.front()->xp;
  const double yp = figury.empty() ? 0 : figury.front()->yp;
  std::vector<prepare::HatchCrossing> crossings;
  for (std::size_t k = 0; k < scanner.lineCount(); ++k) {
    scanner.crossings(k, crossings);
    for (std::size_t j = 0; j + 1 < crossings.size(); j += 2) {
      const prepare::HatchCrossing& a = crossings[j];
      const prepare::HatchCrossing& b = crossings[j + 1];
      if (a.at == b.at) continue;
      const int rodzic = enclosures.deepest({(a.at.x + b.at.x) / 2, (a.at.y + b.at.y) / 2});
      auto f = kreska(a.at, b.at, par);
      f->pochodzi = rodzic;
      f->lezy_w = rodzic >= 0 ? figury[static_cast<std::size_t>(rodzic)].get() : nullptr;
      f->poziom = rodzic >= 0 ? f->lezy_w->poziom + 1 : 0;
      f->org_color = kolorKreski(figury, par, a.figure, b.figure, rodzic);
      f->org_index = static_cast<std::int32_t>(figury.size());
      f->xp = xp;
      f->yp = yp;
      figury.push_back(std::move(f));
      ++wynik.kreski;
    }
  }
  return wynik;
}

void KierunkiKresek(tListaFigur& figury, const tKreskowanie& k, bool dwukierunkowo) {
  std::vector<tfigura*> kreski;
  for (auto& f : figury)
    if (hatchLine(*f)) kreski.push_back(f.get());
  int hatchLineDir = 1;
  for (std::size_t i = 0; i < kreski.size(); ++i) {
    tfigura& f = *kreski[i];
    if (runsForward(f, k) != (hatchLineDir == 1)) reverse(f);
    if (dwukierunkowo && i + 1 < kreski.size() && !OrginFromSeameLine(f, *kreski[i + 1], k))
      hatchLineDir = 3 - hatchLineDir;
  }
}

bool OrginFromSeameLine(const tfigura& a, const tfigura& b, const tKreskowanie& k) {
  if (!hatchLine(a) || !hatchLine(b)) return false;
  return std::fabs(across(a, k) - across(b, k)) <= k.odstep / 2;
}

int porownajKreski(const tfigura& a, const tfigura& b, const tKreskowanie& k) {
  if (!hatchLine(a) || !hatchLine(b)) return a.org_index < b.org_index ? -1 : (a.org_index > b.org_index ? 1 : 0);
  const double ka = across(a, k), kb = across(b, k);
  if (std::fabs(ka - kb) > k.odstep / 2) return ka < kb ? -1 : 1;
  const double ma = along(a, k), mb = along(b, k);
  if (ma == mb) return 0;
  const bool forward = runsForward(a, k) && runsForward(b, k);
  return (ma < mb) == forward ? -1 : 1;
}

}  // namespace trazvik
