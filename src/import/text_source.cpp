#include "import/text_source.h"

#include <cerrno>
#include <sys/stat.h>

namespace trazvik::import {

TextSource::TextSource() : buffer_(new unsigned char[kBufferSize]) {}

TextSource::~TextSource() { close(); }

int TextSource::open(const std::string& path) {
  close();
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    const int code = errno ? errno : ENOENT;
    return (code == EBUSY || code == ETXTBSY) ? kErrorFileInUse : code;
  }
  struct stat info {};
  if (::fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return EISDIR;
  }
  std::setvbuf(file, nullptr, _IONBF, 0);  // our own buffer is enough
  file_ = file;
  pos_ = end_ = 0;
  base_ = 0;
  readError_ = 0;
  return 0;
}

void TextSource::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  base_ += end_;
  pos_ = end_ = 0;
}

bool TextSource::readLine(std::string& out, std::size_t limit) {
  for (;;) {
    if (pos_ >= end_) {
      if (refill() < 0) return true;  // the file ends the line
      --pos_;                         // refill took the first byte
    }
    // Up to the first CR or LF of the buffered bytes.
    const unsigned char* start = buffer_.get() + pos_;
    const unsigned char* const last = buffer_.get() + end_;
    const unsigned char* stop = start;
    while (stop < last && *stop != '\n' && *stop != '\r') ++stop;
    const std::size_t n = static_cast<std::size_t>(stop - start);
    const bool ends = stop < last;
    if (out.size() + n > limit) {
      out.append(reinterpret_cast<const char*>(start), limit - out.size());
      return false;
    }
    out.append(reinterpret_cast<const char*>(start), n);
    pos_ += n;
    if (ends) {
      const unsigned char c = buffer_[pos_++];
      if (c == '\r' && peek() == '\n') ++pos_;
      return true;
    }
  }
}

int TextSource::refill() {
  if (!file_ || readError_) return -1;
  base_ += end_;
  pos_ = end_ = 0;
  const std::size_t got = std::fread(buffer_.get(), 1, kBufferSize, file_);
  if (got == 0) {
    if (std::ferror(file_)) readError_ = errno ? errno : EIO;
    return -1;
  }
  end_ = got;
  return buffer_[pos_++];
}

}  // namespace trazvik::import
