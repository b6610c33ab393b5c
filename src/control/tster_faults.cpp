// What the loop tells of a link or controller that misbehaves: echoes that
// were not the commands', status replies that cannot be read, and a buffer
// reported full while the machine stands still.
#include "control/tster.h"

#include <cmath>

namespace trazvik {

void Tster::reportEchoFaults() {
  // A job command's missing echo is the transfer's to tell, with its place.
  if (!ctx_.link.ethernet || trans_.awaitingEcho()) return;
  const std::vector<tEchoFault> faults = ctx_.link.ethernet->takeEchoFaults();
  if (faults.empty()) return;
  std::string message = "The controller " + echoFaultText(faults.front());
  if (faults.size() > 1) message += " (and " + std::to_string(faults.size() - 1) + " more)";
  message += ": it may have taken another command. Look at the machine before going on.";
  ctx_.report(tControlEventKind::echoFault, -1, message);
  ctx_.errorBox(message, ctx_.text("Control_Panel", "ster.Caption"));
}

void Tster::watchLinkFault() {
  if (!ctx_.reader.linkFaulty()) {
    ctx_.flags.linkFaultTold = false;
    return;
  }
  if (ctx_.flags.linkFaultTold) return;
  if (trans_.isOpen) {
    trans_.stopForFaultyLink();
    return;
  }
  ctx_.flags.linkFaultTold = true;
  std::string message;
  if (ctx_.flags.jobStarted) {
    // The job's end can no longer be seen: it is not claimed finished.
    ctx_.flags.transferInterrupted = true;
    message = linkFaultyText(ctx_.reader.unreadableInARow(), ctx_.flags.lastFilePos, ctx_.flags.transmissionPercent);
  } else {
    message = "The controller's status replies cannot be read (" + std::to_string(ctx_.reader.unreadableInARow()) +
              " in a row): the link to the controller is faulty. Check the cable or network and the controller.";
  }
  ctx_.report(tControlEventKind::linkFaulty, 0, message);
  ctx_.errorBox(message, ctx_.text("Control_Panel", "ster.Caption"));
}

void Tster::watchStall() {
  const double seconds = trans_.stallSeconds();
  const tControlSettings& s = ctx_.settings;
  if (seconds <= 0) nextStallQuestion_ = s.stallAskSeconds;
  std::string text;
  if (seconds > 0 && seconds >= s.stallNoticeSeconds) text = controllerWaitText(seconds);
  if (text != display_.controllerWait) {
    display_.controllerWait = text;
    if (!text.empty()) ctx_.statusBar(0, text);
  }
  if (text.empty() || s.stallAskSeconds <= 0 || seconds < nextStallQuestion_) return;
  const long long whole = std::llround(std::floor(seconds));
  const std::string question = "The controller has reported its buffer full for " + std::to_string(whole) +
                               " s while the machine stands still: it takes no more of the job. Stop the job?";
  if (ctx_.texts.confirmationBox(question, texts::ButtonSet::yesNo()) != texts::DialogButton::Yes) {
    nextStallQuestion_ = seconds + s.stallAskSeconds;
    return;
  }
  trans_.stopStalled("The controller reported its buffer full while the machine stood still for " +
                     std::to_string(whole) + " s: the job was stopped at byte " +
                     std::to_string(trans_.filePosition()) + " of the job file.");
  display_.controllerWait.clear();
}

}  // namespace trazvik
