#include "control/project_zero.h"

#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "link/machine_control_operations.h"
#include "link/tool_operations.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

namespace trazvik {

tAllowances allowancesOf(const TMDIChild& project, const TDlgkonfig& s) {
  const bool gcode = project.ImportFileType == kFileTypeGcode;
  tAllowances a;
  if (s.flag("polerowanie") && !gcode) a.polish = s.real("poler_grubosc");
  const bool oneFigure = project.fig.size() == 1;
  if (s.flag("doOutline") && !gcode && !s.flag("negatyw") && (!s.flag("bezramki") || oneFigure))
    a.tool = s.real("srednica");
  return a;
}

bool figuresFitWithoutFrame(const TMDIChild& project, double toolDiameter, double x0, double y0,
                            const std::array<double, 3>& workArea) {
  // Hundredths of a millimetre against the figures' corners in file units.
  const double r = toolDiameter / 2 * 100;
  const double zx = x0 * 100, zy = y0 * 100;
  const double areaX = workArea[0] * 100, areaY = workArea[1] * 100;
  for (const auto& f : project.fig) {
    if (f->ramka || f->poziom != 1) continue;
    if (project.pp.x - (f->fig_pp.x - r) > zx) return false;
    if (project.pp.y - (f->fig_pp.y - r) > zy) return false;
    if ((f->fig_pk.x + r) - project.pk.x + project.size_x + zx > areaX) return false;
    if ((f->fig_pk.y + r) - project.pk.y + project.size_y + zy > areaY) return false;
  }
  return true;
}

tProjectZeroCheck checkProjectAgainstZero(const TMDIChild& project, const TDlgkonfig& s, const texts::tInterfejs& texts,
                                          double x0, double y0, const std::array<double, 3>& workArea) {
  tProjectZeroCheck out;
  const auto t = [&](const char* section, const char* key) { return texts.dajTxt(section, key); };
  const std::string wrongZero = t("Control_Panel", "msgProjektZaDuzyNiewlasciweZero");
  const tAllowances a = allowancesOf(project, s);
  const double r = a.polish, d = a.tool;
  const double skala = s.real("skala");
  const double w = toMm(project.ImportFileType, project.size_x) * skala / 100;
  const double h = toMm(project.ImportFileType, project.size_y) * skala / 100;
  if (w + d + 2 * r > workArea[0] || h + d + 2 * r > workArea[1]) {
    out.warnings.push_back(t("Control_Panel", "msgZbytDuzyProjekt"));
  } else if (project.ImportFileType == kFileTypeGcode) {
    const tMinMax& g = project.GcodPar;
    if (g.maxX + x0 > workArea[0] || g.maxY + y0 > workArea[1] || g.minX + x0 < 0 || g.minY + y0 < 0) {
      // A G-code program that leaves the area ends the checks here.
      out.warnings.push_back(wrongZero);
      out.restartTimer = false;
      return out;
    }
  } else if (w + x0 + d / 2 + r > workArea[0] || h + y0 + d / 2 + r > workArea[1]) {
    out.warnings.push_back(wrongZero);
  }
  if (x0 < d / 2 + r || y0 < d / 2 + r)
    out.warnings.push_back(wrongZero + "\n\r" + t("Main_window", "msgUwzglednijSredniceIpoler"));
  if (s.flag("bezramki") && project.jestRamka && s.flag("doOutline") && s.flag("negatyw") &&
      !figuresFitWithoutFrame(project, s.real("srednica"), x0, y0, workArea)) {
    out.toolOff = true;
    out.restartTimer = false;
    out.warnings.push_back(t("Main_window", "msgBlednyPunktZero") + "\n\r" + t("Main_window", "msgOdsunFiguryOdRamki"));
  }
  return out;
}

bool setbazaClick(tMachineOps& ops, const TMDIChild* project, const TDlgkonfig& settings,
                  const texts::tInterfejs& texts, const std::array<double, 3>& workArea,
                  const tProjectZeroHooks& hooks) {
  const auto timer = [&](bool on) {
    if (hooks.panelTimer) hooks.panelTimer(on);
  };
  timer(false);
  if (ops.linkUp()) {
    // A zero set while the machine still moves would not be where the
    // operator meant it.
    if (hooks.hourglass) hooks.hourglass(true);
    waitWhileBusy(ops);
    if (hooks.hourglass) hooks.hourglass(false);
  }
  const std::optional<std::array<double, 2>> zero = hooks.chooseZero ? hooks.chooseZero() : std::nullopt;
  if (zero) {
    ops.st.pos0.x = (*zero)[0] * 100;
    ops.st.pos0.y = (*zero)[1] * 100;
    setWorkZeroXY(ops);
  }
  // Cancelled: the zero is as it was, and so is what was said about it.
  if (project == nullptr || !zero) {
    timer(true);
    return zero.has_value();
  }
  const tProjectZeroCheck check =
      checkProjectAgainstZero(*project, settings, texts, ops.st.pos0.x / 100, ops.st.pos0.y / 100, workArea);
  if (check.toolOff) toolOff(ops);
  for (const std::string& w : check.warnings)
    if (hooks.errorBox) hooks.errorBox(w);
  if (check.restartTimer) timer(true);
  return zero.has_value();
}

}  // namespace trazvik
