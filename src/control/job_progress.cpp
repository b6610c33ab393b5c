#include "control/job_progress.h"

#include "base/atomic_file.h"
#include "base/keyed_records.h"
#include "geometry/bytes.h"
#include "machine/state_bits.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace trazvik {

namespace {

constexpr const char* kHeader = "trazvik job progress 1";
constexpr auto kStoreEvery = std::chrono::seconds(1);

std::optional<tJobRunState> stateOf(const std::string& s) {
  for (tJobRunState st :
       {tJobRunState::running, tJobRunState::interrupted, tJobRunState::finished, tJobRunState::stopped})
    if (s == jobRunStateName(st)) return st;
  return std::nullopt;
}

}  // namespace

const char* jobRunStateName(tJobRunState s) {
  switch (s) {
    case tJobRunState::running: return "running";
    case tJobRunState::interrupted: return "interrupted";
    case tJobRunState::finished: return "finished";
    case tJobRunState::stopped: return "stopped";
  }
  return "?";
}

std::filesystem::path jobProgressPathOf(const std::filesystem::path& jobFile) {
  std::filesystem::path p = jobFile;
  p += ".run";
  return p;
}

std::string jobProgressText(const tJobProgress& p) {
  std::string t = std::string(kHeader) + "\n";
  t += "job " + p.jobHash + "\n";
  t += "state " + std::string(jobRunStateName(p.state)) + "\n";
  t += "sent " + std::to_string(p.sent) + "\n";
  t += "confirmed " + std::to_string(p.confirmed) + "\n";
  t += "job-bytes " + std::to_string(p.jobBytes) + "\n";
  t += "controller-reset " + std::string(p.controllerReset ? "1" : "0") + "\n";
  t += "homing-required " + std::string(p.homingRequired ? "1" : "0") + "\n";
  if (p.lastPosition) {
    t += "position " + base::fixedText(p.lastPosition->x, 3) + " " + base::fixedText(p.lastPosition->y, 3) + " " +
         base::fixedText(p.lastPosition->z, 3) + "\n";
  }
  return t;
}

std::optional<tJobProgress> parseJobProgress(const std::string& text, const std::string& name, std::string& error) {
  tJobProgress p;
  error =
      base::readKeyedRecords(text, kHeader, "job progress record", name, [&](const base::tKeyedLine& l) -> std::string {
        const std::string& rest = l.rest;
        if (l.key == "job") {
          p.jobHash = rest;
        } else if (l.key == "state") {
          const auto st = stateOf(rest);
          if (!st) return "unknown state \"" + rest + "\"";
          p.state = *st;
        } else if (l.key == "sent" || l.key == "confirmed" || l.key == "job-bytes") {
          std::uint64_t v = 0;
          if (!base::readWholeNumber(rest, v)) return "bad byte count \"" + rest + "\"";
          (l.key == "sent" ? p.sent : l.key == "confirmed" ? p.confirmed : p.jobBytes) = v;
        } else if (l.key == "homing-required" || l.key == "controller-reset") {
          if (rest != "0" && rest != "1") return "bad flag \"" + rest + "\"";
          (l.key == "homing-required" ? p.homingRequired : p.controllerReset) = rest == "1";
        } else if (l.key == "position") {
          tToolPoint q;
          std::istringstream numbers(rest);
          std::string x, y, z, more;
          if (!(numbers >> x >> y >> z) || (numbers >> more) || !base::readFiniteReal(x, q.x) ||
              !base::readFiniteReal(y, q.y) || !base::readFiniteReal(z, q.z))
            return "bad position \"" + rest + "\"";
          p.lastPosition = q;
        }
        return "";
      });
  if (!error.empty()) return std::nullopt;
  auto refuse = [&](const std::string& why) -> std::optional<tJobProgress> {
    error = name + ": " + why;
    return std::nullopt;
  };
  if (p.jobHash.empty()) return refuse("no job fingerprint");
  if (p.confirmed > p.sent || p.sent > p.jobBytes) return refuse("byte counts out of order");
  return p;
}

