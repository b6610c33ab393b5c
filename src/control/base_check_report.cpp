#include "control/base_check_report.h"

#include "config/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace trazvik {

namespace {

std::string rightAligned(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string twoDigits(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

std::string mm10(double v, char separator) { return rightAligned(config::formatFixed(v, 3, separator), 10); }

std::string general(double v, char separator) { return config::formatGeneral(v, separator); }

}  // namespace

tMinMax emptyDeviations() {
  tMinMax m;
  m.minX = m.minY = m.minZ = std::numeric_limits<double>::max();
  m.maxX = m.maxY = m.maxZ = std::numeric_limits<double>::lowest();
  return m;
}

void addDeviations(tMinMax& m, double x, double y, double z) {
  m.minX = std::min(m.minX, x);
  m.maxX = std::max(m.maxX, x);
  m.minY = std::min(m.minY, y);
  m.maxY = std::max(m.maxY, y);
  m.minZ = std::min(m.minZ, z);
  m.maxZ = std::max(m.maxZ, z);
}

std::string baseCheckFileName(logging::DateTime start) {
  const logging::CivilTime c = logging::toCivil(start);
  // "yyyy.mm.dd:hh.mm.ss" with every "." made "-" and every ":" made ".".
  return "CheckBase" + std::to_string(c.year) + "-" + twoDigits(c.month) + "-" + twoDigits(c.day) + "." +
         twoDigits(c.hour) + "-" + twoDigits(c.minute) + "-" + twoDigits(c.second) + ".txt";
}

std::string fileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string deviationText(double mm, char separator) {
  // Beyond eight integer digits the fixed form gives way to the scientific
  // one (a statistic no check has touched yet holds the largest number).
  if (std::isfinite(mm) && std::abs(mm) < 1e8) return config::formatFixed(mm, 3, separator);
  char b[40];
  std::snprintf(b, sizeof b, "%.7E", mm);
  std::string text = b;
  std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

std::vector<std::string> baseCheckHeaderLines(const tBaseCheckJobInfo& i, const std::string& startText, char sep) {
  const std::string nr = "\n\r";
  std::vector<std::string> lines;
  lines.push_back("[" + i.caption + ", " + i.info1 + " " + i.processor + " " + i.firmware + "]");
  lines.push_back(nr + "  Komputer: " + i.computer + nr + nr + "  " + fileNameOf(i.projectPath) + "   [" +
                  i.projectPath + "]" + nr);
  lines.push_back("  Vr=" + general(i.workSpeed, sep) + " Vp=" + general(i.travelSpeed, sep) + nr +
                  "  Vposuw=" + general(i.drillFeed, sep) + " Vcofanie=" + general(i.drillRetract, sep) + nr +
                  "  Srednica=" + general(i.toolDiameter, sep) + " Uwzgl.sredn.frezu=" + (i.doOutline ? "-1" : "0") +
                  nr + "  Skok spirali=" + general(i.spiralStep, sep) + " Skala=" + general(i.scale, sep) + nr);
  lines.push_back("  WspolczynnikSzybkosciNaLukach = " + std::to_string(i.radiusFactorStraight) + nr +
                  "  WspolczynnikSzybkosciNaLukachWygladzanie = " + std::to_string(i.radiusFactorSmooth) + nr +
                  "  WspolczynnikSzybkosciNaLukachDz = " + std::to_string(i.radiusFactorSlope) + nr);
  lines.push_back("  Przyspieszenie = " + std::to_string(i.rampStep) + nr + "  kat_tech_normalny_dz = " +
                  general(i.cornerAngle, sep) + nr + "  kat_tech_normalny_plaski = " + general(i.cornerAngleFlat, sep));
  lines.push_back("============================= START: " + startText + " =====================================" + nr);
  return lines;
}

std::string baseCheckLine(const std::string& elapsed, const trpoint3d& bp, std::optional<int> figure,
                          const trpoint3d& dev, char sep) {
  std::string line = elapsed + "   " + mm10(bp.x, sep) + mm10(bp.y, sep) + mm10(bp.z, sep);
  if (figure) line += " fig=" + rightAligned(std::to_string(*figure), 6);
  return line + "  baza=  " + mm10(dev.x, sep) + mm10(dev.y, sep) + mm10(dev.z, sep);
}

bool beyondLimit(const trpoint3d& d) {
  return std::abs(d.x) > kBaseCheckLimitMm || std::abs(d.y) > kBaseCheckLimitMm || std::abs(d.z) > kBaseCheckLimitMm;
}

std::vector<std::string> deviationLines(const tMinMax& m, char sep) {
  return {"odchyłka min X " + deviationText(m.minX, sep), "odchyłka max X " + deviationText(m.maxX, sep),
          "odchyłka min Y " + deviationText(m.minY, sep), "odchyłka max Y " + deviationText(m.maxY, sep),
          "odchyłka min Z " + deviationText(m.minZ, sep), "odchyłka max Z " + deviationText(m.maxZ, sep)};
}

std::vector<std::string> abortLines(const tMinMax& m, char sep) {
  std::vector<std::string> lines{
      "---- TEST ZOSTAŁ PRZERWANY - pomyłka powyżej " + general(kBaseCheckLimitMm, sep) + "mm ----", " "};
  for (std::string& l : deviationLines(m, sep)) lines.push_back(std::move(l));
  return lines;
}

std::vector<std::string> summaryLines(const std::string& endText, const std::string& duration, bool linkLost,
                                      const tMinMax& m, char sep) {
  std::vector<std::string> lines{"----- Koniec obróbki " + endText + " ------",
                                 "----- Czas   obróbki " + duration + " ------"};
  if (linkLost) lines.emplace_back("----- Brak łączności ------");
  lines.emplace_back();
  for (std::string& l : deviationLines(m, sep)) lines.push_back(std::move(l));
  return lines;
}

std::string globalReportHeader() {
  return "Start;Projekt;Wynik;min odch. X;max odch. X;min odch. Y;max odch. Y;min odch. Z;max odch. Z;Procesor;"
         "Aplikacja;Frezarka;Przyspieszenie;WspolczynnikSzybkosciNaLukach;WspolczynnikSzybkosciNaLukachDz;"
         "kat_tech_normalny_dz;kat_tech_normalny_plaski;";
}

std::string globalReportLine(const std::string& startText, const tBaseCheckJobInfo& i, const std::string& result,
                             const tMinMax& m, char sep) {
  std::string line = startText + ";" + fileNameOf(i.projectPath) + ";" + result + ";";
  for (double v : {m.minX, m.maxX, m.minY, m.maxY, m.minZ, m.maxZ}) line += deviationText(v, sep) + ";";
  line += i.processor + " " + i.firmware + ";" + i.caption + ";" + i.info1 + ";" + std::to_string(i.rampStep) + ";" +
          std::to_string(i.radiusFactorStraight) + ";" + std::to_string(i.radiusFactorSlope) + ";" +
          general(i.cornerAngle, sep) + ";" + general(i.cornerAngleFlat, sep) + ";";
  return line;
}

}  // namespace trazvik
