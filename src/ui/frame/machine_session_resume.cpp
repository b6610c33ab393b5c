// Taking an interrupted job up again from the desktop program: when the
// link comes up and the data folder holds a job that did not finish, a box
// tells where the machine stopped and how far that can be trusted, and
// offers to go on from the interrupted figure or from the next one.
#include "frame/machine_session.h"

#include "frame/main_window.h"
#include "project/project_window.h"

#include <filesystem>

namespace trazvik::ui {

namespace {

ProjectWindow* windowOf(MainWindow& main, const std::string& path) {
  for (ProjectWindow* w : main.projectWindows()) {
    std::error_code ec;
    if (std::filesystem::equivalent(w->project().sciezka, path, ec)) return w;
  }
  return nullptr;
}

}  // namespace

void MachineSession::offerResume() {
  if (offeringResume_ || waiting() || !connection_->connected()) return;
  // Never over a job that goes on: one being sent, or followed and not cut
  // off by a loss.
  const tJobFollower& follower = cuttingSession_->follower();
  const bool sending = control_->transfer.isOpen && !control_->context.flags.transferHeld;
  if (sending || (follower.following() && follower.progress().state == tJobRunState::running)) return;
  std::string error;
  auto job = cuttingSession_->interruptedJob(error);
  if (!job) return;
  offeringResume_ = true;
  const texts::tInterfejs& t = context_.texts();
  const tResumePoint point = cuttingSession_->resumePoint(*job);
  const std::string head =
      t.dajTxt("Main_window", "msgPrzerwaneZadanie") + " " + job->index.projectFile + "\n\n" + point.account + "\n\n";
  const auto fromStart = resumeStartOf(*job, point, tResumeChoice::interruptedFigure);
  const auto fromNext = resumeStartOf(*job, point, tResumeChoice::nextFigure);
  if (point.complete || !fromStart) {
    offeringResume_ = false;
    return;
  }
  if (point.homingRequired) {
    t.messageBox(head + t.dajTxt("Main_window", "msgNajpierwBazowanie"), false);
    offeringResume_ = false;
    return;
  }
  const bool twoWays = fromNext && fromNext->block != fromStart->block;
  const bool nextIsDefault = cuttingSession_->defaultChoice() == tResumeChoice::nextFigure;
  std::string question =
      head + t.dajTxt("Main_window", "msgKontynuowacOdFigury") + " " + std::to_string(fromStart->figure + 1) + "?\n";
  if (twoWays) {
    question += "\n" + t.dajTxt("Main_window", "msgTakOdPoczatkuPrzerwanej") + " (" +
                std::to_string(fromStart->figure + 1) + ")" + (nextIsDefault ? "" : " *") + "\n" +
                t.dajTxt("Main_window", "msgNieOdNastepnej") + " (" + std::to_string(fromNext->figure + 1) + ")" +
                (nextIsDefault ? " *" : "") + "\n" + t.dajTxt("Main_window", "msgAnulujNieTeraz") + "\n\n* " +
                t.dajTxt("Main_window", "msgDomyslnieDlaMaszyny");
  }
  const texts::DialogButton answer =
      t.confirmationBox(question, twoWays ? texts::ButtonSet::yesNoCancel() : texts::ButtonSet::okCancel());
  if (answer == texts::DialogButton::Cancel) {
    offeringResume_ = false;
    return;
  }
  const tResumeChoice choice =
      answer == texts::DialogButton::No ? tResumeChoice::nextFigure : tResumeChoice::interruptedFigure;
  ProjectWindow* window = windowOf(main_, job->index.projectFile);
  if (!window) window = main_.OtworzProjekt(job->index.projectFile);
  if (window) {
    const tResumeResult r = cuttingSession_->resume(&window->project(), *job, point, choice);
    if (!r.started) t.messageBox(r.message, true);
  }
  main_.UpdateMenuItems();
  offeringResume_ = false;
}

}  // namespace trazvik::ui
