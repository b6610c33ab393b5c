// How far a job has come, as the operator sees it in the desktop program's
// status bar and in trazvik-cli's progress line: the share of the job file
// sent, the running time with the pauses left out, and the time left after
// the project's estimate.
#pragma once
#include "no_qt.h"

#include <string>

namespace trazvik {

namespace texts {
class tInterfejs;
}

struct tJobDisplay {
  bool active = false;  // a job is being sent, runs or is paused
  bool paused = false;
  double percentSent = 0;       // of the job file, 0 to 100
  double elapsedSeconds = 0;    // running time, pauses left out
  double estimatedSeconds = 0;  // the project's estimate; 0 when unknown
};

// "h:mm:ss" (or "m:ss" below an hour); "--:--" for a negative or unknown time.
std::string clockText(double seconds);
// Time left after the estimate: estimate - elapsed, at least 0; negative
// (unknown) without an estimate.
double remainingSeconds(double estimatedSeconds, double elapsedSeconds);
// The percent sent, clamped to 0..100 (0 when not a number).
double shownPercent(const tJobDisplay& p);
// "42 %   0:12 elapsed   0:17 left": what the progress bar says.
std::string progressText(const tJobDisplay& p);
// "Job paused at 93 %." for a paused job, with "Continue it (Shift+F2) or
// stop it (...)." when `withWhatToDo`; empty otherwise.
std::string pausedJobText(const tJobDisplay& p, const texts::tInterfejs& texts, bool withWhatToDo = true);

}  // namespace trazvik
