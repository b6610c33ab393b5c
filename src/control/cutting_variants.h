// Cut the selected figure ("Tnij wybraną") and start from the selected
// figure ("St&art od wybranej") without their window: the start of cutting's
// preparation with fewer checks. The machine gets the travel feed, the
// stored job is cleared, the head of the selected figure is chosen, the
// powers are loaded and the safety enclosure checked, then the job of the
// selected figure (or of it and every later one) is written into "out.cnx"
// and handed to the transfer and the job log. Every refusal shows its
// message and ends the command.
#pragma once
#include "no_qt.h"

#include "control/selected_job_writer.h"
#include "control/start_of_cutting.h"

#include <functional>
#include <string>

namespace trazvik {

// Why a variant ended; `started` when the job went to the transfer.
enum class tVariantOutcome {
  noProject,
  noSelection,
  noLink,
  machineBusy,
  noHead,
  enclosureOpen,
  writeFailed,
  startPositionFailed,
  transferFailed,
  started,
};
const char* variantOutcomeName(tVariantOutcome outcome);

class tCuttingVariants {
 public:
  // `start` chooses the head; both share the start's context.
  tCuttingVariants(tStartContext& context, tStartOfCutting& start) : ctx_(context), start_(start) {}

  tSelectedJobWriterCall writeSelected;
  // The file name last chosen in the open dialog (caption of the
  // no-selection message).
  std::function<std::string()> openDialogFileName;

  tVariantOutcome Tnijwybran1Click(TMDIChild* project) { return run(project, tSelectedJob::selectedFigure); }
  tVariantOutcome Startodwybranej1Click(TMDIChild* project) { return run(project, tSelectedJob::fromSelectedFigure); }

  int chosenHead() const { return head_; }
  const std::string& jobFilePath() const { return jobFile_; }

 private:
  tVariantOutcome run(TMDIChild* project, tSelectedJob which);
  void loadTravelFeed();
  bool enclosureClosed(const TMDIChild& project);
  tVariantOutcome writeAndHandOver(TMDIChild& project, tSelectedJob which, int mode);
  void sendLetter(char letter);
  std::string txt(const char* section, const char* key) const;

  tStartContext& ctx_;
  tStartOfCutting& start_;
  int head_ = 0;
  std::string jobFile_;
};

}  // namespace trazvik
