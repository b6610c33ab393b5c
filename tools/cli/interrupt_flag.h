// Ctrl-C while a job runs: the signal only raises a flag; the job loop
// pauses the job and asks the operator what to do.
#pragma once

namespace trazvik::cli {

class InterruptFlag {
 public:
  // Installs the SIGINT handler; the previous one comes back at the end.
  InterruptFlag();
  ~InterruptFlag();
  InterruptFlag(const InterruptFlag&) = delete;
  InterruptFlag& operator=(const InterruptFlag&) = delete;

  // True once per Ctrl-C.
  bool take();
};

}  // namespace trazvik::cli
