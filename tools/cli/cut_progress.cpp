#include "cut_progress.h"

#include "control/job_display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace trazvik::cli {

std::string clockText(double seconds) { return trazvik::clockText(seconds); }

double remainingSeconds(const CutProgress& p) {
  return trazvik::remainingSeconds(p.estimatedSeconds, p.elapsedSeconds);
}

std::string progressLine(const CutProgress& p, int barWidth) {
  const double percent = std::clamp(std::isfinite(p.percentSent) ? p.percentSent : 0.0, 0.0, 100.0);
  const int filled = static_cast<int>(std::floor(percent / 100.0 * barWidth));
  std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                    std::string(static_cast<std::size_t>(barWidth - filled), '.') + "]";
  char numbers[160];
  std::snprintf(numbers, sizeof numbers, " %5.1f%% %7.0f cmd/s  %s elapsed  %s left", percent,
                std::max(0.0, p.commandsPerSecond), clockText(p.elapsedSeconds).c_str(),
                clockText(remainingSeconds(p)).c_str());
  std::string line = bar + numbers;
  if (!p.state.empty()) line += "  " + p.state;
  return line;
}

ProgressPrinter::ProgressPrinter(std::ostream& out, bool terminal, double interval)
    : out_(out), terminal_(terminal), interval_(interval) {}

void ProgressPrinter::update(const CutProgress& p, double now) {
  const double gap = terminal_ ? 0.1 : interval_;
  if (now - lastPrinted_ < gap) return;
  lastPrinted_ = now;
  const std::string line = progressLine(p);
  if (terminal_) {
    std::string padded = line;
    if (padded.size() < lastLength_) padded += std::string(lastLength_ - padded.size(), ' ');
    out_ << '\r' << padded << std::flush;
    lastLength_ = line.size();
    lineOpen_ = true;
  } else {
    out_ << line << '\n' << std::flush;
  }
}

void ProgressPrinter::interrupt() {
  if (lineOpen_) out_ << '\n' << std::flush;
  lineOpen_ = false;
  lastLength_ = 0;
  lastPrinted_ = -1e300;
}

void ProgressPrinter::finish(const CutProgress& p) {
  lastPrinted_ = -1e300;
  update(p, 0);
  interrupt();
}

}  // namespace trazvik::cli
