#include "import/bmp_raster.h"

#include "geometry/numeric.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace trazvik::import {

tRasterLines BMPToList(const tBitmap& picture, const tRasterSettings& s) {
  tRasterLines out;
  if (picture.empty() || !(s.krok > 0) || !(s.szerokosc > 0) || !(s.wysokosc > 0)) return out;
  const double full = s.laserFullPower;
  const double black = full * s.mocDlaCzarnego / 100;
  const double slope = (full * s.mocDlaBialego / 100 - black) / 255;
  const int limit = s.greyMapping ? kMaxLinePixelsGreyMapped : kMaxLinePixels;
  out.szerokoscPixel = static_cast<int>(std::min<std::int64_t>(roundEvenInt(s.szerokosc / s.krok), limit));
  out.wysokoscPixel = static_cast<int>(std::min<std::int64_t>(roundEvenInt(s.wysokosc / s.krok), 1 << 30));
  if (out.szerokoscPixel <= 0) return out;
  const int pw = picture.width, ph = picture.height;
  const double xs = static_cast<double>(pw) / (out.szerokoscPixel + 1);
  const double ys = static_cast<double>(ph) / (out.wysokoscPixel + 1);

  // The picture column of each line pixel is the same on every line.
  std::vector<std::size_t> column(static_cast<std::size_t>(out.szerokoscPixel));
  for (int c = 0; c < out.szerokoscPixel; ++c)
    column[static_cast<std::size_t>(c)] =
        static_cast<std::size_t>(std::min<std::int64_t>(roundEvenInt(c * xs) + 1, pw - 1));
  // One power value per grey level.
  std::array<std::uint16_t, 256> power{};
  for (int g = 0; g < 256; ++g)
    power[static_cast<std::size_t>(g)] = static_cast<std::uint16_t>(
        s.greyMapping ? g : std::clamp<std::int64_t>(roundEvenInt(g * slope + black), 0, 65535));

  // Lines at y = q * pitch while y is below the height; the small margin
  // keeps a height of a whole number of pitches from gaining a line
  // through the rounding of q * pitch.
  const double below = s.wysokosc - s.krok * 1e-9;
  for (std::int64_t q = 0; static_cast<double>(q) * s.krok < below; ++q) {
    const double y = static_cast<double>(q) * s.krok;
    const std::int64_t r = roundEvenInt(y / s.krok);
    const std::int64_t py = std::max<std::int64_t>(ph - roundEvenInt(static_cast<double>(r) * ys) - 1, 1);
    const std::uint8_t* row = picture.pixel(0, static_cast<int>(std::min<std::int64_t>(py, ph - 1)));
    tLinia line;
    line.Pixelki.resize(column.size());
    for (std::size_t c = 0; c < column.size(); ++c) line.Pixelki[c] = power[row[column[c] * 3]];
    out.ListaLini.push_back(std::move(line));
  }
  return out;
}

}  // namespace trazvik::import
