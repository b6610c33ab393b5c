#include "layers/layer_colors.h"

#include "geometry/units.h"

#include <array>

namespace trazvik {

namespace {

constexpr std::array<tKolor, 8> kPisaki = {
    kolorRGB(0, 0, 0),     kolorRGB(0, 0, 255),   kolorRGB(255, 0, 0), kolorRGB(0, 128, 0),
    kolorRGB(128, 0, 128), kolorRGB(255, 255, 0), kolorRGB(0, 0, 128), kolorRGB(128, 0, 0),
};

// The coloured part of the DXF palette, entries 10 to 249, is 24 hues in
// steps of 15 degrees; each hue has five brightness steps, each as a pure
// and as a pale colour. A colour component takes one of five levels per
// brightness step: the darkest (0), three in-between ones and the brightest
// (4). These are the palette's own rounded values.
constexpr int kJasnosci = 5;
constexpr std::array<std::array<int, 5>, kJasnosci> kPoziomyCzyste = {{
    {0, 63, 127, 191, 255},
    {0, 46, 94, 141, 189},
    {0, 31, 64, 96, 129},
    {0, 25, 52, 78, 104},
    {0, 19, 39, 59, 79},
}};
constexpr std::array<std::array<int, 5>, kJasnosci> kPoziomyBlade = {{
    {170, 191, 212, 234, 255},
    {126, 141, 157, 173, 189},
    {86, 96, 107, 118, 129},
    {69, 78, 86, 95, 104},
    {53, 59, 66, 73, 79},
}};

struct Odcien {
  int r, g, b;  // level of each component, 0 to 4
};

// Red -> yellow -> green -> cyan -> blue -> magenta -> red.
constexpr std::array<Odcien, 24> kOdcienie = {{
    {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
    {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
    {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
}};

constexpr std::array<tKolor, 10> kPoczatek = {
    kolorRGB(0, 0, 0),   kolorRGB(255, 0, 0),   kolorRGB(255, 255, 0),   kolorRGB(0, 255, 0),  kolorRGB(0, 255, 255),
    kolorRGB(0, 0, 255), kolorRGB(255, 0, 255), kolorRGB(255, 255, 255), kolorRGB(65, 65, 65), kolorRGB(128, 128, 128),
};

constexpr std::array<int, 6> kSzarosci = {51, 80, 105, 130, 190, 255};

constexpr std::array<tKolor, 256> zbudujPalete() {
  std::array<tKolor, 256> paleta{};
  for (std::size_t i = 0; i < kPoczatek.size(); ++i) paleta[i] = kPoczatek[i];
  for (int h = 0; h < 24; ++h) {
    for (int jasnosc = 0; jasnosc < kJasnosci; ++jasnosc) {
      for (int blady = 0; blady < 2; ++blady) {
        const auto& poziomy = blady ? kPoziomyBlade[jasnosc] : kPoziomyCzyste[jasnosc];
        const Odcien& o = kOdcienie[h];
        paleta[10 + 10 * h + 2 * jasnosc + blady] = kolorRGB(poziomy[o.r], poziomy[o.g], poziomy[o.b]);
      }
    }
  }
  for (std::size_t i = 0; i < kSzarosci.size(); ++i) {
    paleta[250 + i] = kolorRGB(kSzarosci[i], kSzarosci[i], kSzarosci[i]);
  }
  return paleta;
}

constexpr std::array<tKolor, 256> kPaletaDxf = zbudujPalete();

}  // namespace

tKolor kolorPisaka(int pen) {
  if (pen < 1) return kolorRGB(0, 0, 0);
  return kPisaki[static_cast<std::size_t>((pen - 1) % 8)];
}

tKolor kolorDxf(int index) {
  if (index < 0 || index > 255) return kolorRGB(0, 0, 0);
  return kPaletaDxf[static_cast<std::size_t>(index)];
}

tKolor kolorWarstwy(int fileType, int key) {
  switch (fileType) {
    case kFileTypeHpgl: return kolorPisaka(key);
    case kFileTypeDxf: return kolorDxf(key);
    case kFileTypeGcode: return static_cast<tKolor>(key);
    default: return kolorRGB(0, 0, 0);
  }
}

}  // namespace trazvik
