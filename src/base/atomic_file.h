#pragma once
#include "no_qt.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace trazvik::base {

// Replaces the file at `path` by `content` whole or not at all: the bytes go
// to a temporary file in the same folder, are flushed to the disk, and only
// then is the temporary file renamed over the target. A crash, a full disk
// or a write error leaves the previous file (or no file) behind, never a
// half-written one, and never a stray temporary file after an error.
//
// A symbolic link is followed: the file it points at is replaced. An
// existing target keeps its permission bits; a new one gets the usual ones
// (0666 less the process's umask).
//
// Returns true on success. On failure returns false and, when `error` is
// given, stores a message naming the file and the operating system's reason.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view content, std::string* error = nullptr);

}  // namespace trazvik::base
