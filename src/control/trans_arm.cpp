#include "control/trans_arm.h"

#include "machine/commands_immediate.h"
#include "machine/state_bits.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace trazvik {

std::string linkFaultyText(int unreadable, std::int64_t filePos, double percent) {
  char share[16];
  std::snprintf(share, sizeof share, "%.0f", percent);
  return "The controller's status replies cannot be read (" + std::to_string(unreadable) +
         " in a row): the link to the controller is faulty. Sending stopped at byte " + std::to_string(filePos) +
         " of the job file (" + share + " %). Check the cable or network and the controller, then start the job again.";
}

const char* TTransArm::spinner(std::uint8_t phase) {
  static const char* const phases[] = {"--", "\\", "|", "/"};
  return phases[phase % 4];
}

bool TTransArm::start() {
  if (fb_.is_open()) fb_.close();
  isOpen = false;
  std::error_code ec;
  const auto size = std::filesystem::file_size(jobFilePath(), ec);
  fb_.open(jobFilePath(), std::ios::binary);
  if (ec || !fb_) {
    fb_.close();
    return false;
  }
  totalsize = static_cast<std::int64_t>(size);
  stall_.reset();
  unechoed_ = false;
  ctx_.flags.transferHeld = false;
  pos_ = 0;
  licznik = 0;
  goSent_ = false;
  isOpen = true;
  ctx_.flags.transmissionPercent = 0;
  ctx_.flags.transferInterrupted = false;
  return true;
}

void TTransArm::stop() {
  ctx_.statusBar(0, ctx_.text("Transmision", "msgTransmisjaZakonczona"));
  ctx_.flags.lastFilePos = static_cast<std::int32_t>(pos_);
  fb_.close();
  isOpen = false;
}

TTransArm::Read TTransArm::readCommand(Bytes& command) {
  const int b = fb_.get();
  if (b == std::char_traits<char>::eof()) return Read::end;
  bx = static_cast<std::uint8_t>(b);
  const auto length = ctx_.machine.commandLengths.of(bx);
  if (!length) return Read::badOpcode;
  command.assign(*length, 0);
  command[0] = bx;
  if (*length > 1) {
    fb_.read(reinterpret_cast<char*>(command.data() + 1), *length - 1);
    if (fb_.gcount() != static_cast<std::streamsize>(*length - 1)) return Read::truncated;
  }
  pos_ += *length;
  return Read::command;
}

void TTransArm::sendGo() {
  ctx_.flags.jobStarted = true;
  goSent_ = true;
  ctx_.send(letterCommand(immediate::startStoredJob));
}

void TTransArm::finish() {
  ctx_.flags.transferActive = false;
  stop();
  ctx_.report(tControlEventKind::transferFinished);
}

void TTransArm::linkLost() {
  ctx_.flags.transferActive = false;
  ctx_.flags.transferInterrupted = true;
  stop();
  ctx_.report(tControlEventKind::linkLost);
}

void TTransArm::badFile(const std::string& why) {
  ctx_.flags.transferActive = false;
  const std::int64_t at = pos_;
  stop();
  const std::string message = "The job file " + jobFilePath() + " " + why + " at byte " + std::to_string(at) +
                              "; the transfer was stopped there.";
  ctx_.report(tControlEventKind::badJobFile, bx, message);
  ctx_.errorBox(message, ctx_.text("Transmision", "msgTransmisja"));
}

void TTransArm::stopForFaultyLink() {
  ctx_.flags.transferActive = false;
  ctx_.flags.transferInterrupted = true;
  stop();
  ctx_.flags.linkFaultTold = true;
  const std::string message =
      linkFaultyText(ctx_.reader.unreadableInARow(), ctx_.flags.lastFilePos, ctx_.flags.transmissionPercent);
  ctx_.report(tControlEventKind::linkFaulty, 0, message);
  ctx_.errorBox(message, ctx_.text("Transmision", "msgTransmisja"));
}

bool TTransArm::echoFault(std::int64_t at) {
  if (!ctx_.link.ethernet) return false;
  const std::vector<tEchoFault> faults = ctx_.link.ethernet->takeEchoFaults();
  if (faults.empty()) return false;
  const tEchoFault& f = faults.front();
  const std::string message =
      std::string("The controller ") + (f.echo.empty() ? "did not echo" : "echoed") + " the job's command at byte " +
      std::to_string(at) + " of the job file " + jobFilePath() + " (" + hexBytes(f.command) + ")" +
      (f.echo.empty() ? std::string()
                      : " as (" + hexBytes(f.echo) + ") instead of (" + hexBytes(expectedEcho(f.command)) + ")") +
      ": it may have taken another command. The job is held; look at the machine, then continue or stop the job.";
  ctx_.report(tControlEventKind::echoFault, at, message);
  // A running job is paused; one not yet started is not started.
  if (goSent_ && ctx_.mainWindow.pauseCommand)
    ctx_.mainWindow.pauseCommand();
  else
    ctx_.flags.transferHeld = true;
  ctx_.errorBox(message, ctx_.text("Transmision", "msgTransmisja"));
  return true;
}

