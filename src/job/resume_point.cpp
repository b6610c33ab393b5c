#include "job/resume_point.h"

#include "job/command_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trazvik {

namespace {

double distance(const tToolPoint& a, const tToolPoint& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

double distanceToSegment(const tToolPoint& p, const tToolPoint& a, const tToolPoint& b) {
  const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
  const double len2 = dx * dx + dy * dy + dz * dz;
  if (len2 <= 0) return distance(p, a);
  double t = ((p.x - a.x) * dx + (p.y - a.y) * dy + (p.z - a.z) * dz) / len2;
  t = std::clamp(t, 0.0, 1.0);
  return distance(p, {a.x + t * dx, a.y + t * dy, a.z + t * dz});
}

std::string pointText(const tToolPoint& p) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "X %.3f, Y %.3f, Z %.3f mm", p.x, p.y, p.z);
  return buffer;
}

// Where byte `at` leaves the job: the block in progress and whether its
// cutting had begun. A figure whose cutting has run is done: the point
// moves on to the next block, not begun.
bool movesBetween(const tJobTrack* track, std::uint64_t from, std::uint64_t to) {
  if (!track) return from < to;
  for (std::size_t i = 0; i < track->ends.size(); ++i)
    if (track->moves[i] && track->ends[i] > from && track->ends[i] <= to) return true;
  return false;
}

void place(const tJobIndex& index, std::uint64_t at, tResumePoint& r, const tJobTrack* track = nullptr) {
  r.executed = at;
  auto b = index.blockAt(at);
  // No move of the cut is left once its last one has run: the commands
  // after it only end the cut.
  if (b && index.blocks[*b].done > index.blocks[*b].cut && at > index.blocks[*b].cut &&
      !movesBetween(track, at, index.blocks[*b].done)) {
    b = *b + 1 < index.blocks.size() ? std::optional<std::size_t>(*b + 1) : std::nullopt;
    r.begun = false;
    if (!b) {
      r.complete = true;
      return;
    }
  } else if (b) {
    r.begun = at > index.blocks[*b].cut;
  }
  if (!b) {
    r.complete = true;
    return;
  }
  r.block = *b;
  r.figure = index.blocks[*b].figure;
  r.layer = index.blocks[*b].layer;
}

struct tPlace {
  bool complete;
  std::size_t block;
  bool begun;
  bool operator==(const tPlace&) const = default;
};

tPlace placeOf(const tJobIndex& index, std::uint64_t at, const tJobTrack* track) {
  tResumePoint r;
  place(index, at, r, track);
  return {r.complete, r.block, r.begun};
}

}  // namespace

const char* resumeCertaintyName(tResumeCertainty c) {
  switch (c) {
    case tResumeCertainty::exact: return "exact";
    case tResumeCertainty::estimated: return "estimated";
    case tResumeCertainty::unknown: return "unknown";
  }
  return "?";
}

tJobTrack tJobTrack::of(std::span<const std::uint8_t> job, const tJobIndex& index, const tCommandSet& set,
                        const tCommandLengths& lengths) {
  tJobTrack t;
  t.start = {index.originX, index.originY, index.startZ};
  const double fx = set.axisFactorX * 100, fy = set.axisFactorY * 100, fz = set.axisFactorZ * 100;
  std::int64_t x = 0, y = 0;
  std::int64_t z = fz > 0 ? stepsOfMm(index.startZ, set.axisFactorZ) : 0;
  for (const tDecodedCommand& c : decodeCommandStream(job, set, lengths)) {
    const bool move = c.kind == CommandKind::move;
    if (move) {
      x += c.delta.dx;
      y += c.delta.dy;
      if (c.thirdAxis == ThirdAxis::z) z += c.delta.dz;
    }
    t.ends.push_back(c.offset + c.bytes.size());
    t.points.push_back({index.originX + (fx > 0 ? static_cast<double>(x) / fx : 0),
                        index.originY + (fy > 0 ? static_cast<double>(y) / fy : 0),
                        fz > 0 ? static_cast<double>(z) / fz : 0});
    t.moves.push_back(move);
  }
  return t;
}

