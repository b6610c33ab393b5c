#pragma once
#include "base/directories.h"

#include <string>

namespace trazvik::base {

// The rule that only one copy of the program works at a time: an exclusive
// lock on the file "Trazvik" in the user's runtime folder. The operating
// system drops the lock when the process ends, however it ends, so a crashed
// copy never blocks the next start.
class SingleInstanceLock {
 public:
  enum class Outcome { Acquired, HeldByAnotherCopy, Failed };

  SingleInstanceLock() = default;
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;
  SingleInstanceLock(SingleInstanceLock&& other) noexcept;
  SingleInstanceLock& operator=(SingleInstanceLock&& other) noexcept;

  // The lock file: $XDG_RUNTIME_DIR/Trazvik, or, without a usable runtime
  // folder, Trazvik in a folder of this user under the temporary folder.
  static std::string lockFilePath(const EnvironmentLookup& environment);

  // Takes the lock on `path` without waiting. `reason` receives the
  // operating system's text when the outcome is Failed.
  Outcome acquire(const std::string& path, std::string* reason = nullptr);
  bool held() const { return fd_ >= 0; }
  void release();

 private:
  int fd_ = -1;
};

}  // namespace trazvik::base
