#include "base/single_instance.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trazvik::base {
namespace {

// A private folder of this user: it must be ours and not open to others,
// otherwise another user could hold our lock file.
bool usablePrivateFolder(const std::string& folder) {
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (::lstat(folder.c_str(), &info) != 0) return false;
  }
  return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 0022) == 0;
}

}  // namespace

SingleInstanceLock::~SingleInstanceLock() { release(); }

SingleInstanceLock::SingleInstanceLock(SingleInstanceLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

SingleInstanceLock& SingleInstanceLock::operator=(SingleInstanceLock&& other) noexcept {
  if (this != &other) {
    release();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

std::string SingleInstanceLock::lockFilePath(const EnvironmentLookup& environment) {
  std::optional<std::string> runtime = environment("XDG_RUNTIME_DIR");
  if (runtime && !runtime->empty() && std::filesystem::path(*runtime).is_absolute() &&
      std::filesystem::is_directory(*runtime)) {
    return withFinalSeparator(*runtime) + kApplicationTitle;
  }
  std::optional<std::string> tmp = environment("TMPDIR");
  std::string base = (tmp && !tmp->empty()) ? withFinalSeparator(*tmp) : std::string("/tmp/");
  std::string folder = base + "trazvik-" + std::to_string(::getuid());
  if (!usablePrivateFolder(folder)) folder = base.substr(0, base.size() - 1);
  return withFinalSeparator(folder) + kApplicationTitle;
}

SingleInstanceLock::Outcome SingleInstanceLock::acquire(const std::string& path, std::string* reason) {
  release();
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    if (reason) *reason = path + ": " + std::strerror(errno);
    return Outcome::Failed;
  }
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK) return Outcome::HeldByAnotherCopy;
    if (reason) *reason = path + ": " + std::strerror(err);
    return Outcome::Failed;
  }
  fd_ = fd;
  return Outcome::Acquired;
}

void SingleInstanceLock::release() {
  if (fd_ >= 0) {
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
  }
}

}  // namespace trazvik::base
