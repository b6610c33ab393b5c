// The Bezier smoothing of a project: every figure's outline fitted with a
// chain of cubic segments (LBezier), tangents aligned at smooth joints,
// interpolation steps chosen, and the 3-D chain with the descent
// (SpiralaBezier) that the job writer sends instead of the polyline.
#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "prepare/bezier_chain.h"
#include "project/tmdichild.h"

#include <algorithm>
#include <cmath>

namespace trazvik {
namespace {

constexpr double kToleranceMm = 0.05;
constexpr double kInnerToleranceMm = 0.005;
constexpr double kControllerStepMm = 0.01;

double mmNaJednostki(const TMDIChild& prj, double mm) {
  const double skala = prj.konfig().real("skala");
  const double s = skala > 0 && std::isfinite(skala) ? skala / 100 : 1;
  return mm / s * fromMm(prj.ImportFileType, 1.0);
}

bool doWygladzenia(const tfigura& f) { return !f.otwor && f.op.size() >= 2 && !f.sp.empty(); }

}  // namespace

prepare::BezierLimits TMDIChild::granicePrzyblizenia() const {
  prepare::BezierLimits g;
  g.tolerance = mmNaJednostki(*this, kToleranceMm);
  g.innerTolerance = mmNaJednostki(*this, kInnerToleranceMm);
  g.smoothCosine = konfig_.machine().smoothJointCosine;
  return g;
}

bool TMDIChild::wygladzanieDostepne() const {
  return konfig_.flag("wygladzanie") && konfig_.machine().bezierCommands && ImportFileType != 3 &&
         ImportFileType != 4 && !grawer;
}

void TMDIChild::PrzyblizBezier() {
  for (auto& f : fig) {
    f->LBezier.clear();
    f->SpiralaBezier.clear();
  }
  for (std::size_t nr = 0; nr < fig.size(); ++nr) {
    if (!doWygladzenia(*fig[nr])) continue;
    const prepare::FittedChain chain = PrzyblizFigure(static_cast<int>(nr));
    Wygladz(static_cast<int>(nr), chain);
    DobierzU(static_cast<int>(nr));
    tfigura& f = *fig[nr];
    f.obwod = 0;
    for (const tBezier& b : f.LBezier) f.obwod += b.Dlugosc;
    UtworzSpiraleBezier(static_cast<int>(nr));
  }
  if (widok_.odswiez) widok_.odswiez();
}

prepare::FittedChain TMDIChild::PrzyblizFigure(int nr) {
  tfigura& f = *fig[static_cast<std::size_t>(nr)];
  prepare::FittedChain chain = prepare::PrzyblizFigure(f.op, !f.otwarta, granicePrzyblizenia());
  f.LBezier = chain.segments;
  return chain;
}

tBezier TMDIChild::PrzyblizSegment(int nr, int poczatek, int koniec, double& blad) const {
  const tfigura& f = *fig[static_cast<std::size_t>(nr)];
  const auto first = static_cast<std::size_t>(poczatek), last = static_cast<std::size_t>(koniec);
  const prepare::SegmentFit fit = prepare::PrzyblizSegment(f.op, first, last, {}, {}, granicePrzyblizenia());
  blad = fit.error;
  return fit.segment;
}

void TMDIChild::Wygladz(int nr, const prepare::FittedChain& dopasowanie) {
  tfigura& f = *fig[static_cast<std::size_t>(nr)];
  prepare::FittedChain chain = dopasowanie;
  chain.segments = f.LBezier;
  prepare::WygladzWGranicach(chain, !f.otwarta, granicePrzyblizenia());
  f.LBezier = chain.segments;
}

void TMDIChild::DobierzU(int nr) {
  tfigura& f = *fig[static_cast<std::size_t>(nr)];
  const double axis = konfig_.machine().axisFactorX > 0 ? konfig_.machine().axisFactorX : 1;
  const double step = mmNaJednostki(*this, kControllerStepMm / axis);
  for (tBezier& b : f.LBezier) prepare::DobierzU(b, step);
}

void TMDIChild::UtworzSpiraleBezier(int nr) {
  tfigura& f = *fig[static_cast<std::size_t>(nr)];
  const TDlgkonfig& k = konfig_;
  const double upm = fromMm(ImportFileType, 1.0);
  const bool laser = k.machine().isLaser;
  const double top = k.real("grubosc") + k.real("ponad_stol");
  double depth = k.real("Glebokosc");
  if (wielowarstwowy() && warstwy) depth = warstwy->getGlebokosc(f.org_color);
  prepare::BezierDescent d;
  d.bottom = (top - depth) * upm;
  if (laser) d.bottom = k.machine().laserZAxis ? -k.real("grubosc") * upm : 0;
  const bool spiral = k.flag("cbZejsciePoSpirali") && !laser;
  d.start = spiral ? top * upm : d.bottom;
  d.pitch = k.real("skok") * upm;
  f.SpiralaBezier = prepare::UtworzSpiraleBezier(f.LBezier, !f.otwarta, spiral, d);
}

}  // namespace trazvik
