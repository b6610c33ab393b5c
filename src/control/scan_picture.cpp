#include "control/scan_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

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

constexpr int kMargin = 20;
constexpr int kTitleHeight = 48;
constexpr int kMapSide = 480;    // the longer side of the table, pixels
constexpr int kScaleWidth = 24;  // the colour bar
constexpr int kLabelWidth = 130;
constexpr int kMinScaleHeight = 240;

struct Rgb {
  unsigned char r, g, b;
};

class Canvas {
 public:
  explicit Canvas(tScanPicture& p) : p_(p) {}

  void fill(int left, int top, int right, int bottom, Rgb c) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, p_.width);
    bottom = std::min(bottom, p_.height);
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        unsigned char* px =
            &p_.rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(p_.width) + static_cast<std::size_t>(x)) *
                    3];
        px[0] = c.r;
        px[1] = c.g;
        px[2] = c.b;
      }
  }
  void frame(int left, int top, int right, int bottom, Rgb c) {
    fill(left, top, right, top + 1, c);
    fill(left, bottom - 1, right, bottom, c);
    fill(left, top, left + 1, bottom, c);
    fill(right - 1, top, right, bottom, c);
  }
  // stb_easy_font's quads, twice the font's own size.
  void text(int x, int y, const std::string& s, Rgb c) {
    // Up to 64 bytes a quad and some 15 quads a character.
    std::vector<char> buffer(s.size() * 1024 + 64);
    std::string t = s;
    unsigned char colour[4] = {c.r, c.g, c.b, 255};
    const int quads = stb_easy_font_print(0, 0, t.data(), colour, buffer.data(), static_cast<int>(buffer.size()));
    for (int q = 0; q < quads; ++q) {
      const float* v = reinterpret_cast<const float*>(buffer.data() + static_cast<std::size_t>(q) * 64);
      fill(x + static_cast<int>(v[0] * 2), y + static_cast<int>(v[1] * 2), x + static_cast<int>(v[8] * 2),
           y + static_cast<int>(v[9] * 2), c);
    }
  }

 private:
  tScanPicture& p_;
};

// The smallest gap between distinct values: the scan's step.
double stepOf(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  double step = std::numeric_limits<double>::infinity();
  for (std::size_t i = 1; i < v.size(); ++i)
    if (v[i] - v[i - 1] > 1e-6) step = std::min(step, v[i] - v[i - 1]);
  return step;
}

std::string millimetres(double v) {
  char text[48];
  std::snprintf(text, sizeof text, "%.2f mm", v);
  return text;
}

Rgb colourOf(double height, double lowest, double highest) {
  unsigned char c[3];
  scaleColour(height, lowest, highest, c);
  return {c[0], c[1], c[2]};
}

}  // namespace

int tScanPicture::columnOf(double x) const { return map.left + static_cast<int>(std::floor((x - minX) / mmPerPixel)); }

int tScanPicture::rowOf(double y) const { return map.top + static_cast<int>(std::floor((maxY - y) / mmPerPixel)); }

void scaleColour(double height, double lowest, double highest, unsigned char rgb[3]) {
  // Blue, cyan, green, yellow, red: every height its own colour.
  static constexpr double stops[5][3] = {{0, 0, 255}, {0, 255, 255}, {0, 255, 0}, {255, 255, 0}, {255, 0, 0}};
  double t = highest > lowest ? (height - lowest) / (highest - lowest) : 0.5;
  t = std::clamp(std::isfinite(t) ? t : 0.5, 0.0, 1.0) * 4;
  const int i = std::min(static_cast<int>(t), 3);
  const double f = t - i;
  for (int k = 0; k < 3; ++k)
    rgb[k] = static_cast<unsigned char>(std::lround(stops[i][k] + (stops[i + 1][k] - stops[i][k]) * f));
}

