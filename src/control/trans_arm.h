// TTransArm: the timer-driven transfer of the job file "out.cnx" to the
// controller. Each step cuts the file into single commands by the command
// lengths of the identified machine and sends up to a hundred of them while
// the controller reports room in its job buffer (state bit 9 is the only
// flow control). The job is started with "G" after the seventeenth command,
// or at the end of the file when the job is shorter than that.
#pragma once
#include "no_qt.h"

#include "control/control_context.h"
#include "control/stall_watch.h"

#include <cstdint>
#include <fstream>
#include <string>

namespace trazvik {

inline constexpr const char* jobFileName = "out.cnx";

// The operator's message when the status replies could not be read
// `unreadable` times in a row and the transfer stopped at `filePos`.
std::string linkFaultyText(int unreadable, std::int64_t filePos, double percent);

class TTransArm {
 public:
  static constexpr int commandsPerTick = 100;
  static constexpr int startAfterCommands = 17;

  explicit TTransArm(tControlContext& context) : ctx_(context) {}

  // Opens the job file of the data folder and starts counting. False, with
  // nothing opened, when the file cannot be read.
  bool start();
  // Shows "msgTransmisjaZakonczona", keeps the position reached in
  // lastFilePos and closes the file.
  void stop();
  // One transfer step (the control panel's timer runs it every 10 ms while
  // the file is open).
  void Tick();

  // Seconds the controller has reported its buffer full while the machine
  // stood still (0 while it moves or has room).
  double stallSeconds() const;
  // The transfer gives up waiting for a stalled controller: it stops, and
  // the job is paused when it runs.
  void stopStalled(const std::string& message);
  // The status replies could not be read time after time: the transfer
  // stops where it is and the operator is told.
  void stopForFaultyLink();

  std::int64_t filePosition() const { return pos_; }
  // The last job command got no echo yet; the transfer's next status read
  // decides whether that was the controller's fault.
  bool awaitingEcho() const { return isOpen && unechoed_; }
  bool goSent() const { return goSent_; }
  std::string jobFilePath() const { return ctx_.dataDirectory + jobFileName; }
  // "--", "\", "|" or "/" for the spinner phase.
  static const char* spinner(std::uint8_t phase);

  bool isOpen = false;
  std::int32_t licznik = 0;    // commands sent since start
  std::int64_t totalsize = 0;  // bytes of the job file
  std::string poszlo;          // the progress text last shown
  std::uint8_t bx = 0;         // the opcode byte just read
  std::int32_t n = 0;          // commands sent in this step
  std::uint8_t licznikZ = 0;   // spinner phase 0 to 3

 private:
  enum class Read { command, end, badOpcode, truncated };
  Read readCommand(Bytes& command);
  bool atEnd() { return pos_ >= totalsize; }
  void sendGo();
  void finish();
  void linkLost();
  void badFile(const std::string& why);
  // True when the controller's echo of the command just sent (which began
  // at byte `at` of the job file) was missing or wrong; the job is held.
  bool echoFault(std::int64_t at);
  void watchBufferFull();
  void showProgress(bool withSpinner);

  tControlContext& ctx_;
  std::ifstream fb_;
  std::int64_t pos_ = 0;
  bool goSent_ = false;
  tStallWatch stall_;
  std::int64_t lastSentAt_ = 0;  // file position of the last command sent
  bool unechoed_ = false;        // it got no echo; the next read decides
};

}  // namespace trazvik
