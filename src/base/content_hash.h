// A short fingerprint of a file's bytes (64-bit FNV-1a with the length),
// used to tell whether a design file or a job file is still the one a
// record was made for. It guards against a changed or replaced file, not
// against a forger.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace trazvik::base {

class tContentHash {
 public:
  void add(std::span<const std::uint8_t> bytes);
  // 16 lower-case hexadecimal digits of the hash, "-", the byte count.
  std::string text() const;
  std::uint64_t size() const { return size_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
  std::uint64_t size_ = 0;
};

// The fingerprint of the file at `path`; nothing when it cannot be read.
std::optional<std::string> fileContentHash(const std::filesystem::path& path);

}  // namespace trazvik::base
