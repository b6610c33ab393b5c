// The scene rasterised into RGB pixels, and the picture file writer.
#include "base/atomic_file.h"
#include "project/preview_scene.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wconversion"
#include <stb_easy_font.h>
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace trazvik {

namespace {

class Plotno {
 public:
  Plotno(int w, int h) : w_(w), h_(h), px_(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, 255) {}

  void punkt(int x, int y, tKolor k) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    unsigned char* p =
        &px_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(x)) * 3];
    p[0] = static_cast<unsigned char>(k & 0xFF);
    p[1] = static_cast<unsigned char>((k >> 8) & 0xFF);
    p[2] = static_cast<unsigned char>((k >> 16) & 0xFF);
  }

  // A filled disc; also the pen of thick lines.
  void kolo(double cx, double cy, double r, tKolor k) {
    const int x0 = static_cast<int>(std::floor(cx - r)), x1 = static_cast<int>(std::ceil(cx + r));
    const int y0 = static_cast<int>(std::floor(cy - r)), y1 = static_cast<int>(std::ceil(cy + r));
    for (int y = std::max(y0, 0); y <= std::min(y1, h_ - 1); ++y) {
      for (int x = std::max(x0, 0); x <= std::min(x1, w_ - 1); ++x) {
        const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
        if (dx * dx + dy * dy <= r * r) punkt(x, y, k);
      }
    }
  }

  // A line in steps of at most half a pixel; dashes of 4 on, 3 off.
  void odcinek(trealpoint a, trealpoint b, double grubosc, tKolor k, bool przerywana, double& faza) {
    if (!przytnij(a, b)) return;
    const double dl = std::hypot(b.x - a.x, b.y - a.y);
    const int kroki = std::max(1, static_cast<int>(std::ceil(dl * 2)));
    for (int i = 0; i <= kroki; ++i) {
      const double t = static_cast<double>(i) / kroki;
      const double f = faza + t * dl;
      if (przerywana && std::fmod(f, 7.0) >= 4.0) continue;
      const double x = a.x + (b.x - a.x) * t, y = a.y + (b.y - a.y) * t;
      if (grubosc <= 1.2) {
        punkt(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), k);
      } else {
        kolo(x, y, grubosc / 2, k);
      }
    }
    faza += dl;
  }

  void prostokat(double x0, double y0, double x1, double y1, tKolor k) {
    for (int y = static_cast<int>(std::floor(y0)); y < static_cast<int>(std::ceil(y1)); ++y) {
      for (int x = static_cast<int>(std::floor(x0)); x < static_cast<int>(std::ceil(x1)); ++x) punkt(x, y, k);
    }
  }

  std::vector<unsigned char> odbierz() { return std::move(px_); }

 private:
  // Clips the segment to the picture (with a border) so that huge
  // coordinates cost no more than the picture's size.
  bool przytnij(trealpoint& a, trealpoint& b) const {
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return false;
    const double lo[2] = {-8.0, -8.0}, hi[2] = {w_ + 8.0, h_ + 8.0};
    double t0 = 0, t1 = 1;
    const double d[2] = {b.x - a.x, b.y - a.y}, s[2] = {a.x, a.y};
    for (int i = 0; i < 2; ++i) {
      if (d[i] == 0) {
        if (s[i] < lo[i] || s[i] > hi[i]) return false;
        continue;
      }
      double u0 = (lo[i] - s[i]) / d[i], u1 = (hi[i] - s[i]) / d[i];
      if (u0 > u1) std::swap(u0, u1);
      t0 = std::max(t0, u0);
      t1 = std::min(t1, u1);
      if (t0 > t1) return false;
    }
    const trealpoint a0 = a;
    a = {a0.x + d[0] * t0, a0.y + d[1] * t0};
    b = {a0.x + d[0] * t1, a0.y + d[1] * t1};
    return true;
  }

  int w_, h_;
  std::vector<unsigned char> px_;
};

void napisz(Plotno& p, double x, double y, const std::string& tekst, tKolor k) {
  // stb_easy_font gives 4 vertices of 16 bytes (x, y, z floats and a colour)
  // per quad; its quads are axis-parallel rectangles.
  std::vector<char> bufor(tekst.size() * 270 + 64);
  std::string t = tekst;
  unsigned char kolor[4] = {0, 0, 0, 255};
  const int quady = stb_easy_font_print(static_cast<float>(x), static_cast<float>(y), t.data(), kolor, bufor.data(),
                                        static_cast<int>(bufor.size()));
  // Twice the font's own size, which is hard to read on a large picture.
  auto powieksz = [&](double v, double o) { return o + (v - o) * 2; };
  for (int q = 0; q < quady; ++q) {
    const float* v = reinterpret_cast<const float*>(bufor.data() + static_cast<std::size_t>(q) * 64);
    p.prostokat(powieksz(v[0], x), powieksz(v[1], y), powieksz(v[8], x), powieksz(v[9], y), k);
  }
}

}  // namespace

std::vector<unsigned char> rasteryzujScene(const tScenaPodgladu& s, int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  Plotno p(width, height);
  const tRzutPodgladu rzut(s, width, height);
  for (const auto& l : s.linie) {
    double faza = 0;
    for (std::size_t i = 0; i + 1 < l.punkty.size(); ++i) {
      p.odcinek(rzut(l.punkty[i]), rzut(l.punkty[i + 1]), l.grubosc, l.kolor, l.przerywana, faza);
    }
    if (l.punkty.size() == 1) {
      const trealpoint q = rzut(l.punkty[0]);
      p.kolo(q.x, q.y, l.grubosc, l.kolor);
    }
  }
  for (const auto& k : s.kropki) {
    const trealpoint q = rzut(k.srodek);
    if (std::isfinite(q.x) && std::isfinite(q.y)) p.kolo(q.x, q.y, k.promien, k.kolor);
  }
  for (const auto& n : s.napisy) {
    const trealpoint q = rzut(n.miejsce);
    if (std::isfinite(q.x) && std::isfinite(q.y) && q.x > -100 && q.y > -100 && q.x < width + 100 &&
        q.y < height + 100) {
      napisz(p, q.x + 4, q.y - 18, n.tekst, n.kolor);
    }
  }
  return p.odbierz();
}

namespace {

void dopiszBajty(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

bool konczySieNaSvg(const std::string& path) {
  if (path.size() < 4) return false;
  std::string e = path.substr(path.size() - 4);
  for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return e == ".svg";
}

}  // namespace

std::string zapiszPodglad(const tScenaPodgladu& s, const std::string& path, int width, int height) {
  if (width < 16 || height < 16 || width > 20000 || height > 20000)
    return "picture size out of range (16 to 20000 pixels)";
  std::string tresc;
  if (konczySieNaSvg(path)) {
    tresc = scenaSvg(s, width, height);
  } else {
    const auto px = rasteryzujScene(s, width, height);
    if (stbi_write_png_to_func(dopiszBajty, &tresc, width, height, 3, px.data(), width * 3) == 0) {
      return "the PNG encoder failed";
    }
  }
  std::string blad;
  if (!base::writeFileAtomically(path, tresc, &blad)) return blad;
  return {};
}

}  // namespace trazvik
