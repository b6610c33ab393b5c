// Taking up an interrupted job: the job of the data folder with its figure
// index and progress record, the evidence the controller gives now, the
// resume point, and the two ways to go on.
//
//  - "from the start of the interrupted figure": the default for routers,
//    whose recut follows the same path;
//  - "from the next figure": the default for lasers and knives, where a
//    second pass over the same line damages the work.
//
// The job itself is written again by the start-from-selected path from the
// chosen figure, with the start's safe approach (rise to the travel height
// where the tool stands, travel, then down at the figure).
#pragma once
#include "no_qt.h"

#include "control/job_progress.h"
#include "job/figure_index.h"
#include "job/resume_point.h"
#include "machine/machine_params.h"
#include "machine/plot_state.h"

#include <filesystem>
#include <optional>
#include <string>

namespace trazvik {

struct tInterruptedJob {
  std::filesystem::path jobFile;
  tJobIndex index;
  tJobProgress progress;
  tJobTrack track;
};

// The job of "out.cnx" in `dataDirectory` when its record says it did not
// finish. Nothing with an empty `error` when there is no job or it ended;
// nothing with the reason when its files do not belong together.
std::optional<tInterruptedJob> findInterruptedJob(const std::string& dataDirectory, const tCommandSet& set,
                                                  const tCommandLengths& lengths, std::string& error);

// A message when `projectFile` is not the design file the job was written
// from, or no longer holds what it held then; nothing when it does.
std::optional<std::string> projectChangeText(const tInterruptedJob& job, const std::string& projectFile);

// Before the machine is reached: why the job of `dataDirectory` cannot be
// taken up with the design file `projectFile` (no interrupted job, its
// files not belonging together, another or a changed design file);
// nothing when it can.
std::optional<std::string> resumeRefusalFor(const std::string& dataDirectory, const std::string& projectFile);

// What the controller tells now, after readState, readPositions and
// readZeroPoint. `sentKnown`: this program sent the job and still knows how
// far (a lost link that came back); false after the workstation restarted.
tResumeEvidence evidenceNow(const tInterruptedJob& job, const tplotstate& st, bool laserZAxis, bool sentKnown);

enum class tResumeChoice { interruptedFigure, nextFigure };
// Routers recut the interrupted figure; lasers and knives go on with the next.
tResumeChoice defaultResumeChoice(const tMachineParams& machine, bool knifeActive);
const char* resumeChoiceText(tResumeChoice choice);

// The figure a resume starts at (project index) and its layer pass;
// nothing when no figure is left to cut.
struct tResumeStart {
  int figure = 0;
  int layer = -1;
  std::size_t block = 0;
};
std::optional<tResumeStart> resumeStartOf(const tInterruptedJob& job, const tResumePoint& point, tResumeChoice choice);

}  // namespace trazvik
