#include "project_report.h"

#include "config/tdlgkonfig.h"
#include "geometry/points.h"
#include "geometry/units.h"
#include "json_writer.h"

#include <cstdio>
#include <unordered_map>

namespace trazvik::cli {

namespace {

const char* fileTypeName(int t) {
  switch (t) {
    case 1: return "plot file (HPGL)";
    case 2: return "DXF";
    case 3: return "G-code";
    case 4: return "bitmap";
    default: return "unknown";
  }
}

double lengthMm(int fileType, const std::vector<trealpoint>& p) {
  double d = 0;
  for (std::size_t i = 1; i < p.size(); ++i) d += dist(p[i - 1], p[i]);
  return toMm(fileType, d);
}

std::unordered_map<const tfigura*, int> indices(const TMDIChild& project) {
  std::unordered_map<const tfigura*, int> m;
  for (std::size_t i = 0; i < project.fig.size(); ++i) m[project.fig[i].get()] = static_cast<int>(i);
  return m;
}

std::string format(const char* pattern, double v) {
  char b[64];
  std::snprintf(b, sizeof b, pattern, v);
  return b;
}

const char* unitName(int unitIndex) { return unitIndex == 1 ? "in" : unitIndex == 2 ? "ft" : "mm"; }

void pointArray(JsonWriter& j, const std::vector<trealpoint>& p) {
  j.beginArray();
  for (const trealpoint& q : p) j.beginArray().value(q.x).value(q.y).endArray();
  j.endArray();
}

}  // namespace

std::string projectText(const TMDIChild& pr) {
  const int t = pr.ImportFileType;
  std::string out = "file: " + pr.sciezka + "\n";
  out += "file type: " + std::to_string(t) + " (" + fileTypeName(t) + ")" +
         (pr.wielowarstwowy() ? ", multi-layer" : ", single layer") + "\n";
  out +=
      "figures: " + std::to_string(pr.fig.size()) + ", deepest nesting level " + std::to_string(pr.max_poziom) + "\n";
  out += "box: (" + std::to_string(pr.pp.x) + ", " + std::to_string(pr.pp.y) + ") - (" + std::to_string(pr.pk.x) +
         ", " + std::to_string(pr.pk.y) + ") file units, " + format("%.2f", toMm(t, pr.size_x)) + " x " +
         format("%.2f", toMm(t, pr.size_y)) + " mm\n";
  out += std::string("frame: ") + (pr.jestRamka ? "yes" : "no") + "\n";
  if (t == kFileTypeGcode) {
    const tMinMax& g = pr.GcodPar;
    out += "program: feed " + format("%.1f", g.gF) + " mm/min, spindle " + format("%.0f", g.gS) + ", X " +
           format("%.3f", g.minX) + " to " + format("%.3f", g.maxX) + ", Y " + format("%.3f", g.minY) + " to " +
           format("%.3f", g.maxY) + ", Z " + format("%.3f", g.minZ) + " to " + format("%.3f", g.maxZ) + " mm\n";
  }
  out += "\n";

  const auto idx = indices(pr);
  out += "order  file  level parent dir  cut  marks           points  length_mm\n";
  for (std::size_t i = 0; i < pr.fig.size(); ++i) {
    const tfigura& f = *pr.fig[i];
    char line[200];
    const std::string parent = f.lezy_w ? std::to_string(idx.at(f.lezy_w)) : "-";
    std::string marks = f.otwarta ? "open" : "closed";
    if (f.ramka) marks += ",frame";
    if (f.otwor) marks += ",drill";
    if (f.kreska) marks += ",hatch";
    if (f.narrowerThanTool) marks += ",narrow";
    const std::vector<trealpoint> p = drawnPoints(f);
    std::snprintf(line, sizeof line, "%5zu %5d %6d %6s %3d  %-4s %-15s %6zu %10.2f\n", i, f.org_index, f.poziom,
                  parent.c_str(), f.dir, f.tocut && !f.narrowerThanTool ? "yes" : "no", marks.c_str(), p.size(),
                  lengthMm(t, p));
    out += line;
  }

  if (pr.warstwy) {
    out += "\nlayers (key color depth speed rotations head diameter active order cut/all):\n";
    for (const tWarstwa& w : pr.warstwy->getLayersList(true)) {
      char line[200];
      std::snprintf(line, sizeof line, "  %4d #%06x %8.3f %6d %6d %2d %7.3f %-3s %3d %d/%d\n", w.org_color,
                    static_cast<unsigned>(w.kolor), w.glebokosc, w.szybkosc, w.obroty, w.glowica, w.srednicaFrezu,
                    w.aktywna ? "yes" : "no", w.kolejnosc, w.iloscFigAktywnych, w.iloscWszystkichFig);
      out += line;
    }
  }
  out += "\nlengths: work " + format("%.2f", pr.total_lenwork) + " mm, travel " + format("%.2f", pr.total_lenprzes) +
         " mm, finishing " + format("%.2f", pr.total_lenpol) + " mm, vertical " + format("%.2f", pr.total_lenz) +
         " mm\n";
  out += "cutting length: " + format("%.2f", pr.GetCuttingLength()) + " " + unitName(pr.konfig().unitIndex()) + "\n";
  out += "estimated time: " + format("%.2f", pr.GetEstimatedCuttingTime()) + " min\n";
  return out;
}

std::string projectJson(const TMDIChild& pr) {
  const int t = pr.ImportFileType;
  const auto idx = indices(pr);
  JsonWriter j;
  j.beginObject();
  j.key("file_type").value(t);
  j.key("figures").beginArray();
  for (std::size_t i = 0; i < pr.fig.size(); ++i) {
    const tfigura& f = *pr.fig[i];
    j.beginObject();
    j.key("index").value(static_cast<int>(i));
    j.key("color").value(f.org_color);
    j.key("width").value(f.width);
    j.key("open").value(f.otwarta);
    j.key("valid").value(f.valid);
    j.key("bbox_mm")
        .beginArray()
        .value(toMm(t, f.fig_pp.x))
        .value(toMm(t, f.fig_pp.y))
        .value(toMm(t, f.fig_pk.x))
        .value(toMm(t, f.fig_pk.y))
        .endArray();
    const std::vector<trealpoint> p = drawnPoints(f);
    j.key("length_mm").value(lengthMm(t, p));
    j.key("points");
    pointArray(j, p);
    j.key("level").value(f.poziom);
    j.key("parent");
    if (f.lezy_w) {
      j.value(idx.at(f.lezy_w));
    } else {
      j.null();
    }
    j.key("dir").value(f.dir);
    j.key("tocut").value(f.tocut);
    j.key("narrower_than_tool").value(f.narrowerThanTool);
    j.key("frame").value(f.ramka);
    j.key("drill").value(f.otwor);
    j.key("hatch").value(f.kreska);
    j.key("outline");
    pointArray(j, f.op);
    j.key("toolpath").beginArray();
    for (const trpoint3d& q : f.sp) j.beginArray().value(q.x).value(q.y).value(q.z).endArray();
    j.endArray();
    j.endObject();
  }
  j.endArray();
  j.key("layers").beginArray();
  if (pr.warstwy) {
    for (const tWarstwa& w : pr.warstwy->getLayersList(true)) {
      j.beginObject();
      j.key("org_color").value(w.org_color);
      j.key("kolor").value(static_cast<long long>(w.kolor));
      j.key("glebokosc").value(w.glebokosc);
      j.key("szybkosc").value(w.szybkosc);
      j.key("obroty").value(w.obroty);
      j.key("glowica").value(static_cast<int>(w.glowica));
      j.key("srednicaFrezu").value(w.srednicaFrezu);
      j.key("aktywna").value(w.aktywna);
      j.key("kolejnosc").value(w.kolejnosc);
      j.key("iloscFigAktywnych").value(w.iloscFigAktywnych);
      j.key("iloscWszystkichFig").value(w.iloscWszystkichFig);
      j.key("ramkaNawarstwie").value(pr.warstwy->layer[static_cast<std::size_t>(w.org_color)].ramkaNawarstwie);
      j.endObject();
    }
  }
  j.endArray();
  if (pr.ImportFileType == kFileTypeGcode) {
    const tMinMax& g = pr.GcodPar;
    j.key("program").beginObject();
    j.key("feed").value(g.gF);
    j.key("spindle").value(g.gS);
    j.key("extent_mm").beginArray();
    for (double v : {g.minX, g.minY, g.minZ, g.maxX, g.maxY, g.maxZ}) j.value(v);
    j.endArray();
    j.endObject();
  }
  j.key("lenwork_mm").value(pr.total_lenwork);
  j.key("lenprzes_mm").value(pr.total_lenprzes);
  j.key("lenpol_mm").value(pr.total_lenpol);
  j.key("lenz_mm").value(pr.total_lenz);
  j.key("estimated_minutes").value(pr.GetEstimatedCuttingTime());
  j.endObject();
  return j.text() + "\n";
}

}  // namespace trazvik::cli
