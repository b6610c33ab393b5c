// How far the job of "out.cnx" got, kept beside it ("out.cnx.run") while it
// is cut: the bytes sent, the bytes seen to have run, the tool's last known
// place, and whether the job ended. It is rewritten at most once a second
// while the job goes on and at once when it ends or is interrupted, so that
// after a lost link, a controller reset or a stopped workstation the job
// can be taken up where the machine stopped (job/resume_point.h).
#pragma once
#include "no_qt.h"

#include "job/figure_index.h"
#include "job/resume_point.h"
#include "machine/plot_state.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace trazvik {

enum class tJobRunState {
  running,      // being sent or cut as far as the record knows
  interrupted,  // the link went away before the job's end
  finished,     // the controller ended the job
  stopped,      // the operator stopped it for good: nothing to take up
};
const char* jobRunStateName(tJobRunState s);

struct tJobProgress {
  std::string jobHash;  // the job the record is about (its index's fingerprint)
  tJobRunState state = tJobRunState::running;
  std::uint64_t sent = 0;       // bytes of the job sent to the controller
  std::uint64_t confirmed = 0;  // bytes seen to have run
  std::uint64_t jobBytes = 0;
  bool controllerReset = false;            // the controller was found without the job: its position was lost
  bool homingRequired = false;             // ... and the machine has not been homed since
  std::optional<tToolPoint> lastPosition;  // mm from the work zero, when last read during the job
};

// "out.cnx.run" beside "out.cnx".
std::filesystem::path jobProgressPathOf(const std::filesystem::path& jobFile);

std::string jobProgressText(const tJobProgress& p);
std::optional<tJobProgress> parseJobProgress(const std::string& text, const std::string& name, std::string& error);
bool writeJobProgress(const std::filesystem::path& path, const tJobProgress& p, std::string& error);
// Nothing without an error when there is no record at all.
std::optional<tJobProgress> readJobProgress(const std::filesystem::path& path, std::string& error);

// The machine was homed: a job whose controller lost its position may be
// taken up again. Rewrites the record of `jobFile` when it waits for that.
void noteMachineHomed(const std::filesystem::path& jobFile);

// The tool's place in millimetres from the work zero as the status gives
// it: X, Y as the panel's project coordinates, Z above the work zero's Z.
tToolPoint toolPointOf(const tplotstate& st, bool laserZAxis);

// Keeps the record of the job being cut. The cutting session tells it when
// a job is handed to the transfer, feeds it the machine's status after
// every step of the loop, and tells it how the job ended.
class tJobFollower {
 public:
  using Clock = std::chrono::steady_clock;

  // A job of `jobFile` was handed to the transfer; false (nothing
  // followed) when its index or bytes cannot be read.
  bool begin(const std::filesystem::path& jobFile, const tCommandSet& set, const tCommandLengths& lengths,
             std::string& error);
  // What the loop knows after a step: bytes sent, the status with its
  // latest positions (read when `positionsFresh`).
  void observe(std::uint64_t sent, const tplotstate& st, bool positionsFresh, bool laserZAxis);
  // The link went away with `sent` bytes of the job sent.
  void interrupted(std::uint64_t sent);
  void finished();
  // The operator stopped the job for good ("Stop job"): the record says so,
  // so it is never offered for taking up.
  void stopped();
  bool following() const { return following_; }
  const tJobProgress& progress() const { return progress_; }
  const tJobIndex& index() const { return index_; }
  // Where the record could not be written last (empty when it could).
  const std::string& writeError() const { return writeError_; }

 private:
  void store(bool now);

  bool following_ = false;
  std::filesystem::path path_;
  tJobIndex index_;
  tJobTrack track_;
  tJobProgress progress_;
  tJobProgress stored_;
  Clock::time_point storedAt_{};
  std::string writeError_;
};

}  // namespace trazvik
