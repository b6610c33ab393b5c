// A written job file against a stored one, byte for byte; where they
// differ, the first differing command of each, by its number, offset and
// readable text. A folder of projects with their stored jobs becomes a
// regression suite for the job writer.
#pragma once
#include "no_qt.h"

#include "machine/command_lengths.h"
#include "machine/command_set.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trazvik::app {

struct tJobDifference {
  bool same = true;
  std::size_t commandIndex = 0;  // 1-based number of the first differing command
  std::size_t offset = 0;        // its byte offset in the written job
  std::string expected;          // the stored command's text ("(end of job)" past the end)
  std::string written;           // the written command's text
};

tJobDifference compareJobs(const std::vector<std::uint8_t>& stored, const std::vector<std::uint8_t>& written,
                           const tCommandSet& set, const tCommandLengths& lengths);

// "identical" or "differs at command 12 (byte 96): stored M ... | written M ...".
std::string differenceText(const tJobDifference& d);

}  // namespace trazvik::app
