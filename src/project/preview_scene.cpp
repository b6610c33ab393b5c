#include "project/preview_scene.h"

#include "layers/layer_colors.h"
#include "project/tmdichild.h"

#include <algorithm>
#include <cmath>

namespace trazvik {

namespace {

constexpr tKolor kSzary = kolorRGB(170, 170, 170);
constexpr tKolor kSciezka = kolorRGB(255, 140, 0);
constexpr tKolor kWejscie = kolorRGB(220, 20, 20);

bool skonczony(trealpoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

void obejmij(tScenaPodgladu& s, bool& pierwszy, trealpoint p) {
  if (!skonczony(p)) return;
  if (pierwszy) {
    s.min = s.max = p;
    pierwszy = false;
    return;
  }
  s.min.x = std::min(s.min.x, p.x);
  s.min.y = std::min(s.min.y, p.y);
  s.max.x = std::max(s.max.x, p.x);
  s.max.y = std::max(s.max.y, p.y);
}

tKolor kolorFigury(const TMDIChild& projekt, const tfigura& f) {
  if (!f.tocut || f.narrowerThanTool) return kSzary;
  if (projekt.warstwy) return projekt.warstwy->layer[static_cast<std::size_t>(std::clamp(f.org_color, 0, 1024))].kolor;
  return kolorWarstwy(projekt.ImportFileType, f.org_color);
}

}  // namespace

tScenaPodgladu zbudujScenePodgladu(const TMDIChild& projekt) {
  tScenaPodgladu s;
  bool pierwszy = true;
  int kolejny = 0;
  for (const auto& wsk : projekt.fig) {
    const tfigura& f = *wsk;
    tScenaPodgladu::Linia figura{drawnPoints(f), kolorFigury(projekt, f), f.ramka ? 1.0 : 1.5, false};
    // White would vanish on the background.
    if (figura.kolor == kolorRGB(255, 255, 255)) figura.kolor = kolorRGB(0, 0, 0);
    for (const trealpoint& q : figura.punkty) obejmij(s, pierwszy, q);
    if (f.otwor && !f.p.empty()) s.kropki.push_back({f.p[0], figura.kolor, 4});
    s.linie.push_back(std::move(figura));
    if (!f.tocut || f.narrowerThanTool) continue;

    std::vector<trealpoint> sciezka;
    if (!f.sp.empty()) {
      for (const trpoint3d& q : f.sp) sciezka.push_back({q.x, q.y});
    } else {
      sciezka = f.op;
    }
    if (sciezka.size() >= 2 && sciezka != s.linie.back().punkty) {
      for (const trealpoint& q : sciezka) obejmij(s, pierwszy, q);
      s.linie.push_back({sciezka, kSciezka, 1, true});
    }
    const std::vector<trealpoint>& rysunek = s.linie.back().punkty;
    const trealpoint wejscie = !sciezka.empty() ? sciezka.front() : (rysunek.empty() ? trealpoint{} : rysunek.front());
    ++kolejny;
    s.kropki.push_back({wejscie, kWejscie, 3});
    s.napisy.push_back({wejscie, std::to_string(kolejny), kWejscie});
  }
  if (s.max.x <= s.min.x) s.max.x = s.min.x + 1;
  if (s.max.y <= s.min.y) s.max.y = s.min.y + 1;
  return s;
}

tRzutPodgladu::tRzutPodgladu(const tScenaPodgladu& s, int width, int height, int margin) : height(height) {
  const double w = std::max(1, width - 2 * margin);
  const double h = std::max(1, height - 2 * margin);
  skala = std::min(w / (s.max.x - s.min.x), h / (s.max.y - s.min.y));
  if (!std::isfinite(skala) || skala <= 0) skala = 1;
  ox = margin + (w - (s.max.x - s.min.x) * skala) / 2 - s.min.x * skala;
  oy = margin + (h - (s.max.y - s.min.y) * skala) / 2 - s.min.y * skala;
}

trealpoint tRzutPodgladu::operator()(trealpoint p) const { return {ox + p.x * skala, height - (oy + p.y * skala)}; }

}  // namespace trazvik
