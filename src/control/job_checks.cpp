#include "control/job_checks.h"

#include "control/job_plan.h"
#include "control/project_zero.h"

#include "config/number_text.h"
#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

namespace trazvik {

namespace {

// Plotter-class controllers take jobs below this size only.
constexpr std::uintmax_t kPlotterJobLimit = 4193281;

std::string withoutAmpersand(std::string caption) {
  std::erase(caption, '&');
  return caption;
}

std::optional<tJobRefusal> refusal(std::string text, std::optional<std::string> caption = std::nullopt) {
  return tJobRefusal{std::move(text), std::move(caption)};
}

}  // namespace

std::string tJobChecks::txt(const char* section, const char* key) const { return texts_.dajTxt(section, key); }

std::string lengthText(double millimetres, const TDlgkonfig& settings, const tMachineParams& params) {
  const int unit = settings.unitIndex();
  const char sep = settings.decimalSeparator();
  if (unit == 1) return config::formatFixed(millimetres / 25.4, 3, sep) + " in";
  if (unit == 2) return config::formatFixed(millimetres / 304.8, 4, sep) + " ft";
  return config::formatFixed(millimetres, params.displayDecimals == 3 ? 3 : 2, sep) + " mm";
}

std::optional<tJobRefusal> tJobChecks::layerData() const {
  const tMachineParams& params = machine_.model.machineParams;
  if (settings_.integer("ProjektType") != 1 || project_.ImportFileType == kFileTypeGcode || params.isLaser != 0 ||
      !project_.warstwy)
    return std::nullopt;
  if (project_.warstwy->DaneFrezarkaOK(params.minSpindle, params.maxSpindle, params.maxWorkFeed, params.minFeed))
    return std::nullopt;
  return refusal(txt("Multilayer_project", "msgUstawPoprawneDaneWarstw"), txt("Multilayer_project", "Form.caption"));
}

std::optional<tJobRefusal> tJobChecks::headInArea(int head) const {
  if (machine_.model.machineParams.headCount < 2) return std::nullopt;
  const trealpoint offset = headOffset(settings_, head);
  if (offset.x + zeroX() <= areaX() && offset.y + zeroY() <= areaY()) return std::nullopt;
  return refusal(txt("Main_window", "msgZmienPunktStartowyGlowice") + "\n" +
                 txt("Main_window", "msgPrzekroczenieObszaru"));
}

std::optional<tJobRefusal> tJobChecks::zRange(double travelHeight) const {
  if (machine_.model.machineParams.isLaser != 0 || zeroZ() >= travelHeight) return std::nullopt;
  // Without a Z zero the settings are not what is wrong: the tool length is
  // what sets it.
  if (!(zeroZ() > 0)) return refusal(txt("Main_window", "msgBrakZeraZ"));
  const TDlgkonfig& s = settings_;
  if (project_.ImportFileType == kFileTypeGcode)
    return refusal(txt("Main_window", "msgGcodeZoutOfRange") + " " + lengthText(project_.GcodPar.maxZ) + "\n" +
                   txt("Main_window", "msgMaxZrange") + " " + lengthText(zeroZ()));
  auto line = [&](const char* setting) {
    const std::string key(s.captionKey(setting));
    return "\t" + withoutAmpersand(texts_.dajTxt("Configuration", key)) + " [" + lengthText(s.real(setting)) + "]\n";
  };
  return refusal(txt("Main_window", "msgZoutOfRange") + " [" + lengthText(travelHeight) + "]\n\n" +
                 txt("Main_window", "msgCheckParams") + "\n\n" + line("nadmat") + line("grubosc") + line("ponad_stol") +
                 txt("Main_window", "msgMaxZrange") + " " + lengthText(zeroZ()));
}

bool tJobChecks::figuresFitWithoutFrame() const {
  return trazvik::figuresFitWithoutFrame(project_, settings_.real("srednica"), zeroX(), zeroY(), {areaX(), areaY(), 0});
}

std::optional<tJobRefusal> tJobChecks::placement() const {
  const TDlgkonfig& s = settings_;
  const TMDIChild& project = project_;
  const bool gcode = project.ImportFileType == kFileTypeGcode;
  const tAllowances room = allowancesOf(project, s);
  const double p = room.polish, d = room.tool;
  const double skala = s.real("skala");
  const double width = skala * toMm(project.ImportFileType, project.size_x) / 100;
  const double height = skala * toMm(project.ImportFileType, project.size_y) / 100;
  if (width + d + 2 * p > areaX() || height + d + 2 * p > areaY())
    return refusal(txt("Main_window", "msgProjektZaDuzy"));
  if (!gcode) {
    if (width + zeroX() + d / 2 + p > areaX() || height + zeroY() + d / 2 + p > areaY())
      return refusal(txt("Main_window", "msgBlednyPunktZero"));
  } else {
    const tMinMax& g = project.GcodPar;
    if (g.maxX + zeroX() > areaX() || g.maxY + zeroY() > areaY() || g.minX + zeroX() < 0 || g.minY + zeroY() < 0)
      return refusal(txt("Main_window", "msgBlednyPunktZero"));
  }
  if (zeroX() < d / 2 + p || zeroY() < d / 2 + p)
    return refusal(txt("Control_Panel", "msgProjektZaDuzyNiewlasciweZero") + "\n" +
                   txt("Main_window", "msgUwzglednijSredniceIpoler") + "\n" + txt("Info", "labSrednica.Caption") + " " +
                   lengthText(d) + "\n" + txt("Info", "labPolerowanie.Caption") + " " + lengthText(p));
  if (project.jestRamka && s.flag("doOutline") && s.flag("negatyw") && !figuresFitWithoutFrame())
    return refusal(txt("Main_window", "msgBlednyPunktZero") + "\n" + txt("Main_window", "msgOdsunFiguryOdRamki"));
  return std::nullopt;
}

std::optional<tJobRefusal> tJobChecks::flyingStart(const tJobExtremes& w) const {
  if (machine_.model.machineParams.isLaser == 0 || !settings_.flag("LotnyStart") || !w.any()) return std::nullopt;
  const TDlgkonfig& s = settings_;
  const double m = s.flag("doOutline") ? s.real("srednica") : 0.0;
  const char* key = nullptr;
  if (w.maxX - w.minX > areaX() || w.maxY - w.minY > areaY()) {
    key = "msgProjektZaDuzy";
  } else if (w.maxX + zeroX() > areaX() || w.maxY + zeroY() > areaY()) {
    key = "msgBlednyPunktZero";
  } else if (w.minX + zeroX() < 0 || w.minY + zeroY() < 0) {
    key = "msgBrakMożliwościCofniecia";
  }
  if (!key) return std::nullopt;
  return refusal(txt("Main_window", key) + "\n\n" + txt("Main_window", "msgProblemLotnyStart") + "\n\n" +
                 withoutAmpersand(txt("Configuration", "lSrednicaFreza.Caption")) + ": " + lengthText(m) +
                 "\nmin X: " + lengthText(w.minX) + "\nmax X: " + lengthText(w.maxX) +
                 "\nmin Y: " + lengthText(w.minY) + "\nmax Y: " + lengthText(w.maxY));
}

std::optional<tJobRefusal> tJobChecks::jobSize(std::uintmax_t bytes) const {
  if (machine_.link.cncMachine || bytes < kPlotterJobLimit) return std::nullopt;
  return refusal(txt("Main_window", "msgPrzekroczonaWartoscBufora"));
}

}  // namespace trazvik
