// The checks of the start of cutting: the head of the job, the frame, the
// Z range, the working area and work zero, and the flying start.
#include "control/start_of_cutting.h"

#include "control/project_zero.h"

#include "config/number_text.h"
#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "job/commands_basic.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <cmath>

namespace trazvik {
namespace {

std::string withoutAmpersand(std::string caption) {
  std::erase(caption, '&');
  return caption;
}

std::uint8_t headMask(int head) {
  switch (head) {
    case 1: return outputMask::head2;
    case 2: return outputMask::head3;
    default: return outputMask::head1;
  }
}

}  // namespace

int tStartOfCutting::WybierzGlowicePrzedObrobka(TMDIChild& project, int zaznaczonaFig) {
  tStartMachine& m = ctx_.machine;
  if (m.model().machineParams.headCount < 2) return 0;
  toolOffWhenOn();
  m.send(outputsCommand(0, headMask(m.state().selectedZ), CommandForm::immediate));
  int head = ctx_.headChoice;
  if (project.wielowarstwowy() && ctx_.settings.integer("ProjektType") == 1 && project.warstwy) {
    if (zaznaczonaFig < 0) {
      head = project.warstwy->getStartingLayerHeadIndx();
    } else if (zaznaczonaFig < static_cast<int>(project.fig.size())) {
      head = project.warstwy->getGlowica(project.fig[static_cast<std::size_t>(zaznaczonaFig)]->org_color) - 1;
    } else {
      head = -1;
    }
  }
  if (head >= 0 && head <= 2) m.activateHead(head);
  return head > 2 ? -1 : head;
}

bool tStartOfCutting::BezRamki_mozna(const TMDIChild& project) {
  const auto& zero = ctx_.machine.state().pos0;
  return figuresFitWithoutFrame(project, ctx_.settings.real("srednica"), zero.x / 100, zero.y / 100,
                                {areaX(), areaY(), 0});
}

bool tStartOfCutting::preflightCheck(TMDIChild& project) {
  tStartMachine& m = ctx_.machine;
  const TDlgkonfig& s = ctx_.settings;
  const bool gcode = project.ImportFileType == 3;
  auto fail = [&](const std::string& text) {
    toolOffWhenOn();
    error(text);
    m.send(selectSlotCommand(2, CommandForm::immediate));
    return false;
  };
  const double p = s.flag("polerowanie") && !gcode ? s.real("poler_grubosc") : 0.0;
  const bool bezramki = s.flag("bezramki");
  const bool negatyw = s.flag("negatyw");
  const bool oneFigure = project.fig.size() == 1;
  const double d = s.flag("doOutline") && !gcode && ((!bezramki && !negatyw) || (bezramki && oneFigure && !negatyw))
                       ? s.real("srednica")
                       : 0.0;
  const double skala = s.real("skala");
  const double width = skala * toMm(project.ImportFileType, project.size_x) / 100;
  const double height = skala * toMm(project.ImportFileType, project.size_y) / 100;
  if (width + d + 2 * p > areaX() || height + d + 2 * p > areaY()) return fail(txt("Main_window", "msgProjektZaDuzy"));
  if (!gcode) {
    if (width + zeroX() + d / 2 + p > areaX() || height + zeroY() + d / 2 + p > areaY())
      return fail(txt("Main_window", "msgBlednyPunktZero"));
  } else {
    const tMinMax& g = project.GcodPar;
    if (g.maxX + zeroX() > areaX() || g.maxY + zeroY() > areaY() || g.minX + zeroX() < 0 || g.minY + zeroY() < 0)
      return fail(txt("Main_window", "msgBlednyPunktZero"));
  }
  if (zeroX() < d / 2 + p || zeroY() < d / 2 + p)
    return fail(txt("Control_Panel", "msgProjektZaDuzyNiewlasciweZero") + "\n" +
                txt("Main_window", "msgUwzglednijSredniceIpoler") + "\n" + txt("Info", "labSrednica.Caption") + " " +
                lengthText(d) + "\n" + txt("Info", "labPolerowanie.Caption") + " " + lengthText(p));
  if (project.jestRamka && s.flag("doOutline") && negatyw && !BezRamki_mozna(project))
    return fail(txt("Main_window", "msgBlednyPunktZero") + "\n" + txt("Main_window", "msgOdsunFiguryOdRamki"));
  return true;
}

bool tStartOfCutting::zRangeFits(const TMDIChild& project) {
  if (zeroZ() >= ctx_.travelHeight) return true;
  const TDlgkonfig& s = ctx_.settings;
  if (project.ImportFileType == 3) {
    error(txt("Main_window", "msgGcodeZoutOfRange") + " " + lengthText(project.GcodPar.maxZ) + "\n" +
          txt("Main_window", "msgMaxZrange") + " " + lengthText(zeroZ()));
    return false;
  }
  auto line = [&](const char* setting) {
    const std::string key(s.captionKey(setting));
    return "\t" + withoutAmpersand(ctx_.texts.dajTxt("Configuration", key)) + " [" + lengthText(s.real(setting)) +
           "]\n";
  };
  error(txt("Main_window", "msgZoutOfRange") + " [" + lengthText(ctx_.travelHeight) + "]\n\n" +
        txt("Main_window", "msgCheckParams") + "\n\n" + line("nadmat") + line("grubosc") + line("ponad_stol") +
        txt("Main_window", "msgMaxZrange") + " " + lengthText(zeroZ()));
  return false;
}

bool tStartOfCutting::flyingStartFits(const tJobWriteResult& w) {
  if (ctx_.machine.model().machineParams.isLaser == 0 || !ctx_.settings.flag("LotnyStart") || !w.hasExtremes)
    return true;
  const TDlgkonfig& s = ctx_.settings;
  const double m = s.flag("doOutline") ? s.real("srednica") : 0.0;
  const std::string details = "\n\n" + txt("Main_window", "msgProblemLotnyStart") + "\n\n" +
                              withoutAmpersand(txt("Configuration", "lSrednicaFreza.Caption")) + ": " +
                              lengthText(m) + "\nmin X: " + lengthText(w.minX) + "\nmax X: " + lengthText(w.maxX) +
                              "\nmin Y: " + lengthText(w.minY) + "\nmax Y: " + lengthText(w.maxY);
  const char* key = nullptr;
  if (w.maxX - w.minX > areaX() || w.maxY - w.minY > areaY()) {
    key = "msgProjektZaDuzy";
  } else if (w.maxX + zeroX() > areaX() || w.maxY + zeroY() > areaY()) {
    key = "msgBlednyPunktZero";
  } else if (w.minX + zeroX() < 0 || w.minY + zeroY() < 0) {
    key = "msgBrakMożliwościCofniecia";
  }
  if (!key) return true;
  error(txt("Main_window", key) + details);
  return false;
}

}  // namespace trazvik
