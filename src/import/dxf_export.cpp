#include "import/dxf_export.h"

#include "base/keyed_records.h"
#include "geometry/units.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace trazvik::import {

// Written with to_chars, which ignores the process's locale: the desktop
// program runs in the operator's, and a decimal comma breaks a DXF file.
std::string dxfCoordinateText(double mm) {
  if (!std::isfinite(mm)) mm = 0;
  const double magnitude = std::fabs(mm);
  int before = 1;  // digits before the point
  if (magnitude >= 1) before = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
  char buffer[64];
  if (before > 7) {
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, mm, std::chars_format::scientific, 6).ptr;
    std::string text(buffer, end);
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  }
  const int decimals = std::min(5, 7 - before);
  // Round to the digits kept, then show five decimals.
  const auto rounded = std::to_chars(buffer, buffer + sizeof buffer, mm, std::chars_format::fixed, decimals).ptr;
  double kept = 0;
  std::from_chars(buffer, rounded, kept);
  if (kept == 0) kept = 0;  // no "-0.00000"
  return base::fixedText(kept, 5);
}

namespace {

template <class List>
std::vector<const tfigura*> pointers(const List& figures) {
  std::vector<const tfigura*> out;
  out.reserve(figures.size());
  for (const auto& f : figures) out.push_back(&*f);
  return out;
}

std::vector<const tfigura*> pointers(const std::vector<tfigura>& figures) {
  std::vector<const tfigura*> out;
  out.reserve(figures.size());
  for (const tfigura& f : figures) out.push_back(&f);
  return out;
}

}  // namespace

std::string dxfExportText(const std::vector<tfigura>& figures, int fileType) {
  return dxfExportText(pointers(figures), fileType);
}

int ZapiszDXF(const std::string& path, const std::vector<tfigura>& figures, int fileType) {
  return ZapiszDXF(path, pointers(figures), fileType);
}

int ZapiszDXF(const std::string& path, const std::vector<std::unique_ptr<tfigura>>& figures, int fileType) {
  return ZapiszDXF(path, pointers(figures), fileType);
}

std::string dxfExportText(const std::vector<const tfigura*>& figures, int fileType) {
  std::string out = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
  for (const tfigura* figure : figures) {
    const tfigura& fig = *figure;
    if (fig.sp.empty()) continue;
    out += "  0\r\nPOLYLINE\r\n  70\r\n8\r\n";
    for (const trpoint3d& p : fig.sp) {
      out += "  0\r\nVERTEX\r\n  10\r\n" + dxfCoordinateText(toMm(fileType, p.x)) + "\r\n  20\r\n" +
             dxfCoordinateText(toMm(fileType, p.y)) + "\r\n  30\r\n" + dxfCoordinateText(toMm(fileType, p.z)) + "\r\n";
    }
    out += "  0\r\nSEQEND\r\n";
  }
  out += "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
  return out;
}

int ZapiszDXF(const std::string& path, const std::vector<const tfigura*>& figures, int fileType) {
  const std::string text = dxfExportText(figures, fileType);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return errno != 0 ? errno : EIO;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const int writeError = written ? 0 : (errno != 0 ? errno : EIO);
  const bool closed = std::fclose(file) == 0;
  if (writeError != 0) return writeError;
  return closed ? 0 : (errno != 0 ? errno : EIO);
}

}  // namespace trazvik::import
