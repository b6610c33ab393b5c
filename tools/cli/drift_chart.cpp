#include "drift_chart.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>

namespace trazvik::cli {

namespace {

using Rgb = std::array<std::uint8_t, 3>;

// Glyphs of 5 x 7 pixels for the labels, one row per byte (bit 4 leftmost).
const std::map<char, std::array<std::uint8_t, 7>>& glyphs() {
  static const std::map<char, std::array<std::uint8_t, 7>> g{
      {'0', {14, 17, 19, 21, 25, 17, 14}}, {'1', {4, 12, 4, 4, 4, 4, 14}},     {'2', {14, 17, 1, 2, 4, 8, 31}},
      {'3', {30, 1, 1, 14, 1, 1, 30}},     {'4', {2, 6, 10, 18, 31, 2, 2}},    {'5', {31, 16, 30, 1, 1, 17, 14}},
      {'6', {6, 8, 16, 30, 17, 17, 14}},   {'7', {31, 1, 2, 4, 8, 8, 8}},      {'8', {14, 17, 17, 14, 17, 17, 14}},
      {'9', {14, 17, 17, 15, 1, 2, 12}},   {'.', {0, 0, 0, 0, 0, 12, 12}},     {'-', {0, 0, 0, 31, 0, 0, 0}},
      {'+', {0, 4, 4, 31, 4, 4, 0}},       {'X', {17, 17, 10, 4, 10, 17, 17}}, {'Y', {17, 17, 10, 4, 4, 4, 4}},
      {'Z', {31, 1, 2, 4, 8, 16, 31}},     {'m', {0, 0, 26, 21, 21, 17, 17}},  {'s', {0, 0, 15, 16, 14, 1, 30}},
      {':', {0, 12, 12, 0, 12, 12, 0}},    {' ', {0, 0, 0, 0, 0, 0, 0}},
  };
  return g;
}

class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h), rgb_(static_cast<std::size_t>(w * h * 3), 255) {}
  void dot(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    const auto i = static_cast<std::size_t>((y * w_ + x) * 3);
    rgb_[i] = c[0];
    rgb_[i + 1] = c[1];
    rgb_[i + 2] = c[2];
  }
  void line(int x0, int y0, int x1, int y1, Rgb c, int dash = 0) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (int n = 0;; ++n) {
      if (dash == 0 || (n / dash) % 2 == 0) dot(x0, y0, c);
      if (x0 == x1 && y0 == y1) break;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }
  void box(int x, int y, int size, Rgb c) {
    for (int i = -size; i <= size; ++i)
      for (int j = -size; j <= size; ++j) dot(x + i, y + j, c);
  }
  void text(int x, int y, const std::string& s, Rgb c, int scale = 2) {
    for (char ch : s) {
      auto it = glyphs().find(ch);
      if (it != glyphs().end())
        for (int row = 0; row < 7; ++row)
          for (int col = 0; col < 5; ++col)
            if (it->second[static_cast<std::size_t>(row)] & (16 >> col))
              for (int a = 0; a < scale; ++a)
                for (int b = 0; b < scale; ++b) dot(x + col * scale + a, y + row * scale + b, c);
      x += 6 * scale;
    }
  }
  bool save(const std::string& path) const { return stbi_write_png(path.c_str(), w_, h_, 3, rgb_.data(), w_ * 3) != 0; }

 private:
  int w_, h_;
  std::vector<std::uint8_t> rgb_;
};

std::string number(double v, int decimals) {
  char b[32];
  std::snprintf(b, sizeof b, "%+.*f", decimals, v);
  return b;
}

constexpr std::array<Rgb, 6> kPalette{
    {{31, 119, 180}, {255, 127, 14}, {44, 160, 44}, {148, 103, 189}, {140, 86, 75}, {23, 190, 207}}};

}  // namespace

bool writeDriftChart(const std::vector<DriftSeries>& jobs, const std::string& path, std::string& error) {
  constexpr int kWidth = 960, kPanel = 190, kTop = 40, kLeft = 90, kRight = 20, kGap = 20;
  const int height = kTop + 3 * (kPanel + kGap) + 30;
  double maxSeconds = 1, maxDeviation = 0.6;
  for (const DriftSeries& j : jobs)
    for (const tBaseCheckMeasurement& m : j.checks) {
      maxSeconds = std::max(maxSeconds, m.elapsedSeconds);
      for (double v : {m.deviationMm.x, m.deviationMm.y, m.deviationMm.z})
        if (std::isfinite(v)) maxDeviation = std::max(maxDeviation, std::abs(v) * 1.1);
    }
  Canvas c(kWidth, height);
  const Rgb grey{200, 200, 200}, black{0, 0, 0}, red{214, 39, 40};
  const int plotWidth = kWidth - kLeft - kRight;
  // The legend: each job's number in its colour.
  for (std::size_t j = 0; j < jobs.size(); ++j)
    c.text(kLeft + static_cast<int>(j) * 40, 10, std::to_string(j + 1), kPalette[j % kPalette.size()]);
  const char* axes[] = {"X", "Y", "Z"};
  for (int a = 0; a < 3; ++a) {
    const int top = kTop + a * (kPanel + kGap);
    const auto yOf = [&](double mm) {
      return top + kPanel / 2 - static_cast<int>(std::lround(mm / maxDeviation * (kPanel / 2)));
    };
    const auto xOf = [&](double s) { return kLeft + static_cast<int>(std::lround(s / maxSeconds * plotWidth)); };
    c.line(kLeft, top, kLeft + plotWidth, top, grey);
    c.line(kLeft, top + kPanel, kLeft + plotWidth, top + kPanel, grey);
    c.line(kLeft, top, kLeft, top + kPanel, black);
    c.line(kLeft, yOf(0), kLeft + plotWidth, yOf(0), black);
    c.line(kLeft, yOf(0.5), kLeft + plotWidth, yOf(0.5), red, 4);
    c.line(kLeft, yOf(-0.5), kLeft + plotWidth, yOf(-0.5), red, 4);
    c.text(8, top + kPanel / 2 - 7, std::string(axes[a]) + " mm", black);
    c.text(20, top - 2, number(maxDeviation, 2), black, 1);
    c.text(20, top + kPanel - 7, number(-maxDeviation, 2), black, 1);
    c.text(20, yOf(0.5) - 3, "+0.50", red, 1);
    c.text(20, yOf(-0.5) - 3, "-0.50", red, 1);
    for (std::size_t j = 0; j < jobs.size(); ++j) {
      const Rgb colour = kPalette[j % kPalette.size()];
      int px = -1, py = -1;
      for (const tBaseCheckMeasurement& m : jobs[j].checks) {
        const double v = a == 0 ? m.deviationMm.x : a == 1 ? m.deviationMm.y : m.deviationMm.z;
        const int x = xOf(m.elapsedSeconds), y = yOf(v);
        if (px >= 0) c.line(px, py, x, y, colour);
        c.box(x, y, 2, colour);
        px = x;
        py = y;
      }
    }
  }
  const int bottom = kTop + 3 * (kPanel + kGap) - kGap + 6;
  c.text(kLeft, bottom, "0 s", black);
  const std::string end = number(maxSeconds, 0).substr(1) + " s";
  c.text(kLeft + plotWidth - static_cast<int>(end.size()) * 12, bottom, end, black);
  if (!c.save(path)) {
    error = "the drift chart could not be written: \"" + path + "\"";
    return false;
  }
  return true;
}

}  // namespace trazvik::cli
