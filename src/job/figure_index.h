// Where each figure's block begins in a job file. The writer notes, for
// every figure block it writes, the figure's index in the project, the
// layer pass it belongs to and its byte range; the index goes beside the
// job ("out.cnx.idx") so that an interrupted job can be taken up again at
// a figure: the byte the controller reached names the figure in progress.
//
// The index names the job it belongs to by the job file's fingerprint and
// the design file by its own, so a stale index or a changed design file is
// told, never trusted.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace trazvik {

struct tFigureBlock {
  int figure = 0;           // index in the project's figure list
  int layer = -1;           // colour key of the layer pass of a multi-layer job; -1 in other jobs
  std::uint64_t start = 0;  // first byte of the block (travel to the figure)
  std::uint64_t cut = 0;    // first byte of the way down into the material
  std::uint64_t done = 0;   // first byte after the cutting (the retract): the figure is cut once this runs
  std::uint64_t end = 0;    // one past the block's last byte
};

struct tJobIndex {
  std::string jobHash;               // fingerprint of the job file (base::tContentHash)
  std::string projectFile;           // the design file the job was written from
  std::string projectHash;           // its fingerprint then; empty when it could not be read
  std::string machineType;           // the machine type the job was written for
  int head = 0;                      // 0 to 2, the head the job was written for
  double originX = 0, originY = 0;   // mm from the work zero: where the job's X and Y count from
  double startZ = 0;                 // mm above the work zero's Z: the height the job starts at
  std::vector<tFigureBlock> blocks;  // in job order

  // The block holding byte `at`, or the first one after it; nothing when
  // `at` lies past the last block.
  std::optional<std::size_t> blockAt(std::uint64_t at) const;
};

// "out.cnx.idx" beside "out.cnx".
std::filesystem::path jobIndexPathOf(const std::filesystem::path& jobFile);

// The index as text, one "key value" per line and one "figure" line per
// block; lines end with LF.
std::string jobIndexText(const tJobIndex& index);

// Reads the text back. A line that cannot be read is refused with its
// number; unknown keys are skipped (a newer program may add some).
std::optional<tJobIndex> parseJobIndex(const std::string& text, const std::string& name, std::string& error);

// Writes the index atomically; false with the reason naming the file.
bool writeJobIndex(const std::filesystem::path& path, const tJobIndex& index, std::string& error);

// Reads the index of `jobFile` and checks that it belongs to that file
// (by the job file's fingerprint); nothing, with the reason, otherwise.
std::optional<tJobIndex> readJobIndexOf(const std::filesystem::path& jobFile, std::string& error);

}  // namespace trazvik
