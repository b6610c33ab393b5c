#include "control/job_display.h"

#include "texts/interfejs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trazvik {

std::string clockText(double seconds) {
  if (!(seconds >= 0) || !std::isfinite(seconds)) return "--:--";
  const long long s = std::llround(seconds);
  char text[32];
  if (s >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
  return text;
}

double remainingSeconds(double estimatedSeconds, double elapsedSeconds) {
  if (!(estimatedSeconds > 0) || !std::isfinite(estimatedSeconds)) return -1;
  return std::max(0.0, estimatedSeconds - (std::isfinite(elapsedSeconds) ? elapsedSeconds : 0.0));
}

double shownPercent(const tJobDisplay& p) {
  return std::clamp(std::isfinite(p.percentSent) ? p.percentSent : 0.0, 0.0, 100.0);
}

std::string progressText(const tJobDisplay& p) {
  char text[96];
  std::snprintf(text, sizeof text, "%.0f %%   %s elapsed   %s left", std::floor(shownPercent(p)),
                clockText(p.elapsedSeconds).c_str(),
                clockText(remainingSeconds(p.estimatedSeconds, p.elapsedSeconds)).c_str());
  return text;
}

std::string pausedJobText(const tJobDisplay& p, const texts::tInterfejs& texts, bool withWhatToDo) {
  if (!p.active || !p.paused) return {};
  char percent[16];
  std::snprintf(percent, sizeof percent, "%.0f %%", std::floor(shownPercent(p)));
  const std::string paused = texts.dajTxt("Main_window", "msgZadanieWstrzymane") + " " + percent + ".";
  return withWhatToDo ? paused + " " + texts.dajTxt("Main_window", "msgJakKontynuowac") : paused;
}

}  // namespace trazvik
