// Where an interrupted job can be taken up again. What is known after an
// interruption is partial: the bytes the transfer sent, whether the
// controller has since run out everything it received (it holds the job
// with its buffer empty), the tool's position when the controller can
// still be read, and, after the workstation itself stopped, only the last
// record it made. The resume point is the figure block holding the last
// byte known to have run, with a plain statement of how far that can be
// trusted; when the controller lost the job (reset, switched off) its
// position is gone too and the machine must be homed first.
//
// The point never lies after what is known to have run: where the evidence
// leaves a choice, the earlier figure is taken, so a doubt costs a figure
// cut again, never a figure left out.
#pragma once
#include "no_qt.h"

#include "job/figure_index.h"
#include "machine/command_lengths.h"
#include "machine/command_set.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace trazvik {

// A point in millimetres from the work zero: X and Y as the panel's project
// coordinates, Z above the work zero's Z.
struct tToolPoint {
  double x = 0, y = 0, z = 0;
};

// The tool's position at the end of every command of a job, as the
// controller would reach it from the job's start point.
struct tJobTrack {
  std::vector<std::uint64_t> ends;  // one past each command's last byte
  std::vector<tToolPoint> points;   // the position there
  std::vector<bool> moves;          // the command moved the tool
  tToolPoint start;

  // Decodes `job`; X and Y count from the index's origin, Z from its start
  // height.
  static tJobTrack of(std::span<const std::uint8_t> job, const tJobIndex& index, const tCommandSet& set,
                      const tCommandLengths& lengths);
  // The position after the command that ends at `offset` (the start point
  // for 0); nothing when no command ends there.
  std::optional<tToolPoint> at(std::uint64_t offset) const;
  // The first command from byte `from` on whose move passes within
  // `tolerance` mm of `p`: the byte it starts at. The tool standing there
  // has run everything before it.
  std::optional<std::uint64_t> moveThrough(const tToolPoint& p, std::uint64_t from, std::uint64_t to,
                                           double tolerance) const;
};

struct tResumeEvidence {
  std::uint64_t sent = 0;              // bytes of the job known to have reached the controller
  bool sentIsLowerBound = false;       // a record made before the workstation stopped: more may have gone
  std::uint64_t confirmed = 0;         // bytes known to have run (the tool was seen past them)
  bool drained = false;                // the controller ran all it received and stands, holding the job
  bool controllerForgot = false;       // the controller no longer holds the job: reset or switched off
  bool homedSinceLoss = false;         // after such a loss the machine has been homed again
  std::optional<tToolPoint> position;  // where the tool stands now (not after a reset)
};

enum class tResumeCertainty {
  exact,      // the byte that ran last is known and the position agrees
  estimated,  // taken from the earliest byte the evidence allows
  unknown,    // nothing tells how far the job ran after `confirmed`
};
const char* resumeCertaintyName(tResumeCertainty c);

struct tResumePoint {
  bool complete = false;       // every figure block ran: nothing is left to cut
  std::uint64_t executed = 0;  // the byte the point is taken at
  std::size_t block = 0;       // the interrupted figure's block in the index
  int figure = 0;              // its index in the project
  int layer = -1;              // its layer pass in a multi-layer job
  bool begun = false;          // the tool had started down into this figure
  tResumeCertainty certainty = tResumeCertainty::exact;
  bool homingRequired = false;  // the position was lost: home the machine first
  std::string account;          // how the point was found and how far to trust it

  // The block a resume starts at: the interrupted figure, or the one after
  // it when `fromNext` and the figure had begun; nothing when no figure is
  // left.
  std::optional<std::size_t> startBlock(const tJobIndex& index, bool fromNext) const;
};

// Position agreement in mm: a controller rounds to its steps.
inline constexpr double kResumePositionTolerance = 0.05;

tResumePoint findResumePoint(const tJobIndex& index, const tJobTrack& track, const tResumeEvidence& evidence);

}  // namespace trazvik
