// The controller's job memory: job commands in the order received, a read
// position for execution, and the flow-control view of it (bytes received but
// not yet executed against the buffer's capacity). The whole job is kept so
// that "G" can run it again after its end, up to a storage limit.
#pragma once
#include "no_qt.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace trazvik::sim {

using Command = std::vector<std::uint8_t>;

class JobBuffer {
 public:
  // `capacity`: bytes that may wait for execution before the buffer reports
  // full; `headroom`: what it still takes beyond that (a sender checks the
  // full bit only between batches); `storageLimit`: job size kept for repeats.
  JobBuffer(std::size_t capacity, std::size_t headroom, std::size_t storageLimit);

  // Appends a command; false (and counted as dropped) when the buffer is
  // beyond capacity + headroom.
  bool accept(Command command);
  // The next command to execute, if one has arrived.
  std::optional<Command> next();

  // Back to the first command for a repeat; false when the job is no longer
  // complete in memory.
  bool rewind();
  void clear();

  bool empty() const { return stored_.empty() && discarded_ == 0; }
  bool hasPending() const { return cursor_ < stored_.size(); }
  std::size_t pendingBytes() const { return pendingBytes_; }
  bool full() const { return pendingBytes_ >= capacity_; }
  bool repeatable() const { return !stored_.empty() && discarded_ == 0; }
  std::size_t capacity() const { return capacity_; }
  std::uint64_t received() const { return received_; }
  std::uint64_t executed() const { return executed_; }
  std::uint64_t dropped() const { return dropped_; }

 private:
  std::size_t capacity_;
  std::size_t headroom_;
  std::size_t storageLimit_;
  std::deque<Command> stored_;
  std::size_t cursor_ = 0;
  std::size_t storedBytes_ = 0;
  std::size_t pendingBytes_ = 0;
  std::size_t discarded_ = 0;  // executed commands given up to stay under the storage limit
  std::uint64_t received_ = 0, executed_ = 0, dropped_ = 0;
};

}  // namespace trazvik::sim
