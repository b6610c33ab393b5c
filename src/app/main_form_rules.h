// TMainForm's commands without the window: which menu items and toolbar
// buttons are enabled and shown, their hints, the manuals on offer and the
// download page. The desktop program asks these and only applies the
// answers to its widgets.
#pragma once
#include "no_qt.h"

#include <functional>
#include <map>
#include <string>

namespace trazvik::app {

// What the menu update looks at.
struct tStanGlownegoOkna {
  int projectCount = 0;            // open project windows
  bool machine = false;            // a controller is present on the link
  int activeFileType = 0;          // 1 plot, 2 DXF, 3 G-code, 4 bitmap; 0 without a project
  int activeZoom = 1;              // zoom level of the active project window
  bool activeMultiLayer = false;   // the active project was opened as multi-layer
  bool multiLayerSetting = false;  // ProjektType is multi-layer now
  bool canContinue = false;        // a paused job can be continued
  bool jobActive = false;          // a job is being sent, runs or is paused
  bool serviceMode = false;
  bool saveLogToXml = false;
  bool jobLogging = false;
  bool toolMeasureMachine = false;  // tool length family with firmware 7.17 or later
  int headCount = 1;
  bool vacuumPump = false;
  bool notificationPending = false;  // the end-of-job signal is repeating
  bool laserManual = false;          // the manual files exist
  bool millManual = false;
  // The program can run cutting commands (start, continue, pause, repeat
  // and the cut variants); without them these stay disabled.
  bool cuttingAvailable = false;
};

struct tStanKontrolki {
  bool enabled = true;
  bool visible = true;
  bool operator==(const tStanKontrolki&) const = default;
};

// Every menu item and toolbar control by component name (File1,
// FileOpenItem, SpeedStart, tbZoom, rgGlowica, ...) with its state.
std::map<std::string, tStanKontrolki> UpdateMenuItems(const tStanGlownegoOkna& s);

// The cutting commands that need the cutting side of the program.
bool isCuttingCommand(const std::string& componentName);

// A toolbar hint: caption + "  (" + shortcut + ")|" + long hint. The part
// before "|" is the short hint, the part after it the long one.
std::string hintWithShortcut(const std::string& caption, const std::string& shortcut, const std::string& longHint);
// The short part of a hint (before the first "|") and the long part (after
// it; the whole text when there is no "|").
std::string shortHint(const std::string& hint);
std::string longHint(const std::string& hint);

// A manual's file: programDirectory + "Trazvik_" + key + "_manual_" + code +
// ".pdf", or the "US" file when the one of the language is missing; empty
// when neither exists. Keys: "Quennet" (milling machine), "WTK" (laser).
std::string manualFile(const std::string& programDirectory, const std::string& key, const std::string& languageCode,
                       const std::function<bool(const std::string&)>& exists);
inline constexpr const char* kManualMill = "Quennet";
inline constexpr const char* kManualLaser = "WTK";

// The maker's download page: Polish for "PL", English otherwise.
std::string downloadPage(const std::string& languageCode);

// The zoom slider: levels 1 (whole project) to 10.
inline constexpr int kZoomMin = 1;
inline constexpr int kZoomMax = 10;
int zoomIn(int level);
int zoomOut(int level);

}  // namespace trazvik::app
