// Start1Click without its window: the operator's Start. It checks the
// active project against the machine (link, busy, layer data, heads, Z
// range, working area, work zero, frame, inverter, safety enclosure),
// prepares the machine (vacuum pump, head, travel feed, powers, start
// position), writes the job file "out.cnx" through the job writer, checks
// what was written, and hands the job to the transfer and the job log.
// Every refusal shows its message and ends the start.
#pragma once
#include "no_qt.h"

#include "app/startup_switches.h"
#include "control/start_machine.h"
#include "geometry/records.h"
#include "logging/app_logs.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace trazvik {

class TMDIChild;
class TDlgkonfig;
namespace texts {
class tInterfejs;
}

// What the job writer reports about the job it wrote.
struct tJobWriteResult {
  bool written = false;          // the whole job is in the file
  std::string error;             // why not, for the operator
  // Extremes of the positions written, mm relative to the work zero.
  bool hasExtremes = false;
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

// Writes the job of every figure of the project to `path`. `mode` is the
// writer's output mode (5 for G-code programs, 4 otherwise); `multiLayer`
// chooses the writer of multi-layer projects.
using tJobWriterCall =
    std::function<tJobWriteResult(TMDIChild& project, const std::string& path, int mode, bool multiLayer)>;

// Why a start ended; `started` when the job went to the transfer.
enum class tStartOutcome {
  noProject,
  noLink,
  machineBusy,
  bitmap,
  layerData,
  noHead,
  headOutsideArea,
  enclosureOpen,
  zRange,
  startPositionFailed,
  preflight,
  inverter,
  writeFailed,
  flyingStart,
  tooLarge,
  transferFailed,
  started,
};
const char* startOutcomeName(tStartOutcome outcome);

struct tStartContext {
  tStartMachine& machine;
  TDlgkonfig& settings;
  const texts::tInterfejs& texts;
  std::string jobFolder;               // ends with "/"; "out.cnx" goes here
  double& travelHeight;                // mm, of the job writer
  std::string settingsCaption;         // the current settings file path
  app::StartupSwitches switches;
  int headChoice = 0;                  // rgGlowica: head of single-layer jobs, 0 to 2
  std::array<double, 6> headOffsets{}; // x, y of heads 1 to 3, mm
  int arcSpeedFactor = 100;            // the arc slider, for the "arcV" test switch
  tJobWriterCall writeJob{};
  // The job went to the transfer: the event and job logs.
  std::function<void(const logging::CutStartInfo&)> jobStarted{};
  // Optional window hooks.
  std::function<void(bool)> busyCursor{};
  std::function<void()> notificationsOff{};     // sWylaczPowiadomienia
  // The operator wants the job to run: runRequested set, both pause marks cleared.
  std::function<void()> runRequested{};
  std::function<void()> openLayersDialog{};
  std::function<void()> releasePanelButtons{};
  std::function<void()> stopJob{};              // the pause of a running job (enclosure open)
  std::function<void()> toolOutputsOff{};
  std::function<void()> baseCheckStart{};       // base-check mode
  std::function<void()> burnBitmap{};           // bitmap projects
};

// The tool's power at the job's start: the program's spindle speed for a
// G-code project, the starting layer's for a multi-layer one, else the
// setting's.
double startingPower(const tStartContext& context, const TMDIChild& project);

// What the logs record of a job handed to the transfer.
logging::CutStartInfo cutStartInfoOf(const tStartContext& context, const TMDIChild& project);

class tStartOfCutting {
 public:
  explicit tStartOfCutting(tStartContext& context) : ctx_(context) {}

  // The Start command on the active project (none: nothing happens).
  tStartOutcome Start1Click(TMDIChild* project);

  // The head of the job, 0 to 2, after releasing all heads; -1 for none.
  int WybierzGlowicePrzedObrobka(TMDIChild& project, int zaznaczonaFig);
  // The figures in the frame can be cut without it.
  bool BezRamki_mozna(const TMDIChild& project);
  // The checks against the working area and work zero before the job is
  // written; a failure shows its message, sends "F" 2 and returns false.
  bool preflightCheck(TMDIChild& project);

  // A length in the settings' unit with its decimals and unit name.
  std::string lengthText(double millimetres) const;
  const std::string& jobFilePath() const { return jobFile_; }
  int chosenHead() const { return head_; }
  // The information the logs got at the last start.
  const logging::CutStartInfo& startInfo() const { return info_; }

 private:
  tStartOutcome prepareMachine(TMDIChild& project);
  tStartOutcome writeAndHandOver(TMDIChild& project);
  bool flyingStartFits(const tJobWriteResult& written);
  bool zRangeFits(const TMDIChild& project);
  bool enclosureClosed(const TMDIChild& project);
  void sendLetter(char letter);
  void clearAndWait();
  bool moveToStart();
  void toolOffWhenOn();
  void error(const std::string& text, const std::optional<std::string>& caption = std::nullopt) const;
  std::string txt(const char* section, const char* key) const;
  double zeroX() const;
  double zeroY() const;
  double zeroZ() const;
  double areaX() const;
  double areaY() const;

  tStartContext& ctx_;
  std::string jobFile_;
  int head_ = 0;
  logging::CutStartInfo info_;
};

}  // namespace trazvik
