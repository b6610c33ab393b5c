#include "project/measurements.h"

#include "geometry/angles.h"
#include "geometry/points.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace trazvik {

namespace {

// Nearest integer, halves to even, held within the 32-bit range.
std::int32_t zaokraglij(double v) {
  if (std::isnan(v)) return 0;
  const double r = std::nearbyint(v);
  return static_cast<std::int32_t>(std::clamp(r, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                                              static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

double zaokraglijR(double v) { return std::isfinite(v) ? std::nearbyint(v) : v; }

// Share of a turn of the direction a -> b, counted counter-clockwise from
// 225 degrees.
double kierunekWObrotach(const trealpoint& a, const trealpoint& b) {
  double q = dirAngle(a, b) / (2 * std::numbers::pi) + 0.375;
  if (q > 1) q -= 1;
  return q;
}

std::int64_t pierscien(double d, double w) {
  const double r = std::trunc(d / w);
  return static_cast<std::int64_t>(std::clamp(r, 0.0, 1e15));
}

}  // namespace

void ustalDist(tListaFigur& figury, const tGabarytProjektu& g, int outDir) {
  if (figury.empty()) return;
  const double n = static_cast<double>(figury.size());
  const double r0 = zaokraglijR(distI(g.pp, g.pk) / 2 + 1);
  const double w0 = std::max(1.0, zaokraglijR(r0 / (std::sqrt(n) / 4)));
  auto aspekt = [&g](trealpoint a) {
    a.y = g.size_y == 0 ? kUnset : a.y * g.size_x / g.size_y;
    return a;
  };
  const trealpoint o = aspekt(g.center);

  for (auto& f : figury) {
    if (f->p.empty()) continue;
    const double d = zaokraglijR(dist(o, aspekt(f->center)));
    const double ring = static_cast<double>(pierscien(d, w0));
    double q = kierunekWObrotach(o, aspekt(f->p[0]));
    if (outDir == 1) q = 1 - q;
    f->DistToProj = zaokraglij((q + 1) * 6 * r0 + (ring + 1) * 8 * r0);
  }

  for (auto& f : figury) {
    const tfigura* e = f->lezy_w;
    if (f->poziom <= 0 || e == nullptr || f->p.empty()) continue;
    const double r = zaokraglijR(std::sqrt(e->fig_x_size * e->fig_x_size + e->fig_y_size * e->fig_y_size) / 2 + 1);
    const double w = std::max(1.0, zaokraglijR(r / 4));
    const double d = zaokraglijR(dist(e->center, f->center));
    const double ring = static_cast<double>(pierscien(d, w));
    double q = kierunekWObrotach(e->center, f->p[0]);
    if (outDir == 1 && f->poziom % 2 == 0) q = 1 - q;
    f->DistToFig = zaokraglij((q + 1) * 2 * r + (ring + 1) * 4 * r);
  }
}

double dlugoscCiecia(double skala, double totalLenwork, int unitIndex) {
  const double mm = skala * totalLenwork / 100;
  switch (unitIndex) {
    case 1: return mm / 25.4;
    case 2: return mm / 304.8;
    default: return mm;
  }
}

double szacowanyCzasCiecia(const tDaneCzasuCiecia& d) {
  const double n = d.iloscFigur;
  double czas = 0.03 * n;
  if (d.workSpeed > 0) czas += (d.skala * d.totalLenwork / 100 + 2 * n * d.glebokosc * 5) / d.workSpeed;
  if (d.polerSpeed > 0) czas += (d.skala * d.totalLenpol / 100) / d.polerSpeed;
  if (d.przeSpeed > 0) czas += (d.skala * (d.totalLenprzes + 2 * n * d.nadmat * 5) / 100) / d.przeSpeed;
  return czas;
}

}  // namespace trazvik
