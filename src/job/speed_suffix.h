// How planned speed codes reach the controller. The narrow set appends "l"
// limits and stop pauses after the moves; the wide set carries a code in
// every move.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"

#include <cstdint>

namespace trazvik {

// The limit state of a narrow-set figure: the limit the controller holds and
// whether a limit is active. One instance per job.
class tNarrowSpeedLimits {
 public:
  explicit tNarrowSpeedLimits(bool gcodeProgram) : gcodeProgram_(gcodeProgram) {}

  // Appends the suffix of a move to a point with planned code `code`: a
  // new "l" limit (in a job from a drawing only when it differs from the
  // held one by more than 10 %), "l" 1 to lift a limit, and at a stop the
  // pause ("p" 1, or "p" 20 in a job from a G-code program).
  void appendSuffix(Bytes& out, std::uint16_t code);

  std::uint16_t limit() const { return limit_; }
  bool limitActive() const { return active_; }

 private:
  void lift(Bytes& out);

  bool gcodeProgram_;
  std::uint16_t limit_ = 65535;
  bool active_ = true;
};

// The code a wide-set move carries.
struct tCarriedSpeed {
  std::uint16_t code = 65535;
  bool stop = false;  // the point is a stop: the writer pauses there
};

// In a job from a drawing the code is carried from point to point: a free
// point carries 1, a limited one its code, a stop 65535. A job from a G-code
// program carries each point's own code.
class tWideSpeedCarriage {
 public:
  explicit tWideSpeedCarriage(bool gcodeProgram) : gcodeProgram_(gcodeProgram) {}
  tCarriedSpeed carry(std::uint16_t code);

 private:
  bool gcodeProgram_;
  std::uint16_t current_ = 65535;
};

}  // namespace trazvik
