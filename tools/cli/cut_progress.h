// The progress display of trazvik-cli cut: a bar with the percent of the job
// sent, the commands per second, the running time and the time left after
// the project's estimate. On a terminal the line is redrawn in place; into a
// file or pipe a whole line is printed now and then, so logs stay readable.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace trazvik::cli {

struct CutProgress {
  double percentSent = 0;  // of the job file
  double commandsPerSecond = 0;
  double elapsedSeconds = 0;    // running time, pauses left out
  double estimatedSeconds = 0;  // the project's estimate; 0 when unknown
  std::string state;            // "sending", "cutting", "waiting", "paused"
};

// "h:mm:ss" (or "m:ss" below an hour); "--:--" for a negative or unknown time.
std::string clockText(double seconds);
// Time left after the estimate: estimate − elapsed, at least 0; negative
// (unknown) without an estimate.
double remainingSeconds(const CutProgress& p);
// One line: "[#####.....]  42.0%  1234 cmd/s  0:12 elapsed  0:17 left  cutting".
std::string progressLine(const CutProgress& p, int barWidth = 30);

class ProgressPrinter {
 public:
  // `interval`: seconds between lines when `terminal` is false.
  ProgressPrinter(std::ostream& out, bool terminal, double interval = 2.0);
  // Shows the progress at time `now` (seconds, any origin).
  void update(const CutProgress& p, double now);
  // Ends the line on a terminal, so the next text starts on its own line.
  void interrupt();
  // The last state, always printed.
  void finish(const CutProgress& p);

 private:
  std::ostream& out_;
  bool terminal_;
  double interval_;
  double lastPrinted_ = -1e300;
  bool lineOpen_ = false;
  std::size_t lastLength_ = 0;
};

}  // namespace trazvik::cli
