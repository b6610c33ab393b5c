#include "control/trans_arm.h"

#include "machine/commands_immediate.h"
#include "machine/state_bits.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace trazvik {

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

void TTransArm::Tick() {
  if (!isOpen) return;
  if (atEnd()) {
    finish();
    return;
  }
  ctx_.reader.readStateOnly();
  ctx_.flags.requestsSeen |= ctx_.st.StateExtend & machineRequestBits;
  if (!ctx_.linkUp()) {
    linkLost();
    return;
  }
  if (ctx_.st.bit(stateBit::bufferFull)) {
    if (ctx_.flags.transferActive) showProgress(false);
    ctx_.flags.transferActive = false;
    return;
  }
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
    if (licznik == startAfterCommands) sendGo();
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
