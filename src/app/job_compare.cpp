#include "app/job_compare.h"

#include "job/command_decoder.h"

#include <algorithm>

namespace trazvik::app {

tJobDifference compareJobs(const std::vector<std::uint8_t>& stored, const std::vector<std::uint8_t>& written,
                           const tCommandSet& set, const tCommandLengths& lengths) {
  tJobDifference d;
  if (stored == written) return d;
  d.same = false;
  const std::vector<tDecodedCommand> a = decodeCommandStream(stored, set, lengths);
  const std::vector<tDecodedCommand> b = decodeCommandStream(written, set, lengths);
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i].bytes == b[i].bytes) ++i;
  d.commandIndex = i + 1;
  d.offset = i < b.size() ? b[i].offset : written.size();
  const std::string end = "(end of job)";
  d.expected = i < a.size() ? commandText(a[i], set) : end;
  d.written = i < b.size() ? commandText(b[i], set) : end;
  return d;
}

std::string differenceText(const tJobDifference& d) {
  if (d.same) return "identical";
  return "differs at command " + std::to_string(d.commandIndex) + " (byte " + std::to_string(d.offset) + "): stored " +
         d.expected + " / written " + d.written;
}

}  // namespace trazvik::app
