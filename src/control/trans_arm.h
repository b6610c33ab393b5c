// TTransArm: the timer-driven transfer of the job file "out.cnx" to the
// controller. Each step cuts the file into single commands by the command
// lengths of the identified machine and sends up to a hundred of them while
// the controller reports room in its job buffer (state bit 9 is the only
// flow control). The job is started with "G" after the seventeenth command,
// or at the end of the file when the job is shorter than that.
#pragma once
#include "no_qt.h"

#include "control/control_context.h"

#include <cstdint>
#include <fstream>
#include <string>

namespace trazvik {

inline constexpr const char* jobFileName = "out.cnx";

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

  std::int64_t filePosition() const { return pos_; }
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
  void showProgress(bool withSpinner);

  tControlContext& ctx_;
  std::ifstream fb_;
  std::int64_t pos_ = 0;
  bool goSent_ = false;
};

}  // namespace trazvik
