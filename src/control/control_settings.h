// The settings the control panel, the pause and the continue operations
// read, copied out of the settings dialog by name so the loop never looks
// them up on every step and tests can set them directly.
#pragma once
#include "no_qt.h"

#include <array>

namespace trazvik {

class TDlgkonfig;
namespace config {
class Configuration;
}

struct tControlSettings {
  bool ethernetConnection = false;    // cbEthernetConnection
  bool signalAtEnd = false;           // cbSygnalNaZakonczenie
  double signalIntervalSeconds = 30;  // feInterwalSygnalizacji
  bool smoothing = false;             // wygladzanie
  bool hasKnife = false;              // CBAktywnaGlowica
  bool twoWayKnife = false;           // CBDwuKierunkowyNoz
  double materialThickness = 0;       // grubosc, mm
  double aboveTable = 0;              // ponad_stol, mm
  double travelHeight = 0;            // mm
  double retractFeed = 0;             // wiercenie_cofanie, mm/min
  double plungeFeed = 0;              // wiercenie_posuw, mm/min
  double travelFeed = 0;              // przespeed, mm/min
  double spindleRunUpSeconds = 0;     // CzasRozruchu
  int unitIndex = 0;                  // 0 mm, 1 inch, 2 foot
  // The controller reports its buffer full while the machine stands: told
  // after the first bound (a dwell or a tool change may take that long),
  // and after the second the operator is asked whether to stop the job
  // (0: never asked; the CLI stops by its own --max-stall instead).
  double stallNoticeSeconds = 3;
  double stallAskSeconds = 60;
  struct Offset {
    double x = 0, y = 0;
  };
  std::array<Offset, 3> headOffsets{};  // mm, head 1 always 0, 0

  // The material surface in millimetres above the table.
  double top() const { return materialThickness + aboveTable; }
};

// Everything from the settings; the travel height is the one the
// tool-radius outline gives (the start replaces it with its job's).
tControlSettings controlSettingsOf(const TDlgkonfig& settings);
// The program's: the travel height remembered in the configuration.
tControlSettings controlSettingsFrom(const config::Configuration& configuration);

}  // namespace trazvik
