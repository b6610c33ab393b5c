#include "job/byte_sink.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trazvik {

namespace fs = std::filesystem;

namespace {

std::string reason(const char* what, const std::string& name, int err) {
  return std::string(what) + " \"" + name + "\": " + std::strerror(err);
}

}  // namespace

void tFdSink::write(std::span<const std::uint8_t> bytes) {
  const std::uint8_t* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd_, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw tJobWriteError(reason("Cannot write", name_, errno));
    }
    if (written == 0) throw tJobWriteError(reason("Cannot write", name_, EIO));
    data += written;
    left -= static_cast<std::size_t>(written);
    size_ += static_cast<std::uint64_t>(written);
  }
}

tAtomicJobFile::tAtomicJobFile(fs::path path) : path_(std::move(path)) {
  if (path_.empty() || !path_.has_filename()) throw tJobWriteError("Cannot write a job file without a name");
  static std::atomic<unsigned> counter{0};
  const fs::path folder = path_.has_parent_path() ? path_.parent_path() : fs::path(".");
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_ = folder / ("." + path_.filename().string() + "." + std::to_string(::getpid()) + "." +
                      std::to_string(counter.fetch_add(1)) + ".tmp");
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0 || errno != EEXIST) break;
  }
  if (fd_ < 0) throw tJobWriteError(reason("Cannot create the job file", path_.string(), errno));
  sink_ = std::make_unique<tFdSink>(fd_, path_.string());
}

tAtomicJobFile::~tAtomicJobFile() { discard(); }

void tAtomicJobFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
  }
}

void tAtomicJobFile::write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) throw tJobWriteError(reason("Cannot write", path_.string(), EBADF));
  sink_->write(bytes);
}

void tAtomicJobFile::commit() {
  if (fd_ < 0) throw tJobWriteError(reason("Cannot write", path_.string(), EBADF));
  int err = 0;
  if (::fsync(fd_) != 0) err = errno;
  const int closed = ::close(fd_);
  fd_ = -1;
  if (err == 0 && closed != 0) err = errno;
  if (err == 0 && ::rename(temp_.c_str(), path_.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp_.c_str());
    throw tJobWriteError(reason("Cannot write", path_.string(), err));
  }
}

}  // namespace trazvik
