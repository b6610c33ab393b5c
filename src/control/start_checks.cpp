// The start's steps around the job plan's checks: the head of the job
// chosen on the machine, the frame, and the pre-flight check with its
// tool-off and "F" 2.
#include "control/start_of_cutting.h"

#include "config/tdlgkonfig.h"
#include "machine/commands_basic.h"
#include "project/tmdichild.h"

namespace trazvik {
namespace {

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
  const int headCount = m.model().machineParams.headCount;
  if (headCount < 2) return 0;
  toolOffWhenOn();
  m.send(outputsCommand(0, headMask(m.state().selectedZ), CommandForm::immediate));
  const int head = planJobHead(project, ctx_.settings, headCount, ctx_.headChoice, zaznaczonaFig);
  if (head >= 0) m.activateHead(head);
  return head;
}

bool tStartOfCutting::BezRamki_mozna(const TMDIChild& project) {
  return checks(project, machineNow()).figuresFitWithoutFrame();
}

bool tStartOfCutting::preflightCheck(TMDIChild& project) {
  const std::optional<tJobRefusal> refusal = checks(project, machineNow()).placement();
  if (!refusal) return true;
  toolOffWhenOn();
  error(refusal->text, refusal->caption);
  ctx_.machine.send(selectSlotCommand(2, CommandForm::immediate));
  return false;
}

}  // namespace trazvik
