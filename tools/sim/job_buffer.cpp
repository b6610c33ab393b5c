#include "job_buffer.h"

#include <algorithm>

namespace trazvik::sim {

JobBuffer::JobBuffer(std::size_t capacity, std::size_t headroom, std::size_t storageLimit)
    : capacity_(std::max<std::size_t>(capacity, 1)),
      headroom_(headroom),
      storageLimit_(std::max(storageLimit, capacity + headroom)) {}

bool JobBuffer::accept(Command command) {
  if (pendingBytes_ + command.size() > capacity_ + headroom_) {
    ++dropped_;
    return false;
  }
  ++received_;
  pendingBytes_ += command.size();
  storedBytes_ += command.size();
  stored_.push_back(std::move(command));
  // Keep memory bounded: executed commands go first, and the job can then
  // no longer be repeated from memory.
  while (storedBytes_ > storageLimit_ && cursor_ > 0) {
    storedBytes_ -= stored_.front().size();
    stored_.pop_front();
    --cursor_;
    ++discarded_;
  }
  return true;
}

std::optional<Command> JobBuffer::next() {
  if (cursor_ >= stored_.size()) return std::nullopt;
  Command c = stored_[cursor_++];
  pendingBytes_ -= std::min(pendingBytes_, c.size());
  ++executed_;
  return c;
}

bool JobBuffer::rewind() {
  if (!repeatable()) return false;
  cursor_ = 0;
  pendingBytes_ = storedBytes_;
  return true;
}

void JobBuffer::clear() {
  stored_.clear();
  cursor_ = 0;
  storedBytes_ = pendingBytes_ = discarded_ = 0;
}

}  // namespace trazvik::sim
