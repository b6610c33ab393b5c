// The scene as an SVG document.
#include "project/preview_scene.h"

#include "base/keyed_records.h"

#include <cmath>
#include <cstdio>

namespace trazvik {

namespace {

std::string kolorSvg(tKolor k) {
  char b[8];
  std::snprintf(b, sizeof b, "#%02x%02x%02x", k & 0xFF, (k >> 8) & 0xFF, (k >> 16) & 0xFF);
  return b;
}

std::string liczba(double v) {
  if (!std::isfinite(v)) v = 0;
  return base::fixedText(v, 2);  // SVG wants a decimal point in every locale
}

std::string bezpieczny(const std::string& t) {
  std::string out;
  for (char c : t) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string scenaSvg(const tScenaPodgladu& s, int width, int height) {
  const tRzutPodgladu rzut(s, width, height);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
                    std::to_string(width) + " " + std::to_string(height) + "\">\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  for (const auto& l : s.linie) {
    if (l.punkty.empty()) continue;
    out += "<polyline fill=\"none\" stroke=\"" + kolorSvg(l.kolor) + "\" stroke-width=\"" + liczba(l.grubosc) + "\"";
    if (l.przerywana) out += " stroke-dasharray=\"4 3\"";
    out += " points=\"";
    for (std::size_t i = 0; i < l.punkty.size(); ++i) {
      const trealpoint q = rzut(l.punkty[i]);
      if (i > 0) out += ' ';
      out += liczba(q.x) + "," + liczba(q.y);
    }
    out += "\"/>\n";
  }
  for (const auto& k : s.kropki) {
    const trealpoint q = rzut(k.srodek);
    out += "<circle cx=\"" + liczba(q.x) + "\" cy=\"" + liczba(q.y) + "\" r=\"" + liczba(k.promien) + "\" fill=\"" +
           kolorSvg(k.kolor) + "\"/>\n";
  }
  for (const auto& n : s.napisy) {
    const trealpoint q = rzut(n.miejsce);
    out += "<text x=\"" + liczba(q.x + 4) + "\" y=\"" + liczba(q.y - 4) +
           "\" font-family=\"sans-serif\" font-size=\"11\" fill=\"" + kolorSvg(n.kolor) + "\">" + bezpieczny(n.tekst) +
           "</text>\n";
  }
  out += "</svg>\n";
  return out;
}

}  // namespace trazvik