std::optional<tToolPoint> tJobTrack::at(std::uint64_t offset) const {
  if (offset == 0) return start;
  const auto it = std::lower_bound(ends.begin(), ends.end(), offset);
  if (it == ends.end() || *it != offset) return std::nullopt;
  return points[static_cast<std::size_t>(it - ends.begin())];
}

std::optional<std::uint64_t> tJobTrack::moveThrough(const tToolPoint& p, std::uint64_t from, std::uint64_t to,
                                                    double tolerance) const {
  for (std::size_t i = 0; i < ends.size(); ++i) {
    const std::uint64_t begin = i == 0 ? 0 : ends[i - 1];
    if (begin < from) continue;
    if (begin >= to) break;
    if (!moves[i]) continue;
    const tToolPoint& a = i == 0 ? start : points[i - 1];
    if (distanceToSegment(p, a, points[i]) <= tolerance) return begin;
  }
  return std::nullopt;
}

std::optional<std::size_t> tResumePoint::startBlock(const tJobIndex& index, bool fromNext) const {
  if (complete) return std::nullopt;
  if (!(fromNext && begun)) return block;
  if (block + 1 < index.blocks.size()) return block + 1;
  return std::nullopt;
}

namespace {

// After a reset only what was seen to run counts.
tResumePoint afterReset(const tJobIndex& index, const tJobTrack& track, const tResumeEvidence& e) {
  tResumePoint r;
  place(index, e.confirmed, r, &track);
  r.homingRequired = !e.homedSinceLoss;
  r.certainty = e.confirmed > 0 ? tResumeCertainty::estimated : tResumeCertainty::unknown;
  r.account = std::string("The controller no longer holds the job (it was reset or switched off): its position ") +
              (e.homedSinceLoss ? "was lost and the machine has been homed since."
                                : "is lost and the machine must be homed before the job is taken up.") +
              " The tool was last seen past byte " + std::to_string(e.confirmed) + " of the job; " +
              std::to_string(e.sent) + " bytes had been sent" + (e.sentIsLowerBound ? " or more" : "") +
              ", and how much of the rest ran is not known.";
  return r;
}

// The places from byte `from` to `to` where the job's track stands at `p`.
std::vector<std::uint64_t> placesAt(const tJobTrack& track, const tToolPoint& p, std::uint64_t from, std::uint64_t to) {
  std::vector<std::uint64_t> found;
  if (from == 0 && distance(track.start, p) <= kResumePositionTolerance) found.push_back(0);
  for (std::size_t i = 0; i < track.ends.size(); ++i)
    if (track.ends[i] >= from && track.ends[i] <= to && distance(track.points[i], p) <= kResumePositionTolerance)
      found.push_back(track.ends[i]);
  return found;
}

// Every command but the last ones on their way when the link went or the
// record was made had its echo or report taken: the search for the place
// goes back no further than three commands before the byte sent.
std::uint64_t windowStart(const tJobTrack& track, const tResumeEvidence& e) {
  const auto last = std::lower_bound(track.ends.begin(), track.ends.end(), e.sent);
  const auto back = std::distance(track.ends.begin(), last);
  const std::uint64_t near = back >= 3 ? *(last - 3) : 0;
  return std::max(e.confirmed, near);
}

// The earliest of the places found; exact when they all leave the job at
// the same figure in the same state.
void takeEarliest(const tJobIndex& index, const tJobTrack& track, const std::vector<std::uint64_t>& places,
                  tResumePoint& r) {
  place(index, places.front(), r, &track);
  const tPlace first = placeOf(index, places.front(), &track);
  bool same = true;
  for (std::uint64_t c : places) same = same && placeOf(index, c, &track) == first;
  r.certainty = same ? tResumeCertainty::exact : tResumeCertainty::estimated;
}

// The program that sent the job knows how far: the command that was on its
// way when the link went may not have arrived, so the tool's position picks
// the byte among those seen to run and those sent.
tResumePoint drainedWithSentKnown(const tJobIndex& index, const tJobTrack& track, const tResumeEvidence& e) {
  tResumePoint r;
  const std::string ran =
      "The controller ran out what it had received of the " + std::to_string(e.sent) + " bytes sent";
  if (!e.position) {
    place(index, e.sent, r, &track);
    r.certainty = tResumeCertainty::estimated;
    r.account = ran + "; its position could not be read to confirm where the tool stands.";
    return r;
  }
  const std::uint64_t from = windowStart(track, e);
  const auto places = placesAt(track, *e.position, from, e.sent);
  if (places.empty()) {
    place(index, e.confirmed, r, &track);
    r.certainty = tResumeCertainty::estimated;
    const auto expected = track.at(e.sent);
    r.account = ran + ", but it stands at " + pointText(*e.position) + ", where the job does not stand between byte " +
                std::to_string(from) + " and the last byte sent" +
                (expected ? " (" + pointText(*expected) + ")" : std::string()) +
                ": the point is the last byte seen to run; check the machine (lost steps?) before going on.";
    return r;
  }
  takeEarliest(index, track, places, r);
  r.account =
      ran + " and stands at " + pointText(*e.position) + ", where the job is after byte " +
      std::to_string(places.front()) +
      (r.certainty == tResumeCertainty::exact ? "."
                                              : "; the job stands there at several figures: the earliest is taken.");
  return r;
}

// The workstation stopped: its last record says at least `sent` bytes went.
// The tool stands where the last byte the controller received ends; the
// first place from `sent` on where the job's track stands there is taken.
tResumePoint drainedAfterRestart(const tJobIndex& index, const tJobTrack& track, const tResumeEvidence& e) {
  tResumePoint r;
  const std::string recorded = "The workstation stopped during the job; its last record says " +
                               std::to_string(e.sent) + " bytes had been sent, and more may have gone after it";
  if (!e.position) {
    place(index, e.sent, r, &track);
    r.certainty = tResumeCertainty::unknown;
    r.account = recorded + ". The controller's position could not be read, so the point is that record.";
    return r;
  }
  const auto candidates =
      placesAt(track, *e.position, windowStart(track, e), track.ends.empty() ? 0 : track.ends.back());
  if (candidates.empty()) {
    place(index, e.sent, r, &track);
    r.certainty = tResumeCertainty::estimated;
    r.account = recorded + ". The tool stands at " + pointText(*e.position) +
                ", a place the job does not reach after that record: the point is the record itself.";
    return r;
  }
  takeEarliest(index, track, candidates, r);
  const bool same = r.certainty == tResumeCertainty::exact;
  r.account = recorded + ". The controller ran out what it had and stands at " + pointText(*e.position) +
              (same ? ", which the job reaches only there: byte " + std::to_string(candidates.front()) + "."
                    : ", which the job reaches at several figures: the earliest, byte " +
                          std::to_string(candidates.front()) + ", is taken.");
  return r;
}

}  // namespace

tResumePoint findResumePoint(const tJobIndex& index, const tJobTrack& track, const tResumeEvidence& e) {
  tResumePoint r;
  if (e.controllerForgot) {
    r = afterReset(index, track, e);
  } else if (e.drained && !e.sentIsLowerBound) {
    r = drainedWithSentKnown(index, track, e);
  } else if (e.drained) {
    r = drainedAfterRestart(index, track, e);
  } else {
    place(index, e.confirmed, r, &track);
    r.certainty = e.confirmed >= e.sent && !e.sentIsLowerBound ? tResumeCertainty::exact : tResumeCertainty::unknown;
    r.account = "The controller had not run out the job when it was last read: the tool was seen past byte " +
                std::to_string(e.confirmed) + ", and what ran after that is not known.";
  }
  if (r.complete) {
    r.account += " Every figure of the job had been cut.";
  } else {
    r.account += " Figure " + std::to_string(r.figure + 1) + " is the one in progress" +
                 (r.begun ? " (its cutting had begun)." : " (its cutting had not begun).");
  }
  return r;
}

}  // namespace trazvik
