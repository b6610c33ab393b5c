#include "base/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trazvik::base {
namespace {

namespace fs = std::filesystem;

std::string describe(const fs::path& path, const char* what, int err) {
  return std::string(what) + " \"" + path.string() + "\": " + std::strerror(err);
}

// The file that is really replaced: the end of a chain of symbolic links.
fs::path resolveTarget(const fs::path& path) {
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    fs::path resolved = fs::weakly_canonical(path, ec);
    if (!ec) return resolved;
  }
  return path;
}

// Creates a new, unique temporary file beside `target`; returns its
// descriptor or -1 with errno set.
int createTemporary(const fs::path& target, fs::path& tempPath) {
  static std::atomic<unsigned> counter{0};
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                         std::to_string(counter.fetch_add(1)) + ".tmp");
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool writeAll(int fd, std::string_view content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// Makes the rename itself durable; a failure here does not undo the write.
void syncFolder(const fs::path& target) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

}  // namespace

bool writeFileAtomically(const fs::path& path, std::string_view content, std::string* error) {
  if (path.empty() || !path.has_filename()) return fail(error, "Cannot write a file without a name");
  const fs::path target = resolveTarget(path);

  fs::path tempPath;
  int fd = createTemporary(target, tempPath);
  if (fd < 0) return fail(error, describe(target, "Cannot create a file beside", errno));

  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    ::fchmod(fd, existing.st_mode & 07777);
  }

  bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
  int savedErrno = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    savedErrno = errno;
  }
  if (!ok) {
    ::unlink(tempPath.c_str());
    return fail(error, describe(target, "Cannot write", savedErrno));
  }
  if (::rename(tempPath.c_str(), target.c_str()) != 0) {
    savedErrno = errno;
    ::unlink(tempPath.c_str());
    return fail(error, describe(target, "Cannot replace", savedErrno));
  }
  syncFolder(target);
  return true;
}

}  // namespace trazvik::base