tScanPicture drawScanPicture(const std::vector<tScanPoint>& points) {
  tScanPicture p;
  if (points.empty()) return p;
  std::vector<double> xs, ys;
  const tScanPoint* low = &points.front();
  const tScanPoint* high = &points.front();
  for (const tScanPoint& s : points) {
    xs.push_back(s.x);
    ys.push_back(s.y);
    if (s.height < low->height) low = &s;
    if (s.height > high->height) high = &s;
  }
  double stepX = stepOf(xs), stepY = stepOf(ys);
  if (!std::isfinite(stepX)) stepX = std::isfinite(stepY) ? stepY : 10;
  if (!std::isfinite(stepY)) stepY = stepX;
  const auto [x0, x1] = std::minmax_element(xs.begin(), xs.end());
  const auto [y0, y1] = std::minmax_element(ys.begin(), ys.end());
  p.minX = *x0 - stepX / 2;
  p.maxY = *y1 + stepY / 2;
  const double widthMm = *x1 - *x0 + stepX, depthMm = *y1 - *y0 + stepY;
  p.mmPerPixel = std::max(widthMm, depthMm) / kMapSide;
  p.lowest = low->height;
  p.highest = high->height;

  p.map = {kMargin, kTitleHeight, std::max(1, static_cast<int>(std::ceil(widthMm / p.mmPerPixel))),
           std::max(1, static_cast<int>(std::ceil(depthMm / p.mmPerPixel)))};
  const int scaleHeight = std::max(p.map.height, kMinScaleHeight);
  p.scale = {p.map.left + p.map.width + kMargin, kTitleHeight, kScaleWidth, scaleHeight};
  p.width = p.scale.left + kScaleWidth + 8 + kLabelWidth;
  p.height = kTitleHeight + scaleHeight + kMargin;
  p.rgb.assign(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 3, 245);

  Canvas c(p);
  const Rgb black{0, 0, 0}, white{255, 255, 255};
  c.fill(p.map.left, p.map.top, p.map.left + p.map.width, p.map.top + p.map.height, {200, 200, 200});
  for (const tScanPoint& s : points)
    c.fill(p.columnOf(s.x - stepX / 2), p.rowOf(s.y + stepY / 2), p.columnOf(s.x + stepX / 2), p.rowOf(s.y - stepY / 2),
           colourOf(s.height, p.lowest, p.highest));
  c.frame(p.map.left - 1, p.map.top - 1, p.map.left + p.map.width + 1, p.map.top + p.map.height + 1, black);

  // The scale: highest at the top.
  for (int row = 0; row < scaleHeight; ++row) {
    const double h = p.highest - (p.highest - p.lowest) * row / std::max(1, scaleHeight - 1);
    c.fill(p.scale.left, p.scale.top + row, p.scale.left + kScaleWidth, p.scale.top + row + 1,
           colourOf(h, p.lowest, p.highest));
  }
  c.frame(p.scale.left - 1, p.scale.top - 1, p.scale.left + kScaleWidth + 1, p.scale.top + scaleHeight + 1, black);
  const int labels = p.scale.left + kScaleWidth + 8;
  c.text(labels, p.scale.top, millimetres(p.highest), black);
  c.text(labels, p.scale.top + scaleHeight / 2 - 7, millimetres((p.highest + p.lowest) / 2), black);
  c.text(labels, p.scale.top + scaleHeight - 14, millimetres(p.lowest), black);

  // The lowest and the highest point: a ring on the map (a white one for
  // the highest), named with its place above the map.
  const auto mark = [&](const tScanPoint& s, Rgb ring, Rgb inner) {
    const int x = p.columnOf(s.x), y = p.rowOf(s.y);
    c.frame(x - 6, y - 6, x + 7, y + 7, ring);
    c.frame(x - 5, y - 5, x + 6, y + 6, inner);
  };
  mark(*low, black, white);
  mark(*high, white, black);
  const auto place = [](const tScanPoint& s) {
    char text[96];
    std::snprintf(text, sizeof text, " at X %.1f Y %.1f", s.x, s.y);
    return std::string(text);
  };
  c.text(kMargin, 4, "min " + millimetres(p.lowest) + place(*low) + " (black ring)", black);
  c.text(kMargin, 22, "max " + millimetres(p.highest) + place(*high) + " (white ring)", black);
  return p;
}

bool writeScanPicture(const tScanPicture& picture, const std::string& path, std::string& error) {
  if (picture.rgb.empty()) {
    error = path + ": no point was probed, no picture";
    return false;
  }
  if (stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(), picture.width * 3) == 0) {
    error = path + ": cannot be written";
    return false;
  }
  return true;
}

}  // namespace trazvik
