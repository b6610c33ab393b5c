#include "control/start_of_cutting.h"

#include "config/number_text.h"
#include "config/tdlgkonfig.h"
#include "job/commands_basic.h"
#include "job/command_set.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <cmath>
#include <filesystem>

namespace trazvik {

const char* startOutcomeName(tStartOutcome outcome) {
  switch (outcome) {
    case tStartOutcome::noProject: return "no project";
    case tStartOutcome::noLink: return "no link";
    case tStartOutcome::machineBusy: return "machine busy";
    case tStartOutcome::bitmap: return "bitmap";
    case tStartOutcome::layerData: return "layer data";
    case tStartOutcome::noHead: return "no head";
    case tStartOutcome::headOutsideArea: return "head outside the area";
    case tStartOutcome::enclosureOpen: return "enclosure open";
    case tStartOutcome::zRange: return "Z range";
    case tStartOutcome::startPositionFailed: return "start position";
    case tStartOutcome::preflight: return "pre-flight check";
    case tStartOutcome::inverter: return "inverter";
    case tStartOutcome::writeFailed: return "job not written";
    case tStartOutcome::flyingStart: return "flying start";
    case tStartOutcome::tooLarge: return "job too large";
    case tStartOutcome::transferFailed: return "transfer";
    case tStartOutcome::started: return "started";
  }
  return "?";
}

namespace {
// Plotter-class controllers take jobs below this size only.
constexpr std::uintmax_t kPlotterJobLimit = 4193281;
constexpr int kStateRunning = 1;
constexpr int kStateMotion = 0;
constexpr int kStateToolOn = 2;
constexpr int kInverterFault = 62;
constexpr int kEnclosureOpenInput = 0x08;
}  // namespace

std::string tStartOfCutting::txt(const char* section, const char* key) const { return ctx_.texts.dajTxt(section, key); }

void tStartOfCutting::error(const std::string& text, const std::optional<std::string>& caption) const {
  ctx_.texts.messageBox(text, true, caption);
}

double tStartOfCutting::zeroX() const { return ctx_.machine.state().pos0.x / 100.0; }
double tStartOfCutting::zeroY() const { return ctx_.machine.state().pos0.y / 100.0; }
double tStartOfCutting::zeroZ() const { return ctx_.machine.state().pos0.z / 100.0; }
double tStartOfCutting::areaX() const { return ctx_.machine.link().workArea[0]; }
double tStartOfCutting::areaY() const { return ctx_.machine.link().workArea[1]; }

std::string tStartOfCutting::lengthText(double millimetres) const {
  const int unit = ctx_.settings.unitIndex();
  const char sep = ctx_.settings.decimalSeparator();
  if (unit == 1) return config::formatFixed(millimetres / 25.4, 3, sep) + " in";
  if (unit == 2) return config::formatFixed(millimetres / 304.8, 4, sep) + " ft";
  const auto decimals = ctx_.machine.model().machineParams.displayDecimals;
  return config::formatFixed(millimetres, decimals == 3 ? 3 : 2, sep) + " mm";
}

void tStartOfCutting::sendLetter(char letter) { ctx_.machine.send(Bytes{static_cast<std::uint8_t>(letter)}); }

void tStartOfCutting::toolOffWhenOn() {
  tStartMachine& m = ctx_.machine;
  if (m.state().bit(kStateToolOn)) m.send(outputsCommand(0, m.state().sel_power, CommandForm::immediate));
}

void tStartOfCutting::clearAndWait() {
  sendLetter('C');
  ctx_.machine.waitWhileBusy();
}

bool tStartOfCutting::moveToStart() {
  const int head = head_ >= 0 && head_ < 3 ? head_ : 0;
  const double ox = ctx_.headOffsets[static_cast<std::size_t>(head * 2)];
  const double oy = ctx_.headOffsets[static_cast<std::size_t>(head * 2 + 1)];
  return ctx_.machine.moveToPoint(0, ctx_.travelHeight, oy, ox);
}

double startingPower(const tStartContext& context, const TMDIChild& project) {
  if (project.ImportFileType == 3) return project.GcodPar.gS;
  if (context.settings.integer("ProjektType") == 1 && project.warstwy)
    return project.warstwy->getStartingLayerRotations();
  return context.settings.real("work_power");
}

logging::CutStartInfo cutStartInfoOf(const tStartContext& context, const TMDIChild& project) {
  logging::CutStartInfo info;
  info.projectCaption = project.sciezka;
  info.settingsCaption = context.settingsCaption;
  info.machine = context.machine.state().info1;
  info.workSpeed = context.settings.real("WorkSpeed");
  info.workPower = context.settings.real("work_power");
  info.toolDiameter = context.settings.flag("doOutline") ? context.settings.real("srednica") : 0.0;
  info.estimatedCuttingTime = project.GetEstimatedCuttingTime();
  info.cuttingLength = project.GetCuttingLength();
  return info;
}

tStartOutcome tStartOfCutting::Start1Click(TMDIChild* project) {
  tStartMachine& m = ctx_.machine;
  if (ctx_.switches.checkBaseMode && ctx_.baseCheckStart) ctx_.baseCheckStart();
  if (ctx_.switches.arcV && ctx_.switches.testMode) {
    // The flat motion coefficient follows the arc slider while testing.
    auto& model = const_cast<tMachineModel&>(m.model());
    model.flatMotionCoefficient = static_cast<float>(ctx_.arcSpeedFactor);
    ctx_.texts.messageBox("wspRuchuPlaski = " + config::formatGeneral(model.flatMotionCoefficient, '.') + "\n\r" +
                              "wspRuchuDz = " + config::formatGeneral(model.zMotionCoefficient, '.'),
                          false, std::string("Testy"));
  }
  if (ctx_.notificationsOff) ctx_.notificationsOff();
  if (!project) return tStartOutcome::noProject;
  if (ctx_.runRequested) ctx_.runRequested();

  m.readState();
  if (!m.linkUp()) {
    m.state().pos0.x = 1000;
    m.state().pos0.y = 1000;
    return tStartOutcome::noLink;
  }
  // A job that runs or a machine in motion is never replaced under it.
  if (m.state().bit(kStateMotion) || m.state().bit(kStateRunning)) return tStartOutcome::machineBusy;
  if (m.link().cncMachine && m.transferOpen()) m.stopTransfer();

  if (project->ImportFileType == 4) {
    const double margin = ctx_.settings.flag("doOutline") ? ctx_.settings.real("srednica") : 0.0;
    const double fits = ctx_.settings.real("skala") * project->size_x / 100.0 + zeroX() + margin / 2;
    if (zeroX() >= 0 && fits <= areaX() && ctx_.burnBitmap) {
      ctx_.burnBitmap();
    } else {
      error(txt("Main_window", "msgZmienPunktStartowyPredkosc"),
            txt("Main_window", "msgDrogaRozpedzania") + " 0 [mm], V " +
                config::formatGeneral(ctx_.settings.real("WorkSpeed"), ctx_.settings.decimalSeparator()));
    }
    return tStartOutcome::bitmap;
  }

  const tStartOutcome prepared = prepareMachine(*project);
  if (prepared != tStartOutcome::started) return prepared;
  if (!preflightCheck(*project)) return tStartOutcome::preflight;
  if (m.model().machineType == "RB2" && m.state().bit(kInverterFault)) {
    const auto answer = ctx_.texts.confirmationBox(
        txt("Control_Panel", "bladFalownika") + "\n" + "Czy mimo to chcesz kontynuować?", texts::ButtonSet::yesNo());
    if (answer != texts::DialogButton::Yes) return tStartOutcome::inverter;
  }
  const tStartOutcome outcome = writeAndHandOver(*project);
  if (ctx_.releasePanelButtons) ctx_.releasePanelButtons();
  return outcome;
}

tStartOutcome tStartOfCutting::prepareMachine(TMDIChild& project) {
  tStartMachine& m = ctx_.machine;
  const tMachineParams& params = m.model().machineParams;
  const bool laser = params.isLaser != 0;
  const bool gcode = project.ImportFileType == 3;

  if (ctx_.settings.integer("ProjektType") == 1 && !gcode && !laser && project.warstwy &&
      !project.warstwy->DaneFrezarkaOK(params.minSpindle, params.maxSpindle, params.maxWorkFeed, params.minFeed)) {
    error(txt("Multilayer_project", "msgUstawPoprawneDaneWarstw"), txt("Multilayer_project", "Form.caption"));
    if (ctx_.openLayersDialog) ctx_.openLayersDialog();
    return tStartOutcome::layerData;
  }
  if (ctx_.settings.flag("cbZalaczPompeProzniowa") && params.vacuumPump != 0)
    m.send(outputsCommand(1, outputMask::vacuumPump, CommandForm::immediate));

  head_ = WybierzGlowicePrzedObrobka(project, -1);
  if (head_ < 0) return tStartOutcome::noHead;
  if (params.headCount >= 2) {
    const double ox = ctx_.headOffsets[static_cast<std::size_t>(head_ * 2)];
    const double oy = ctx_.headOffsets[static_cast<std::size_t>(head_ * 2 + 1)];
    if (ox + zeroX() > areaX() || oy + zeroY() > areaY()) {
      error(txt("Main_window", "msgZmienPunktStartowyGlowice") + "\n" + txt("Main_window", "msgPrzekroczenieObszaru"));
      toolOffWhenOn();
      for (std::uint8_t mask : {outputMask::head1, outputMask::head2, outputMask::head3})
        m.send(outputsCommand(0, mask, CommandForm::immediate));
      return tStartOutcome::headOutsideArea;
    }
  }

  const tCommandSet set = commandSetOf(m.model(), m.link());
  const double travelFeed = std::nearbyint(ctx_.settings.real("przespeed") * std::max(1, params.speedMultiplier));
  m.send(loadSlotCommand(0, m.speedToPeriod(static_cast<std::int64_t>(travelFeed)), set, CommandForm::immediate));
  m.send(selectSlotCommand(0, CommandForm::immediate));

  if (!enclosureClosed(project)) return tStartOutcome::enclosureOpen;

  if (gcode) {
    ctx_.travelHeight = project.GcodPar.maxZ;
  } else if (params.laserZAxis != 0) {
    ctx_.travelHeight = -ctx_.settings.real("grubosc");
  } else if (laser) {
    ctx_.travelHeight = 0;
  }
  if (m.model().machineParams.knifeAxis != 0 && ctx_.settings.flag("CBAktywnaGlowica")) m.rotateKnifeTo(1, 0);
  if (!laser && !zRangeFits(project)) return tStartOutcome::zRange;

  if (m.link().cncMachine && !moveToStart()) return tStartOutcome::startPositionFailed;
  clearAndWait();
  return tStartOutcome::started;
}

bool tStartOfCutting::enclosureClosed(const TMDIChild& project) {
  tStartMachine& m = ctx_.machine;
  const bool laser = m.model().machineParams.isLaser != 0;
  m.setStartPowers(startingPower(ctx_, project), ctx_.settings.real("poler_power"));
  if (!m.model().safetyEnclosure) {
    if (!laser) m.sleep(std::chrono::milliseconds(std::llround(ctx_.settings.real("CzasRozruchu") * 1000)));
    return true;
  }
  m.readInputs();
  if ((m.link().machineInputs & kEnclosureOpenInput) != 0) {
    if (ctx_.stopJob) ctx_.stopJob();
    if (ctx_.toolOutputsOff) ctx_.toolOutputsOff();
    else toolOffWhenOn();
    error(txt("Main_window", "msgSafetyEnclouserOpened"), std::string("Stop"));
    return false;
  }
  if (!laser) m.sleep(std::chrono::milliseconds(std::llround(ctx_.settings.real("CzasRozruchu") * 1000)));
  return true;
}

tStartOutcome tStartOfCutting::writeAndHandOver(TMDIChild& project) {
  tStartMachine& m = ctx_.machine;
  const bool gcode = project.ImportFileType == 3;
  if (ctx_.busyCursor) ctx_.busyCursor(true);
  if (!gcode && !project.hasHatching) project.AddOutline();
  jobFile_ = ctx_.jobFolder + "out.cnx";
  const bool multiLayer = ctx_.settings.integer("ProjektType") == 1 && project.otwarto_jako_wielowarstwowy;
  // A job file left from an earlier start must never be sent for this one.
  std::error_code ec;
  std::filesystem::remove(jobFile_, ec);
  tJobWriteResult written;
  if (ctx_.writeJob) written = ctx_.writeJob(project, jobFile_, gcode ? 5 : 4, multiLayer);
  else written.error = "no job writer";
  if (ctx_.busyCursor) ctx_.busyCursor(false);
  if (!written.written || !std::filesystem::is_regular_file(jobFile_, ec)) {
    error(written.error.empty() ? jobFile_ : jobFile_ + ": " + written.error);
    m.send(selectSlotCommand(2, CommandForm::immediate));
    return tStartOutcome::writeFailed;
  }
  if (!flyingStartFits(written)) return tStartOutcome::flyingStart;
  const auto size = std::filesystem::file_size(jobFile_, ec);
  if (!m.link().cncMachine && (ec || size >= kPlotterJobLimit)) {
    error(txt("Main_window", "msgPrzekroczonaWartoscBufora"));
    return tStartOutcome::tooLarge;
  }

  for (char letter : {'Q', 'Q', 'C'}) {
    sendLetter(letter);
    m.sleep(std::chrono::milliseconds(10));
    m.waitWhileBusy();
  }
  const bool laser = m.model().machineParams.isLaser != 0;
  if (!moveToStart() && !laser) {
    m.send(selectSlotCommand(2, CommandForm::immediate));
    return tStartOutcome::startPositionFailed;
  }
  if (!m.startTransfer()) {
    error(jobFile_);
    m.send(selectSlotCommand(2, CommandForm::immediate));
    return tStartOutcome::transferFailed;
  }
  info_ = cutStartInfoOf(ctx_, project);
  if (ctx_.jobStarted) ctx_.jobStarted(info_);
  return tStartOutcome::started;
}

}  // namespace trazvik