void TTransArm::watchBufferFull() {
  // Over USB the state report carries no positions; they are read while
  // the buffer stays full (nothing else is sent then).
  if (!ctx_.link.ethernetInUse()) ctx_.reader.readPositions();
  stall_.observe(ctx_.st, ctx_.flags.jobPaused, ctx_.now());
}

double TTransArm::stallSeconds() const { return isOpen ? stall_.seconds(ctx_.now()) : 0; }

void TTransArm::stopStalled(const std::string& message) {
  ctx_.flags.transferActive = false;
  ctx_.flags.transferInterrupted = true;
  stop();
  stall_.reset();
  ctx_.report(tControlEventKind::controllerStalled, 0, message);
  if (ctx_.flags.jobStarted && ctx_.mainWindow.pauseCommand) ctx_.mainWindow.pauseCommand();
}

void TTransArm::Tick() {
  if (!isOpen || ctx_.flags.transferHeld) return;
  if (atEnd()) {
    // A short job held before its start is started once the operator goes on.
    if (!goSent_ && licznik > 0) sendGo();
    finish();
    return;
  }
  ctx_.reader.readStateOnly();
  // A read that got no answer tells nothing of the buttons (its bits are
  // those of an earlier read, already acted on).
  if (ctx_.reader.lastReadAnswered()) ctx_.flags.requestsSeen |= ctx_.st.StateExtend & machineRequestBits;
  if (!ctx_.linkUp()) {
    linkLost();
    return;
  }
  if (ctx_.reader.linkFaulty()) {
    stopForFaultyLink();
    return;
  }
  // Nothing is known of the buffer: nothing is sent.
  if (!ctx_.reader.lastReadAnswered()) return;
  // The last command got no echo, and the controller has answered since:
  // it missed that command's echo (or the command).
  if (unechoed_) {
    unechoed_ = false;
    if (echoFault(lastSentAt_)) return;
  }
  if (ctx_.st.bit(stateBit::bufferFull)) {
    if (ctx_.flags.transferActive) showProgress(false);
    ctx_.flags.transferActive = false;
    watchBufferFull();
    return;
  }
  stall_.reset();
  ctx_.flags.transferActive = true;
  n = 0;
  Bytes command;
  while (n < commandsPerTick && !atEnd()) {
    ++n;
    const Read r = readCommand(command);
    if (r == Read::end) {
      totalsize = pos_;  // the file shrank under us: what was read is all
      break;
    }
    if (r == Read::badOpcode) {
      badFile("holds a byte that starts no command");
      return;
    }
    if (r == Read::truncated) {
      badFile("ends inside a command");
      return;
    }
    ++licznik;
    ctx_.send(command);
    if (!ctx_.linkUp()) {
      linkLost();
      return;
    }
    lastSentAt_ = pos_ - static_cast<std::int64_t>(command.size());
    if (echoFault(lastSentAt_)) break;
    if (ctx_.link.ethernet && ctx_.link.ethernetInUse() && ctx_.link.ethernet->lastExchangeSilent()) {
      unechoed_ = true;  // decided by the next status read
      break;
    }
    if (licznik >= startAfterCommands && !goSent_) sendGo();
  }
  if (ctx_.flags.transferHeld) {
    showProgress(false);
    return;
  }
  // A job shorter than seventeen commands is started once all of it is in.
  if (atEnd() && !goSent_ && licznik > 0) sendGo();
  licznikZ = static_cast<std::uint8_t>((licznikZ + 1) % 4);
  showProgress(true);
}

void TTransArm::showProgress(bool withSpinner) {
  const double percent =
      totalsize > 0 ? std::nearbyint(static_cast<double>(pos_) * 100.0 / static_cast<double>(totalsize)) : 100.0;
  ctx_.flags.transmissionPercent = percent;
  char number[32];
  std::snprintf(number, sizeof number, "%.0f", percent);
  poszlo = ctx_.text("Transmision", "msgPrzeslano") + " " + number + "% " + (withSpinner ? spinner(licznikZ) : "");
  ctx_.statusBar(0, poszlo);
}

}  // namespace trazvik
