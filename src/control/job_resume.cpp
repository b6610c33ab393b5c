#include "control/job_resume.h"

#include "base/content_hash.h"
#include "control/trans_arm.h"
#include "geometry/bytes.h"
#include "machine/state_bits.h"

#include <fstream>
#include <iterator>

namespace trazvik {

std::optional<tInterruptedJob> findInterruptedJob(const std::string& dataDirectory, const tCommandSet& set,
                                                  const tCommandLengths& lengths, std::string& error) {
  error.clear();
  tInterruptedJob job;
  job.jobFile = std::filesystem::path(dataDirectory) / jobFileName;
  auto progress = readJobProgress(jobProgressPathOf(job.jobFile), error);
  if (!progress || progress->state == tJobRunState::finished || progress->state == tJobRunState::stopped)
    return std::nullopt;
  auto index = readJobIndexOf(job.jobFile, error);
  if (!index) return std::nullopt;
  if (index->jobHash != progress->jobHash) {
    error =
        "The record " + jobProgressPathOf(job.jobFile).string() + " is about another job than " + job.jobFile.string();
    return std::nullopt;
  }
  std::ifstream in(job.jobFile, std::ios::binary);
  const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  job.progress = *progress;
  job.index = std::move(*index);
  job.track = tJobTrack::of(bytes, job.index, set, lengths);
  return job;
}

std::optional<std::string> projectChangeText(const tInterruptedJob& job, const std::string& projectFile) {
  std::error_code ec;
  const auto same = std::filesystem::equivalent(projectFile, job.index.projectFile, ec);
  if (ec || !same)
    return "The interrupted job was cut from " + job.index.projectFile + ", not from " + projectFile +
           ": it is taken up only with its own design file.";
  const auto hash = base::fileContentHash(projectFile);
  if (!hash || job.index.projectHash.empty() || *hash != job.index.projectHash)
    return "The design file " + projectFile +
           " has changed since the interrupted job was written from it: its figures may no longer be the job's, "
           "so the job is not taken up. Start it anew, or start from a selected figure.";
  return std::nullopt;
}

std::optional<std::string> resumeRefusalFor(const std::string& dataDirectory, const std::string& projectFile) {
  tInterruptedJob job;
  job.jobFile = std::filesystem::path(dataDirectory) / jobFileName;
  std::string error;
  const auto progress = readJobProgress(jobProgressPathOf(job.jobFile), error);
  if (!progress && !error.empty()) return error;
  if (!progress || progress->state == tJobRunState::finished || progress->state == tJobRunState::stopped)
    return "There is no interrupted job in " + dataDirectory + " to take up: the last job there " +
           (!progress                                  ? "left no record."
            : progress->state == tJobRunState::stopped ? "was stopped by the operator."
                                                       : "was finished.");
  auto index = readJobIndexOf(job.jobFile, error);
  if (!index) return error;
  job.index = std::move(*index);
  return projectChangeText(job, projectFile);
}

tResumeEvidence evidenceNow(const tInterruptedJob& job, const tplotstate& st, bool laserZAxis, bool sentKnown) {
  tResumeEvidence e;
  e.sent = job.progress.sent;
  // A record marked interrupted was written when the link went, by the
  // program that knew how far it had sent; one still marked running was
  // left by a program that stopped, and more may have gone after it.
  e.sentIsLowerBound = !sentKnown && job.progress.state != tJobRunState::interrupted;
  e.confirmed = job.progress.confirmed;
  const bool running = st.bit(stateBit::jobRunning);
  const bool paused = st.bit(stateBit::jobPaused);
  const bool stored = st.bit(stateBit::jobStored);
  const bool moving = st.bit(stateBit::motionRunning);
  // A controller that holds no job at all lost the one it had.
  e.controllerForgot = job.progress.controllerReset || (!running && !paused && !stored);
  e.homedSinceLoss = job.progress.controllerReset && !job.progress.homingRequired;
  // At rest with the job held for an empty buffer, or ended on its own:
  // everything it received has run.
  e.drained = !e.controllerForgot && !moving && !paused && (!running || st.bit(stateBit::heldForEmptyBuffer));
  if (!e.controllerForgot) e.position = toolPointOf(st, laserZAxis);
  return e;
}

tResumeChoice defaultResumeChoice(const tMachineParams& machine, bool knifeActive) {
  return machine.isLaser != 0 || (machine.knifeAxis != 0 && knifeActive) ? tResumeChoice::nextFigure
                                                                         : tResumeChoice::interruptedFigure;
}

const char* resumeChoiceText(tResumeChoice choice) {
  return choice == tResumeChoice::interruptedFigure ? "from the start of the interrupted figure"
                                                    : "from the next figure";
}

std::optional<tResumeStart> resumeStartOf(const tInterruptedJob& job, const tResumePoint& point, tResumeChoice choice) {
  const auto block = point.startBlock(job.index, choice == tResumeChoice::nextFigure);
  if (!block) return std::nullopt;
  const tFigureBlock& b = job.index.blocks[*block];
  return tResumeStart{b.figure, b.layer, *block};
}

}  // namespace trazvik
