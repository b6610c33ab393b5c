#include "plot_generator.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace trazvik::bench {

namespace {

struct Pt {
  long x, y;
};

class Los {  // a small fixed generator: the same file on every machine
 public:
  explicit Los(std::uint64_t s) : s_(s) {}
  std::uint32_t operator()() {
    s_ = s_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(s_ >> 33);
  }

 private:
  std::uint64_t s_;
};

constexpr long kKomorka = 400;  // 10 mm in plotter units

std::vector<Pt> okrag(long cx, long cy, long r, int n, bool zegar) {
  std::vector<Pt> p;
  for (int i = 0; i <= n; ++i) {
    const double a = 2 * std::numbers::pi * (zegar ? n - i : i) / n;
    p.push_back({cx + std::lround(r * std::cos(a)), cy + std::lround(r * std::sin(a))});
  }
  p.back() = p.front();
  return p;
}

std::vector<Pt> prostokat(long x0, long y0, long x1, long y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

// A "B"-like outline: a straight back and two bowls, 2 holes go inside.
std::vector<Pt> literaB(long x0, long y0) {
  std::vector<Pt> p{{x0 + 60, y0 + 40}, {x0 + 220, y0 + 40}};
  for (int i = 0; i <= 8; ++i) {
    const double a = -std::numbers::pi / 2 + std::numbers::pi * i / 8;
    p.push_back({x0 + 220 + std::lround(80 * std::cos(a)), y0 + 120 + std::lround(80 * std::sin(a))});
  }
  for (int i = 0; i <= 8; ++i) {
    const double a = -std::numbers::pi / 2 + std::numbers::pi * i / 8;
    p.push_back({x0 + 220 + std::lround(70 * std::cos(a)), y0 + 270 + std::lround(70 * std::sin(a))});
  }
  p.push_back({x0 + 60, y0 + 340});
  p.push_back(p.front());
  return p;
}

void rysuj(std::string& out, const std::vector<Pt>& p, int pen) {
  out += "SP" + std::to_string(pen) + ";PU" + std::to_string(p[0].x) + "," + std::to_string(p[0].y) + ";PD";
  for (std::size_t i = 1; i < p.size(); ++i) {
    if (i > 1) out += ',';
    out += std::to_string(p[i].x) + "," + std::to_string(p[i].y);
  }
  out += ";PU;\n";
}

}  // namespace

tOpisPlotu generujPlot(const tRozmiarPlotu& r) {
  tOpisPlotu o;
  o.hpgl = "IN;\n";
  Los los(20261210);
  const int kolumny = std::max(1, static_cast<int>(std::sqrt(r.figuryZamkniete / 2.8)));
  int komorka = 0;
  while (o.figuryZamkniete < r.figuryZamkniete) {
    const long x0 = (komorka % kolumny) * kKomorka, y0 = (komorka / kolumny) * kKomorka;
    const int zostalo = r.figuryZamkniete - o.figuryZamkniete;
    const int rodzaj = static_cast<int>(los() % 3);
    const bool zegar = los() % 2 == 0;
    const int pen = 1 + static_cast<int>(los() % 3);
    if (rodzaj == 0 && zostalo >= 4) {
      // a boxed "O" with a dot in its hole: levels 0, 1, 2, 3
      rysuj(o.hpgl, prostokat(x0 + 10, y0 + 10, x0 + 390, y0 + 390), pen);
      rysuj(o.hpgl, okrag(x0 + 200, y0 + 200, 160, 32, zegar), pen);
      rysuj(o.hpgl, okrag(x0 + 200, y0 + 200, 90, 24, !zegar), pen);
      rysuj(o.hpgl, okrag(x0 + 200, y0 + 200, 30, 12, zegar), pen);
      o.figuryZamkniete += 4;
    } else if (rodzaj == 1 && zostalo >= 3) {
      rysuj(o.hpgl, literaB(x0, y0), pen);
      rysuj(o.hpgl, okrag(x0 + 210, y0 + 120, 35, 16, zegar), pen);
      rysuj(o.hpgl, okrag(x0 + 210, y0 + 270, 30, 16, zegar), pen);
      o.figuryZamkniete += 3;
    } else if (zostalo >= 2) {
      rysuj(o.hpgl, okrag(x0 + 200, y0 + 200, 170, 32, zegar), pen);
      rysuj(o.hpgl, okrag(x0 + 200, y0 + 200, 110, 28, zegar), pen);
      o.figuryZamkniete += 2;
    } else {
      rysuj(o.hpgl, okrag(x0 + 200, y0 + 200, 150, 20, zegar), pen);
      o.figuryZamkniete += 1;
    }
    ++komorka;
  }

  // Strokes below the letters: zig-zag chains of 5 strokes each, written in
  // a shuffled order and partly reversed, so that joining has to find them.
  const long podstawa = -2 * kKomorka;
  o.lancuchy = (r.kreski + 4) / 5;
  std::vector<std::vector<Pt>> kreski;
  for (int c = 0; c < o.lancuchy; ++c) {
    const long x = (c % kolumny) * kKomorka, y = podstawa - (c / kolumny) * kKomorka;
    std::vector<Pt> lancuch;
    for (int k = 0; k <= 5; ++k) lancuch.push_back({x + k * 60, y + (k % 2) * 200});
    for (int k = 0; k < 5 && static_cast<int>(kreski.size()) < r.kreski; ++k) {
      std::vector<Pt> s{lancuch[static_cast<std::size_t>(k)], lancuch[static_cast<std::size_t>(k + 1)]};
      if (los() % 2 == 0) std::swap(s[0], s[1]);
      kreski.push_back(s);
    }
  }
  for (std::size_t i = kreski.size(); i > 1; --i) std::swap(kreski[i - 1], kreski[los() % i]);
  for (const auto& s : kreski) rysuj(o.hpgl, s, 4);
  o.kreski = static_cast<int>(kreski.size());
  o.hpgl += "PU0,0;SP0;\n";
  return o;
}

}  // namespace trazvik::bench
