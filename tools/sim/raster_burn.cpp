#include "raster_burn.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>

namespace trazvik::sim {

int RasterPass::power(int j) const {
  const int byte = j >= 0 && static_cast<std::size_t>(j) < bytes.size() ? bytes[static_cast<std::size_t>(j)] : 0;
  if (!greyMapped) return byte;
  const double percent = blackPercent + (whitePercent - blackPercent) * byte / 255.0;
  return static_cast<int>(std::lround(std::clamp(percent, 0.0, 100.0) * fullPower / 100.0));
}

BurntPicture burntPicture(const std::vector<BurnLine>& lines) {
  BurntPicture p;
  if (lines.empty() || !(lines.front().cell > 0)) return p;
  p.cell = lines.front().cell;
  double right = -1e300, bottom = 1e300;
  p.x0 = 1e300;
  p.yTop = -1e300;
  for (const BurnLine& l : lines) {
    p.x0 = std::min(p.x0, l.x0);
    right = std::max(right, l.x0 + l.cell * static_cast<double>(l.power.size()));
    p.yTop = std::max(p.yTop, l.y);
    bottom = std::min(bottom, l.y);
  }
  p.width = std::max(1, static_cast<int>(std::lround((right - p.x0) / p.cell)));
  p.height = static_cast<int>(std::lround((p.yTop - bottom) / p.cell)) + 1;
  // A picture the size of a real engraving (no line wider than the
  // controller's buffer, lines of the machine's length): a guard only.
  if (static_cast<double>(p.width) * p.height > 4e8) return BurntPicture{};
  p.grey.assign(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height), 255);
  for (const BurnLine& l : lines) {
    const long row = std::lround((p.yTop - l.y) / p.cell);
    for (std::size_t i = 0; i < l.power.size(); ++i) {
      if (l.power[i] < 0) continue;
      const long col = std::lround((l.x0 - p.x0) / p.cell) + static_cast<long>(i);
      if (row < 0 || row >= p.height || col < 0 || col >= p.width) continue;
      const int full = std::max(1, l.fullPower);
      const long shade = 255 - std::lround(std::min(l.power[i], full) * 255.0 / full);
      p.grey[static_cast<std::size_t>(row) * static_cast<std::size_t>(p.width) + static_cast<std::size_t>(col)] =
          static_cast<std::uint8_t>(shade);
    }
  }
  return p;
}

bool writeBurntPng(const std::vector<BurnLine>& lines, const std::string& path) {
  const BurntPicture p = burntPicture(lines);
  if (p.grey.empty()) return false;
  return stbi_write_png(path.c_str(), p.width, p.height, 1, p.grey.data(), p.width) != 0;
}

}  // namespace trazvik::sim
