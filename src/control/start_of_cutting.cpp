#include "control/start_of_cutting.h"

#include "base/content_hash.h"
#include "config/number_text.h"
#include "config/tdlgkonfig.h"
#include "machine/commands_basic.h"
#include "machine/command_set.h"
#include "job/job_machine.h"
#include "job/job_writer.h"
#include "project/narrow_figures.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace trazvik {

const char* startOutcomeName(tStartOutcome outcome) {
  switch (outcome) {
    case tStartOutcome::noProject: return "no project";
    case tStartOutcome::noLink: return "no link";
    case tStartOutcome::machineBusy: return "machine busy";
    case tStartOutcome::narrowFigures: return "figures narrower than the tool";
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

tMachineState tStartOfCutting::machineNow() {
  return tMachineState{ctx_.machine.model(), ctx_.machine.link(), ctx_.machine.state()};
}

tJobChecks tStartOfCutting::checks(const TMDIChild& project, const tMachineState& machine) const {
  return tJobChecks(project, ctx_.settings, machine, ctx_.texts);
}

std::string tStartOfCutting::lengthText(double millimetres) const {
  return trazvik::lengthText(millimetres, ctx_.settings, ctx_.machine.model().machineParams);
}

bool tStartOfCutting::refused(const std::optional<tJobRefusal>& refusal) {
  if (!refusal) return false;
  error(refusal->text, refusal->caption);
  return true;
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

void tStartOfCutting::clearStoredJob() {
  for (char letter : {'Q', 'Q', 'C'}) {
    sendLetter(letter);
    ctx_.machine.sleep(std::chrono::milliseconds(10));
    ctx_.machine.waitWhileBusy();
  }
}

void tStartOfCutting::loadTravelFeed() {
  tStartMachine& m = ctx_.machine;
  const tMachineParams& params = m.model().machineParams;
  const double feed = std::nearbyint(s_.travelFeed * std::max(1, params.speedMultiplier));
  m.send(loadSlotCommand(0, m.speedToPeriod(static_cast<std::int64_t>(feed)), commandSetOf(m.model(), m.link()),
                         CommandForm::immediate));
}

bool tStartOfCutting::moveToStart() {
  const trealpoint offset = headOffset(ctx_.settings, plan_.head);
  return ctx_.machine.moveToPoint(0, ctx_.travelHeight, offset.y, offset.x);
}

void tStartOfCutting::plan(const TMDIChild& project, tJobScope scope) {
  plan_ = planJob(project, ctx_.settings, machineNow(), scope, ctx_.headChoice);
  if (resuming_ && plan_.multiLayer) plan_.request.fromLayer = resumeLayer_;
}

tStartSettings startSettingsOf(const TDlgkonfig& k) {
  tStartSettings s;
  s.travelFeed = k.real("przespeed");
  s.workSpeed = k.real("WorkSpeed");
  s.workPower = k.real("work_power");
  s.polishPower = k.real("poler_power");
  s.spindleRunUpSeconds = k.real("CzasRozruchu");
  s.toolMargin = k.flag("doOutline") ? k.real("srednica") : 0.0;
  s.scale = k.real("skala");
  s.multiLayer = k.integer("ProjektType") == 1;
  s.vacuumBeforeStart = k.flag("cbZalaczPompeProzniowa");
  s.knife = k.flag("CBAktywnaGlowica");
  return s;
}

double startingPower(const tStartSettings& settings, const tMachineParams& machine, const TMDIChild& project) {
  if (project.ImportFileType == 3 && project.GcodPar.gS != 0) return programPowerOf(machine, project.GcodPar.gS);
  if (settings.multiLayer && project.warstwy) return project.warstwy->getStartingLayerRotations();
  return settings.workPower;
}

logging::CutStartInfo cutStartInfoOf(const tStartContext& context, const tStartSettings& settings,
                                     const TMDIChild& project) {
  logging::CutStartInfo info;
  info.projectCaption = project.sciezka;
  info.settingsCaption = context.settingsCaption;
  info.machine = context.machine.state().info1;
  info.workSpeed = settings.workSpeed;
  info.workPower = settings.workPower;
  info.toolDiameter = settings.toolMargin;
  info.estimatedCuttingTime = project.GetEstimatedCuttingTime();
  info.cuttingLength = project.GetCuttingLength();
  info.projectHash = base::fileContentHash(project.sciezka).value_or(std::string());
  return info;
}

tStartOutcome tStartOfCutting::Start1Click(TMDIChild* project) {
  tStartMachine& m = ctx_.machine;
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
  // A running or paused job is never replaced under the operator's hands.
  if (ctx_.jobActive && ctx_.jobActive()) {
    ctx_.texts.messageBox(txt("Main_window", "msgStartPodczasZadania"), false, std::nullopt);
    return tStartOutcome::machineBusy;
  }
  s_ = startSettingsOf(ctx_.settings);
  if (ctx_.runRequested) ctx_.runRequested();

  m.readState();
  if (!m.linkUp()) {
    m.state().pos0.x = 1000;
    m.state().pos0.y = 1000;
    return tStartOutcome::noLink;
  }
  // A job that runs or a machine in motion is never replaced under it.
  if (m.state().bit(kStateMotion) || m.state().bit(kStateRunning)) {
    ctx_.texts.messageBox(txt("Main_window", "msgStartMaszynaWRuchu"), false, std::nullopt);
    return tStartOutcome::machineBusy;
  }
  if (ctx_.switches.checkBaseMode && ctx_.baseCheckStart) ctx_.baseCheckStart(*project);
  if (m.link().cncMachine && m.transferOpen()) m.stopTransfer();

  if (project->ImportFileType == 4) {
    const double zeroX = m.state().pos0.x / 100.0;
    const double fits = s_.scale * project->size_x / 100.0 + zeroX + s_.toolMargin / 2;
    if (zeroX >= 0 && fits <= m.link().workArea[0] && ctx_.burnBitmap) {
      ctx_.burnBitmap();
    } else {
      error(txt("Main_window", "msgZmienPunktStartowyPredkosc"),
            txt("Main_window", "msgDrogaRozpedzania") + " 0 [mm], V " +
                config::formatGeneral(s_.workSpeed, ctx_.settings.decimalSeparator()));
    }
    return tStartOutcome::bitmap;
  }

  if (!narrowFiguresAccepted(*project)) return tStartOutcome::narrowFigures;
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

  if (refused(checks(project, machineNow()).layerData())) {
    if (ctx_.openLayersDialog) ctx_.openLayersDialog();
    return tStartOutcome::layerData;
  }
  if (s_.vacuumBeforeStart && params.vacuumPump != 0)
    m.send(outputsCommand(1, outputMask::vacuumPump, CommandForm::immediate));

  plan(project, tJobScope::wholeProject);
  plan_.head = WybierzGlowicePrzedObrobka(project, -1);
  if (plan_.head < 0) return tStartOutcome::noHead;
  if (refused(checks(project, machineNow()).headInArea(plan_.head))) {
    toolOffWhenOn();
    for (std::uint8_t mask : {outputMask::head1, outputMask::head2, outputMask::head3})
      m.send(outputsCommand(0, mask, CommandForm::immediate));
    return tStartOutcome::headOutsideArea;
  }

  loadTravelFeed();
  m.send(selectSlotCommand(0, CommandForm::immediate));

  if (!startTool(project)) return tStartOutcome::enclosureOpen;

  ctx_.travelHeight = plan_.travelHeight;
  if (params.knifeAxis != 0 && s_.knife) m.rotateKnifeTo(1, 0);
  if (refused(checks(project, machineNow()).zRange(ctx_.travelHeight))) return tStartOutcome::zRange;

  if (m.link().cncMachine && !moveToStart()) return tStartOutcome::startPositionFailed;
  clearAndWait();
  return tStartOutcome::started;
}

bool tStartOfCutting::startTool(const TMDIChild& project) {
  tStartMachine& m = ctx_.machine;
  m.setStartPowers(startingPower(s_, m.model().machineParams, project), s_.polishPower);
  if (m.model().safetyEnclosure) {
    if (!m.readInputs()) {
      // The input byte comes in a USB status report only: over Ethernet an
      // opened enclosure cannot be seen, and the operator must know that
      // nothing here will pause the job for it.
      ctx_.texts.messageBox(txt("Main_window", "msgOslonaNiewidocznaPrzezEthernet"), false, std::string("Ethernet"));
    } else if ((m.link().machineInputs & kEnclosureOpenInput) != 0) {
      if (ctx_.stopJob) ctx_.stopJob();
      if (ctx_.toolOutputsOff)
        ctx_.toolOutputsOff();
      else
        toolOffWhenOn();
      error(txt("Main_window", "msgSafetyEnclouserOpened"), std::string("Stop"));
      return false;
    }
  }
  if (m.model().machineParams.isLaser == 0)
    m.sleep(std::chrono::milliseconds(std::llround(s_.spindleRunUpSeconds * 1000)));
  return true;
}

bool tStartOfCutting::narrowFiguresAccepted(const TMDIChild& project, tZakresFigur figures) {
  const std::string named = opisFigurWezszych(project, ctx_.texts, figures);
  if (named.empty()) return true;
  // With nothing but such figures the job would be empty: nothing to ask.
  const int count = static_cast<int>(project.fig.size());
  const int last = figures.ostatnia < 0 ? count - 1 : std::min(figures.ostatnia, count - 1);
  const auto narrow = static_cast<int>(figuryWezszeOdNarzedzia(project, figures).size());
  if (narrow >= last - std::max(0, figures.pierwsza) + 1) {
    error(named + "\r\n\r\n" + txt("Main_window", "msgNicDoWyciecia"));
    return false;
  }
  const auto answer = ctx_.texts.confirmationBox(named + "\r\n\r\n" + txt("Main_window", "msgCzyCiacPozostale"),
                                                 texts::ButtonSet::yesNo());
  return answer == texts::DialogButton::Yes;
}

bool tStartOfCutting::writeJobFile(TMDIChild& project, tJobResult& result) {
  jobFile_ = ctx_.jobFolder + "out.cnx";
  // A job file left from an earlier start must never be sent for this one.
  std::error_code ec;
  std::filesystem::remove(jobFile_, ec);
  if (ctx_.busyCursor) ctx_.busyCursor(true);
  plan_.request.chosenHead = std::clamp(plan_.head, 0, 2);
  plan_.request.travelHeight = ctx_.travelHeight;
  result = writePlannedJob(project, ctx_.settings, machineNow(), plan_, jobFile_);
  if (ctx_.busyCursor) ctx_.busyCursor(false);
  if (result.ok && std::filesystem::is_regular_file(jobFile_, ec)) return true;
  error(jobWriteErrorText(project, result.error.empty() ? jobFile_ : result.error));
  ctx_.machine.send(selectSlotCommand(2, CommandForm::immediate));
  return false;
}

bool tStartOfCutting::handOver(const TMDIChild& project) {
  tStartMachine& m = ctx_.machine;
  if (!m.startTransfer()) {
    error(jobFile_);
    m.send(selectSlotCommand(2, CommandForm::immediate));
    return false;
  }
  info_ = cutStartInfoOf(ctx_, s_, project);
  if (ctx_.jobStarted) ctx_.jobStarted(info_);
  return true;
}

tStartOutcome tStartOfCutting::writeAndHandOver(TMDIChild& project) {
  tStartMachine& m = ctx_.machine;
  tJobResult written;
  if (!writeJobFile(project, written)) return tStartOutcome::writeFailed;
  const tMachineState machine = machineNow();
  const tJobChecks check = checks(project, machine);
  if (refused(check.flyingStart(written.extremes))) return tStartOutcome::flyingStart;
  std::error_code ec;
  const auto size = std::filesystem::file_size(jobFile_, ec);
  if (refused(check.jobSize(ec ? std::uintmax_t(-1) : size))) return tStartOutcome::tooLarge;

  clearStoredJob();
  const bool laser = m.model().machineParams.isLaser != 0;
  if (!moveToStart() && !laser) {
    m.send(selectSlotCommand(2, CommandForm::immediate));
    return tStartOutcome::startPositionFailed;
  }
  return handOver(project) ? tStartOutcome::started : tStartOutcome::transferFailed;
}

}  // namespace trazvik
