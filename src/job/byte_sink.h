// Where a job file's bytes go while it is written: a stream of chunks, one
// per figure, so memory stays proportional to the largest figure. A sink
// that cannot take a chunk throws tJobWriteError naming the file and the
// operating system's reason.
#pragma once
#include "no_qt.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

namespace trazvik {

// The job file could not be written completely.
class tJobWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class tByteSink {
 public:
  virtual ~tByteSink() = default;
  // Takes the bytes whole or throws tJobWriteError.
  virtual void write(std::span<const std::uint8_t> bytes) = 0;
  // Bytes taken so far.
  virtual std::uint64_t size() const = 0;
};

// Writes to an open file descriptor (not owned). `name` is the file named
// in error messages.
class tFdSink : public tByteSink {
 public:
  tFdSink(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  void write(std::span<const std::uint8_t> bytes) override;
  std::uint64_t size() const override { return size_; }

 private:
  int fd_;
  std::string name_;
  std::uint64_t size_ = 0;
};

// Collects the bytes in memory (tests, small exports).
class tMemorySink : public tByteSink {
 public:
  void write(std::span<const std::uint8_t> bytes) override { data.insert(data.end(), bytes.begin(), bytes.end()); }
  std::uint64_t size() const override { return data.size(); }
  std::basic_string<std::uint8_t> data;
};

// A job file written whole or not at all: the bytes go to a temporary file
// beside `path`; commit() flushes it to the disk and renames it over `path`.
// Destroying the object without a successful commit removes the temporary
// file, so a failed job never leaves a file that could be sent, and an
// older job at `path` stays as it was.
class tAtomicJobFile : public tByteSink {
 public:
  // Throws tJobWriteError when the temporary file cannot be created
  // (missing folder, no permission, ...).
  explicit tAtomicJobFile(std::filesystem::path path);
  ~tAtomicJobFile() override;
  tAtomicJobFile(const tAtomicJobFile&) = delete;
  tAtomicJobFile& operator=(const tAtomicJobFile&) = delete;

  void write(std::span<const std::uint8_t> bytes) override;
  std::uint64_t size() const override { return sink_ ? sink_->size() : 0; }
  // Throws tJobWriteError when the data cannot be flushed or renamed; the
  // temporary file is removed then.
  void commit();

  const std::filesystem::path& path() const { return path_; }
  const std::filesystem::path& temporaryPath() const { return temp_; }

 private:
  void discard();

  std::filesystem::path path_;
  std::filesystem::path temp_;
  int fd_ = -1;
  std::unique_ptr<tFdSink> sink_;
};

}  // namespace trazvik
