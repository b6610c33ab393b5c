// The cutting variants of the start: the selected figure alone, or it and
// every later one.
#include "control/start_of_cutting.h"

#include "config/tdlgkonfig.h"
#include "job/job_settings.h"
#include "job/job_writer.h"
#include "machine/commands_basic.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

namespace trazvik {

const char* variantOutcomeName(tVariantOutcome outcome) {
  switch (outcome) {
    case tVariantOutcome::noProject: return "no project";
    case tVariantOutcome::noSelection: return "no figure selected";
    case tVariantOutcome::noLink: return "no link";
    case tVariantOutcome::narrowFigures: return "figures narrower than the tool";
    case tVariantOutcome::machineBusy: return "machine busy";
    case tVariantOutcome::noHead: return "no head";
    case tVariantOutcome::enclosureOpen: return "enclosure open";
    case tVariantOutcome::zRange: return "Z range";
    case tVariantOutcome::preflight: return "pre-flight check";
    case tVariantOutcome::writeFailed: return "job not written";
    case tVariantOutcome::startPositionFailed: return "start position";
    case tVariantOutcome::transferFailed: return "transfer";
    case tVariantOutcome::started: return "started";
  }
  return "?";
}

namespace {
constexpr int kStateMotion = 0;
constexpr int kStateRunning = 1;

// The figures a variant's job cuts: the selected one, or from it to the
// end; a multi-layer job started from a figure cuts every later layer
// whole, so it may cut any of them.
tZakresFigur figuresOf(const TMDIChild& project, const TDlgkonfig& settings, tJobScope scope) {
  if (scope == tJobScope::selectedFigure) return {project.selected, project.selected};
  if (isMultiLayerJob(project, jobSettingsOf(settings))) return {};
  return {project.selected, -1};
}
}  // namespace

tVariantOutcome tStartOfCutting::cutSelection(TMDIChild* project, tJobScope scope) {
  tStartMachine& m = ctx_.machine;
  if (project == nullptr) return tVariantOutcome::noProject;
  if (project->selected < 0 || project->selected >= static_cast<int>(project->fig.size())) {
    const std::string caption = ctx_.openDialogFileName ? ctx_.openDialogFileName() : std::string();
    error(txt("Main_window", "msgNajpierwWybierzFigure"),
          caption.empty() ? std::nullopt : std::optional<std::string>(caption));
    return tVariantOutcome::noSelection;
  }
  // A running or paused job is never replaced under the operator's hands;
  // a job taken up again replaces the interrupted one on purpose.
  if (!resuming_ && ctx_.jobActive && ctx_.jobActive()) {
    ctx_.texts.messageBox(txt("Main_window", "msgStartPodczasZadania"), false, std::nullopt);
    return tVariantOutcome::machineBusy;
  }
  s_ = startSettingsOf(ctx_.settings);
  // As for Start: nothing goes to a controller that is not there, and a
  // running job is never held and cleared under the operator's hands.
  m.readState();
  if (!m.linkUp()) return tVariantOutcome::noLink;
  if (m.state().bit(kStateMotion) || m.state().bit(kStateRunning)) return tVariantOutcome::machineBusy;
  // Asked before anything is sent, as the start does. A job taken up again
  // was asked about when it started.
  if (!resuming_ && !narrowFiguresAccepted(*project, figuresOf(*project, ctx_.settings, scope)))
    return tVariantOutcome::narrowFigures;
  if (scope == tJobScope::fromSelectedFigure && ctx_.switches.checkBaseMode && ctx_.baseCheckStart)
    ctx_.baseCheckStart(*project);
  if (ctx_.runRequested) ctx_.runRequested();
  if (m.link().cncMachine && m.transferOpen()) m.stopTransfer();

  loadTravelFeed();
  m.send(selectSlotCommand(0, CommandForm::immediate));
  plan(*project, scope);
  ctx_.travelHeight = plan_.travelHeight;
  clearStoredJob();
  loadTravelFeed();

  const bool laser = m.model().machineParams.isLaser != 0;
  if (!laser) {
    plan_.head = WybierzGlowicePrzedObrobka(*project, project->selected);
    if (plan_.head < 0) return tVariantOutcome::noHead;
  }
  if (!startTool(*project)) return tVariantOutcome::enclosureOpen;
  if (resuming_) {
    // A job taken up again gets the start's checks of the machine's reach.
    if (refused(checks(*project, machineNow()).zRange(ctx_.travelHeight))) return tVariantOutcome::zRange;
    if (!preflightCheck(*project)) return tVariantOutcome::preflight;
  }
  return writeAndHandOverSelection(*project);
}

tVariantOutcome tStartOfCutting::resumeFrom(TMDIChild* project, int figure, int layer) {
  if (project == nullptr) return tVariantOutcome::noProject;
  if (figure < 0 || figure >= static_cast<int>(project->fig.size())) return tVariantOutcome::noSelection;
  project->selected = figure;
  resuming_ = true;
  resumeLayer_ = layer;
  const tVariantOutcome outcome = cutSelection(project, tJobScope::fromSelectedFigure);
  resuming_ = false;
  resumeLayer_ = -1;
  return outcome;
}

tVariantOutcome tStartOfCutting::writeAndHandOverSelection(TMDIChild& project) {
  tStartMachine& m = ctx_.machine;
  tJobResult written;
  if (!writeJobFile(project, written)) return tVariantOutcome::writeFailed;
  if (m.link().cncMachine && m.transferOpen()) m.stopTransfer();
  if (!moveToStart()) {
    m.send(selectSlotCommand(2, CommandForm::immediate));
    return tVariantOutcome::startPositionFailed;
  }
  return handOver(project) ? tVariantOutcome::started : tVariantOutcome::transferFailed;
}

}  // namespace trazvik
