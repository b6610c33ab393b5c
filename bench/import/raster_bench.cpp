// trazvik-bench-raster [runs]: decodes a 4000 x 3000 8-bit bitmap made here
// and converts it to raster lines at the default pitch (0.15 mm), at the
// default engraved width (30 mm: 200 pixels a line) and at 600 mm (4000
// pixels a line: one sample per picture pixel). Prints the best time of
// `runs` and the memory the lines hold per sampled pixel.
#include "import/bmp_decoder.h"
#include "import/bmp_raster.h"

#include "bmp_fixtures.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace trazvik;
using Clock = std::chrono::steady_clock;

template <class F>
double bestSeconds(int runs, F&& f) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

std::size_t bytesOf(const import::tRasterLines& r) {
  std::size_t n = r.ListaLini.capacity() * sizeof(tLinia);
  for (const tLinia& l : r.ListaLini) n += l.Pixelki.capacity() * sizeof(l.Pixelki[0]);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  trazvik::testing::BmpLayout layout;
  layout.width = 4000;
  layout.height = 3000;
  layout.bpp = 8;
  for (int g = 0; g < 256; ++g)
    layout.palette.push_back(
        {static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(g)});
  layout.values.resize(static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height));
  for (int y = 0; y < layout.height; ++y)
    for (int x = 0; x < layout.width; ++x)
      layout.values[static_cast<std::size_t>(y * layout.width + x)] = static_cast<std::uint32_t>((x * 7 + y * 3) % 256);
  const std::vector<std::uint8_t> file = trazvik::testing::bmpFile(layout);

  import::tBitmap picture;
  std::string reason;
  const double decode = bestSeconds(runs, [&] {
    if (!import::decodeBmp(file, picture, reason)) std::printf("decode failed: %s\n", reason.c_str());
  });
  std::printf("decode 4000 x 3000, 8 bits (%zu bytes): %.4f s, picture %zu bytes\n", file.size(), decode,
              picture.rgb.size());

  for (const double width : {30.0, 600.0}) {
    import::tRasterSettings s;
    s.szerokosc = width;
    s.wysokosc = width * 3 / 4;
    import::tRasterLines lines;
    const double t = bestSeconds(runs, [&] { lines = import::BMPToList(picture, s); });
    const double samples = static_cast<double>(lines.szerokoscPixel) * static_cast<double>(lines.ListaLini.size());
    std::printf(
        "convert at %.0f x %.1f mm, pitch %.2f: %d x %zu samples, %.4f s (target < 0.1 s), %.2f bytes a sample\n",
        s.szerokosc, s.wysokosc, s.krok, lines.szerokoscPixel, lines.ListaLini.size(), t,
        static_cast<double>(bytesOf(lines)) / samples);
  }
  return 0;
}
