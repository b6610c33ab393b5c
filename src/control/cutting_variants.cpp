#include "control/cutting_variants.h"

#include "config/tdlgkonfig.h"
#include "job/command_set.h"
#include "job/commands_basic.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include <cmath>
#include <filesystem>

namespace trazvik {

const char* variantOutcomeName(tVariantOutcome outcome) {
  switch (outcome) {
    case tVariantOutcome::noProject: return "no project";
    case tVariantOutcome::noSelection: return "no figure selected";
    case tVariantOutcome::noLink: return "no link";
    case tVariantOutcome::machineBusy: return "machine busy";
    case tVariantOutcome::noHead: return "no head";
    case tVariantOutcome::enclosureOpen: return "enclosure open";
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
constexpr int kStateToolOn = 2;
constexpr int kEnclosureOpenInput = 0x08;
}  // namespace

std::string tCuttingVariants::txt(const char* section, const char* key) const {
  return ctx_.texts.dajTxt(section, key);
}

void tCuttingVariants::sendLetter(char letter) { ctx_.machine.send(Bytes{static_cast<std::uint8_t>(letter)}); }

void tCuttingVariants::loadTravelFeed() {
  tStartMachine& m = ctx_.machine;
  const tMachineParams& params = m.model().machineParams;
  const double feed = std::nearbyint(ctx_.settings.real("przespeed") * std::max(1, params.speedMultiplier));
  m.send(loadSlotCommand(0, m.speedToPeriod(static_cast<std::int64_t>(feed)), commandSetOf(m.model(), m.link()),
                         CommandForm::immediate));
}

tVariantOutcome tCuttingVariants::run(TMDIChild* project, tSelectedJob which) {
  tStartMachine& m = ctx_.machine;
  if (project == nullptr) return tVariantOutcome::noProject;
  if (project->selected < 0 || project->selected >= static_cast<int>(project->fig.size())) {
    const std::string caption = openDialogFileName ? openDialogFileName() : std::string();
    ctx_.texts.messageBox(txt("Main_window", "msgNajpierwWybierzFigure"), true,
                          caption.empty() ? std::nullopt : std::optional<std::string>(caption));
    return tVariantOutcome::noSelection;
  }
  if (which == tSelectedJob::fromSelectedFigure && ctx_.switches.checkBaseMode && ctx_.baseCheckStart)
    ctx_.baseCheckStart();
  // As for Start: nothing goes to a controller that is not there, and a
  // running job is never held and cleared under the operator's hands.
  m.readState();
  if (!m.linkUp()) return tVariantOutcome::noLink;
  if (m.state().bit(kStateMotion) || m.state().bit(kStateRunning)) return tVariantOutcome::machineBusy;
  if (ctx_.runRequested) ctx_.runRequested();
  if (m.link().cncMachine && m.transferOpen()) m.stopTransfer();

  loadTravelFeed();
  m.send(selectSlotCommand(0, CommandForm::immediate));
  const bool gcode = project->ImportFileType == 3;
  const int mode = gcode ? 5 : 4;
  if (gcode) ctx_.travelHeight = project->GcodPar.maxZ;
  for (char letter : {'Q', 'Q', 'C'}) {
    sendLetter(letter);
    m.sleep(std::chrono::milliseconds(10));
    m.waitWhileBusy();
  }
  loadTravelFeed();

  const bool laser = m.model().machineParams.isLaser != 0;
  head_ = 0;
  if (!laser) {
    head_ = start_.WybierzGlowicePrzedObrobka(*project, project->selected);
    if (head_ < 0) return tVariantOutcome::noHead;
  }
  if (!enclosureClosed(*project)) return tVariantOutcome::enclosureOpen;
  if (!laser) m.sleep(std::chrono::milliseconds(std::llround(ctx_.settings.real("CzasRozruchu") * 1000)));
  if (!gcode) {
    // The outline is built again; the selection stays.
    const int selected = project->selected;
    project->AddOutline();
    project->selected = selected;
  }
  return writeAndHandOver(*project, which, mode);
}

bool tCuttingVariants::enclosureClosed(const TMDIChild& project) {
  tStartMachine& m = ctx_.machine;
  m.setStartPowers(startingPower(ctx_, project), ctx_.settings.real("poler_power"));
  if (!m.model().safetyEnclosure) return true;
  m.readInputs();
  if ((m.link().machineInputs & kEnclosureOpenInput) == 0) return true;
  if (ctx_.stopJob) ctx_.stopJob();
  if (ctx_.toolOutputsOff) {
    ctx_.toolOutputsOff();
  } else if (m.state().bit(kStateToolOn)) {
    m.send(outputsCommand(0, m.state().sel_power, CommandForm::immediate));
  }
  ctx_.texts.messageBox(txt("Main_window", "msgSafetyEnclouserOpened"), true, std::string("Stop"));
  return false;
}

tVariantOutcome tCuttingVariants::writeAndHandOver(TMDIChild& project, tSelectedJob which, int mode) {
  tStartMachine& m = ctx_.machine;
  jobFile_ = ctx_.jobFolder + "out.cnx";
  // A job file left from an earlier start must never be sent for this one.
  std::error_code ec;
  std::filesystem::remove(jobFile_, ec);
  if (ctx_.busyCursor) ctx_.busyCursor(true);
  tJobWriteResult written;
  if (writeSelected) written = writeSelected(project, jobFile_, mode, which);
  else written.error = "no job writer";
  if (ctx_.busyCursor) ctx_.busyCursor(false);
  if (!written.written || !std::filesystem::is_regular_file(jobFile_, ec)) {
    ctx_.texts.messageBox(written.error.empty() ? jobFile_ : jobFile_ + ": " + written.error, true);
    m.send(selectSlotCommand(2, CommandForm::immediate));
    return tVariantOutcome::writeFailed;
  }
  if (m.link().cncMachine && m.transferOpen()) m.stopTransfer();
  const int head = head_ >= 0 && head_ < 3 ? head_ : 0;
  const double ox = ctx_.headOffsets[static_cast<std::size_t>(head * 2)];
  const double oy = ctx_.headOffsets[static_cast<std::size_t>(head * 2 + 1)];
  if (!m.moveToPoint(0, ctx_.travelHeight, oy, ox)) {
    m.send(selectSlotCommand(2, CommandForm::immediate));
    return tVariantOutcome::startPositionFailed;
  }
  if (!m.startTransfer()) {
    ctx_.texts.messageBox(jobFile_, true);
    m.send(selectSlotCommand(2, CommandForm::immediate));
    return tVariantOutcome::transferFailed;
  }
  if (ctx_.jobStarted) ctx_.jobStarted(cutStartInfoOf(ctx_, project));
  return tVariantOutcome::started;
}

}  // namespace trazvik
