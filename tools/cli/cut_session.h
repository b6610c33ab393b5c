// One job cut from the shell: the project opened, the machine reached (a
// simulated controller inside the program, a network controller or USB),
// the control panel's loop and the job transfer run by this program's own
// timer, the start of cutting, and the job followed to its end with a
// progress bar. Ctrl-C pauses the job as the pause command does and asks
// whether to continue, stop or quit.
#pragma once

#include "commands.h"
#include "cut_progress.h"
#include "project_loading.h"

#include <array>
#include <iosfwd>
#include <optional>
#include <memory>
#include <string>
#include <vector>

namespace trazvik::cli {

struct CutOptions {
  ProjectOptions project;
  std::string machine;           // sim:TYPE | tcp:HOST[:PORT[:IDENTITY_PORT]] | usb
  double simSpeed = 0;           // simulated seconds per second; 0: the default
  std::string tracePath;         // sim only: picture of the tool's path (.png/.svg)
  double connectSeconds = 10;    // waiting for the controller
  double reconnectSeconds = 30;  // waiting for a lost link to come back
  double maxSeconds = 0;         // give up after this long (0: never)
  double maxStallSeconds = 0;    // stop a controller stalled this long (0: wait)
  // A job paused this long is left paused (0: wait while someone can answer
  // on standard input, kUnattendedPauseSeconds when nobody can).
  double maxPauseSeconds = 0;
  std::vector<std::string> simFaults;  // sim: faults scheduled in the simulated controller
  std::string simJournal;              // sim: the executed job commands go here
  // Work zero X, Y, Z set on the machine before the start, mm in machine
  // coordinates (the Z zero is the height the job's depths count from).
  // Unset: the machine's own; a simulated controller gets kSimWorkZero.
  std::optional<std::array<double, 3>> workZero;
  int repeat = 0;  // runs the stored job again this many times
  int head = 1;    // head of a single-layer job, 1 to the machine's heads
  // Take up the interrupted job of the data folder instead of starting
  // anew: from the next figure (true), from the start of the interrupted
  // one (false), or as the machine's default (unset).
  bool resume = false;
  std::optional<bool> resumeFromNext;
};

inline constexpr std::array<double, 3> kSimWorkZero{20, 20, 60};

// How long a paused job waits for the machine's continue button when
// standard input is no terminal: nobody at this console can answer.
inline constexpr double kUnattendedPauseSeconds = 300;

// How the job ended.
enum class CutEnd { finished, stoppedByOperator, leftPaused, linkLost, linkFaulty, notStarted, timedOut, stalled };

struct CutSummary {
  CutEnd end = CutEnd::notStarted;
  std::string startOutcome;
  double runningSeconds = 0;  // pauses left out
  double wallSeconds = 0;
  double timeScale = 1;  // a simulated controller's clock against the wall clock
  int runs = 0;          // jobs finished (the first and its repeats)
  std::int64_t commandsSent = 0;
  double percentSent = 0;
  std::int32_t filePosition = 0;
  std::vector<std::string> logs;  // files written
  std::string jobFile;
  std::string tracePath;
};

// Runs the whole road; `in` answers the questions (Ctrl-C, the start's
// questions). Exit code: 0 finished, 1 not started, 2 stopped by the
// operator or left paused, 3 link lost or faulty, 4 timed out, 5 the
// controller stalled longer than --max-stall.
int runCut(Context& context, const CutOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

const char* cutEndName(CutEnd end);
// The exit code of runCut for how the job ended.
int exitCodeOf(CutEnd end);
std::string summaryText(const CutSummary& s, double cutMm, double travelMm, double estimatedMinutes);

}  // namespace trazvik::cli
