// A design file read byte by byte through one fixed buffer, so a file of any
// size costs the same memory.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace trazvik::import {

// The operating system's code for a file held by another process.
inline constexpr int kErrorFileInUse = 32;

class TextSource {
 public:
  TextSource();
  ~TextSource();
  TextSource(const TextSource&) = delete;
  TextSource& operator=(const TextSource&) = delete;

  // 0, or the operating system's error code of the failed open. A folder
  // cannot be opened (EISDIR); busy files give kErrorFileInUse.
  int open(const std::string& path);
  void close();
  bool isOpen() const { return file_ != nullptr; }

  // The next byte, or -1 at the end of the file (and after a read error).
  int get() {
    if (pos_ < end_) return buffer_[pos_++];
    return refill();
  }

  // The next byte without taking it, or -1 at the end.
  int peek() {
    if (pos_ < end_) return buffer_[pos_];
    const int c = refill();
    if (c >= 0) --pos_;
    return c;
  }

  // Appends the bytes up to the next line end (CR, LF or a CR LF pair,
  // which is taken too) to `out`. False, with `out` holding the line's
  // first bytes, when the line is longer than `limit` bytes.
  bool readLine(std::string& out, std::size_t limit);

  // Offset in the file of the byte that get() returns next.
  std::uint64_t offset() const { return base_ + pos_; }

  // 0, or the error code of a failed read (the file then ends early).
  int readError() const { return readError_; }

 private:
  int refill();

  static constexpr std::size_t kBufferSize = 256 * 1024;
  std::FILE* file_ = nullptr;
  std::unique_ptr<unsigned char[]> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::uint64_t base_ = 0;  // file offset of buffer_[0]
  int readError_ = 0;
};

}  // namespace trazvik::import
