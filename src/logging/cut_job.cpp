#include "logging/cut_job.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <utility>

namespace trazvik::logging {
namespace {

// Nearest integer, halves to even; values beyond the 32-bit range are held
// at its ends.
std::int32_t roundToInt32(double v) {
  if (!std::isfinite(v)) return 0;
  const double r = std::nearbyint(v);
  if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

}  // namespace

std::string newJobId() {
  static thread_local std::mt19937_64 engine{[] {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
  }()};
  std::uint64_t hi = engine();
  std::uint64_t lo = engine();
  hi = (hi & 0xFFFFFFFFFFFF0FFFull) | 0x0000000000004000ull;  // version 4
  lo = (lo & 0x3FFFFFFFFFFFFFFFull) | 0x8000000000000000ull;  // variant 1
  char text[40];
  std::snprintf(text, sizeof text, "%08X-%04X-%04X-%04X-%012llX", static_cast<unsigned>(hi >> 32),
                static_cast<unsigned>((hi >> 16) & 0xFFFF), static_cast<unsigned>(hi & 0xFFFF),
                static_cast<unsigned>(lo >> 48), static_cast<unsigned long long>(lo & 0xFFFFFFFFFFFFull));
  return text;
}

std::string jobStatusText(std::int32_t statusId) {
  switch (statusId) {
    case 0: return "New";
    case 1: return "Cut in progress";
    case 2: return "Cut on hold";
    case 3: return "Cut completed";
    case 4: return "Cut stopped";
    default: return "Invalid state";
  }
}

TCutJob::TCutJob(Clock clock, std::function<std::string()> makeId)
    : FStopWatch(clock), clock_(std::move(clock)), makeId_(std::move(makeId)) {
  Reset();
}

void TCutJob::setStatus(std::int32_t id) {
  FStatusId = id;
  FStatusStr = jobStatusText(id);
}

void TCutJob::Reset() {
  FJobID = makeId_();
  FMachine.clear();
  FProjectFile.clear();
  FConfigFile.clear();
  setStatus(0);
  FStartTime = FFinishTime = clock_();
  FDuration = 0;
  FCuttingPower = 0;
  FCuttingSpeed = 0;
  FCuttingAnglePause = 0;
  FEstimatedCuttingTime = 0;
  FCuttingLenght = 0;
  FNote.clear();
  FProjectHash.clear();
  FResumedFrom.clear();
  FStopWatch.Reset();
}

void TCutJob::RegisterNew(const std::string& machine, const std::string& projectFile, double cuttingLength,
                          double estimatedCuttingTime, std::int32_t cuttingAnglePause, std::int32_t cuttingSpeed,
                          double cuttingPower, const std::string& configFile) {
  Reset();
  FMachine = machine;
  FProjectFile = projectFile;
  FCuttingLenght = roundToInt32(cuttingLength);
  FEstimatedCuttingTime = roundToInt32(estimatedCuttingTime);
  FCuttingAnglePause = cuttingAnglePause;
  FCuttingSpeed = cuttingSpeed;
  FCuttingPower = static_cast<float>(roundToInt32(cuttingPower));
  FConfigFile = configFile;
  setStatus(0);
}

void TCutJob::RegisterStart() {
  FStartTime = FFinishTime = clock_();
  setStatus(1);
  FStopWatch.Restart();
}

void TCutJob::RegisterPause() {
  setStatus(2);
  FFinishTime = clock_();
  FStopWatch.Stop();
  FDuration = FStopWatch.Elapsed();
}

void TCutJob::RegisterContinue() {
  setStatus(1);
  FStopWatch.Start();
}

void TCutJob::RegisterFinish() {
  FFinishTime = clock_();
  FDuration = FStopWatch.Elapsed();
  setStatus(3);
}

void TCutJob::RegisterStop() {
  FFinishTime = clock_();
  FDuration = FStopWatch.Elapsed();
  setStatus(4);
}

void TCutJob::UpdateDuration() {
  if (FStatusId != 1) return;
  FFinishTime = clock_();
  FDuration = FStopWatch.Elapsed();
}

}  // namespace trazvik::logging
