#include "trace_writer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace trazvik::sim {

namespace {

constexpr double marginMm = 5.0;

TraceBounds drawingBounds(const ToolTrace& trace) {
  TraceBounds b = trace.bounds();
  if (b.empty) {
    b.include({0, 0, 0});
    b.include({10, 10, 0});
  }
  return b;
}

std::string number(double v) {
  std::ostringstream out;
  out.setf(std::ios::fixed);
  out.precision(3);
  out << v;
  return out.str();
}

// A router's spindle runs from the job's start to its end, so "tool on" alone
// would draw the travel between figures as cuts. The travel height is where
// the running tool is lifted to straight up out of the material; moves that
// stay at or above it are travel. A tool that is never lifted while on (a
// laser, a knife at one depth) cuts wherever it is on.
class CutTest {
 public:
  explicit CutTest(const ToolTrace& trace) {
    for (const auto& s : trace.segments()) {
      const bool straightUp = s.from.x == s.to.x && s.from.y == s.to.y && s.to.z > s.from.z + toleranceMm;
      if (!s.toolOn || !straightUp) continue;
      travelHeight_ = lifted_ ? std::max(travelHeight_, s.to.z) : s.to.z;
      lifted_ = true;
    }
  }
  bool cuts(const TraceSegment& s) const {
    if (!s.toolOn) return false;
    return !lifted_ || s.from.z < travelHeight_ - toleranceMm || s.to.z < travelHeight_ - toleranceMm;
  }

 private:
  static constexpr double toleranceMm = 0.01;
  double travelHeight_ = 0;
  bool lifted_ = false;
};

bool endsWith(const std::string& s, const std::string& tail) {
  if (s.size() < tail.size()) return false;
  return std::equal(tail.rbegin(), tail.rend(), s.rbegin(),
                    [](char wanted, char c) { return std::tolower(static_cast<unsigned char>(c)) == wanted; });
}

// A small raster canvas for the PNG picture.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h), rgb_(static_cast<std::size_t>(w) * h * 3, 255) {}

  void line(double x0, double y0, double x1, double y1, std::uint8_t shade, bool dashed) {
    const double len = std::hypot(x1 - x0, y1 - y0);
    const int steps = std::max(1, static_cast<int>(std::ceil(len * 2)));
    for (int i = 0; i <= steps; ++i) {
      if (dashed && (i / 8) % 2 == 1) continue;
      const double t = static_cast<double>(i) / steps;
      plot(static_cast<int>(std::lround(x0 + (x1 - x0) * t)), static_cast<int>(std::lround(y0 + (y1 - y0) * t)), shade);
    }
  }
  bool save(const std::string& path) const { return stbi_write_png(path.c_str(), w_, h_, 3, rgb_.data(), w_ * 3) != 0; }

 private:
  void plot(int x, int y, std::uint8_t shade) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    auto* p = &rgb_[(static_cast<std::size_t>(y) * w_ + x) * 3];
    p[0] = std::min(p[0], shade);
    p[1] = std::min(p[1], shade == 0 ? std::uint8_t{0} : shade);
    p[2] = std::min(p[2], shade);
  }

  int w_, h_;
  std::vector<std::uint8_t> rgb_;
};

bool writePng(const ToolTrace& trace, const std::string& path) {
  const TraceBounds b = drawingBounds(trace);
  const double wMm = b.max.x - b.min.x + 2 * marginMm, hMm = b.max.y - b.min.y + 2 * marginMm;
  const double scale = std::min(4.0, 2000.0 / std::max(wMm, hMm));  // at most 2000 pixels a side
  const int w = std::max(16, static_cast<int>(std::ceil(wMm * scale)));
  const int h = std::max(16, static_cast<int>(std::ceil(hMm * scale)));
  Canvas canvas(w, h);
  auto px = [&](double x) { return (x - b.min.x + marginMm) * scale; };
  auto py = [&](double y) { return (b.max.y - y + marginMm) * scale; };
  const CutTest test(trace);
  for (const auto& s : trace.segments())
    if (!test.cuts(s)) canvas.line(px(s.from.x), py(s.from.y), px(s.to.x), py(s.to.y), 170, true);
  for (const auto& s : trace.segments())
    if (test.cuts(s)) canvas.line(px(s.from.x), py(s.from.y), px(s.to.x), py(s.to.y), 0, false);
  return canvas.save(path);
}

}  // namespace

std::string traceToSvg(const ToolTrace& trace) {
  const TraceBounds b = drawingBounds(trace);
  const double w = b.max.x - b.min.x + 2 * marginMm, h = b.max.y - b.min.y + 2 * marginMm;
  std::ostringstream svg;
  svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << number(w) << "mm\" height=\"" << number(h)
      << "mm\" viewBox=\"" << number(b.min.x - marginMm) << ' ' << number(-b.max.y - marginMm) << ' ' << number(w)
      << ' ' << number(h) << "\">\n"
      << "<title>tool path of the simulated controller (machine coordinates, mm)</title>\n"
      << "<g transform=\"scale(1,-1)\" fill=\"none\" stroke-linecap=\"round\">\n";
  const CutTest test(trace);
  for (const auto& s : trace.segments()) {
    const bool cut = test.cuts(s);
    svg << "<line x1=\"" << number(s.from.x) << "\" y1=\"" << number(s.from.y) << "\" x2=\"" << number(s.to.x)
        << "\" y2=\"" << number(s.to.y) << "\" class=\"" << (cut ? "cut" : "travel") << "\" data-z1=\""
        << number(s.from.z) << "\" data-z2=\"" << number(s.to.z) << "\" "
        << (cut ? "stroke=\"#000\" stroke-width=\"0.3\""
                : "stroke=\"#999\" stroke-width=\"0.15\" stroke-dasharray=\"1 1\"")
        << "/>\n";
  }
  svg << "</g>\n</svg>\n";
  return svg.str();
}

bool writeTrace(const ToolTrace& trace, const std::string& path, std::string& error) {
  if (endsWith(path, ".png")) {
    // A bitmap engraving is drawn as the picture it burnt.
    if (!trace.burns().empty() ? writeBurntPng(trace.burns(), path) : writePng(trace, path)) return true;
    error = "cannot write the picture \"" + path + "\"";
    return false;
  }
  if (!endsWith(path, ".svg")) {
    error = "the trace picture must end in .svg or .png: \"" + path + "\"";
    return false;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << traceToSvg(trace);
  out.close();
  if (!out) {
    error = "cannot write the picture \"" + path + "\"";
    return false;
  }
  return true;
}

}  // namespace trazvik::sim