bool writeJobProgress(const std::filesystem::path& path, const tJobProgress& p, std::string& error) {
  return base::writeFileAtomically(path, jobProgressText(p), &error);
}

std::optional<tJobProgress> readJobProgress(const std::filesystem::path& path, std::string& error) {
  error.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return parseJobProgress(text, path.string(), error);
}

void noteMachineHomed(const std::filesystem::path& jobFile) {
  const std::filesystem::path path = jobProgressPathOf(jobFile);
  std::string error;
  auto p = readJobProgress(path, error);
  if (!p || !p->homingRequired) return;
  p->homingRequired = false;
  writeJobProgress(path, *p, error);
}

tToolPoint toolPointOf(const tplotstate& st, bool laserZAxis) {
  return {(st.abspos.x - st.pos0.x) / 100.0, (st.abspos.y - st.pos0.y) / 100.0,
          laserZAxis ? (st.abspos.z - st.pos0.z) / 100.0 : (st.abspos.z + st.pos0.z) / 100.0};
}

bool tJobFollower::begin(const std::filesystem::path& jobFile, const tCommandSet& set, const tCommandLengths& lengths,
                         std::string& error) {
  following_ = false;
  path_ = jobProgressPathOf(jobFile);
  auto index = readJobIndexOf(jobFile, error);
  if (!index) return false;
  std::ifstream in(jobFile, std::ios::binary);
  const Bytes job((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  index_ = std::move(*index);
  track_ = tJobTrack::of(job, index_, set, lengths);
  progress_ = {};
  progress_.jobHash = index_.jobHash;
  progress_.jobBytes = job.size();
  following_ = true;
  store(true);
  return true;
}

void tJobFollower::observe(std::uint64_t sent, const tplotstate& st, bool positionsFresh, bool laserZAxis) {
  if (!following_ || progress_.state != tJobRunState::running) return;
  progress_.sent = std::min(std::max(progress_.sent, sent), progress_.jobBytes);
  // Held with its buffer empty, the controller has run all it received.
  if (st.bit(stateBit::jobRunning) && st.bit(stateBit::heldForEmptyBuffer)) progress_.confirmed = progress_.sent;
  if (positionsFresh && st.bit(stateBit::jobRunning)) {
    const tToolPoint p = toolPointOf(st, laserZAxis);
    progress_.lastPosition = p;
    // The tool on a move of the job has run everything before that move.
    if (const auto at = track_.moveThrough(p, progress_.confirmed, progress_.sent, kResumePositionTolerance))
      progress_.confirmed = std::max(progress_.confirmed, *at);
  }
  store(false);
}

void tJobFollower::interrupted(std::uint64_t sent) {
  if (!following_ || progress_.state != tJobRunState::running) return;
  progress_.sent = std::min(std::max(progress_.sent, sent), progress_.jobBytes);
  progress_.state = tJobRunState::interrupted;
  store(true);
}

void tJobFollower::finished() {
  // After a loss the controller can only finish what it had received, not
  // the job.
  if (!following_ || progress_.state == tJobRunState::interrupted) return;
  progress_.state = tJobRunState::finished;
  progress_.sent = progress_.confirmed = progress_.jobBytes;
  store(true);
  following_ = false;
}

void tJobFollower::stopped() {
  if (!following_) return;
  progress_.state = tJobRunState::stopped;
  store(true);
  following_ = false;
}

void tJobFollower::store(bool now) {
  const bool changed = jobProgressText(progress_) != jobProgressText(stored_);
  if (!changed) return;
  if (!now && Clock::now() - storedAt_ < kStoreEvery) return;
  if (writeJobProgress(path_, progress_, writeError_)) {
    writeError_.clear();
    stored_ = progress_;
    storedAt_ = Clock::now();
  }
}

}  // namespace trazvik
