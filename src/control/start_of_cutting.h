// Start1Click without its window: the operator's Start. It checks the
// active project against the machine (link, busy, layer data, heads, Z
// range, working area, work zero, frame, inverter, safety enclosure),
// prepares the machine (vacuum pump, head, travel feed, powers, start
// position), writes the job file "out.cnx" from the job plan, checks what
// was written, and hands the job to the transfer and the job log. Every
// refusal shows its message and ends the start.
//
// The cutting variants ("Tnij wybraną", "Start od wybranej") share the
// start's steps with fewer checks: the machine gets the travel feed, the
// stored job is cleared, the head of the selected figure is chosen, the
// powers are loaded and the safety enclosure checked, then the job of the
// selected figure (or of it and every later one) is written and handed
// over.
#pragma once
#include "no_qt.h"

#include "base/startup_switches.h"
#include "control/job_checks.h"
#include "control/job_plan.h"
#include "control/start_machine.h"
#include "geometry/records.h"
#include "logging/app_logs.h"
#include "project/narrow_figures.h"

#include <functional>
#include <optional>
#include <string>

namespace trazvik {

// Why a start ended; `started` when the job went to the transfer.
enum class tStartOutcome {
  noProject,
  noLink,
  machineBusy,
  narrowFigures,
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

// Why a cutting variant ended; `started` when the job went to the transfer.
enum class tVariantOutcome {
  noProject,
  noSelection,
  noLink,
  narrowFigures,  // the operator chose not to cut with figures the tool cannot cut
  machineBusy,
  noHead,
  enclosureOpen,
  zRange,     // a resumed job: the travel height is out of the machine's Z range
  preflight,  // a resumed job: the working area or work zero does not hold the project
  writeFailed,
  startPositionFailed,
  transferFailed,
  started,
};
const char* variantOutcomeName(tVariantOutcome outcome);

// The settings the start and the variants read, taken once per command.
struct tStartSettings {
  double travelFeed = 0;           // przespeed, mm/min
  double workSpeed = 0;            // WorkSpeed, mm/min
  double workPower = 0;            // work_power, percent
  double polishPower = 0;          // poler_power, percent
  double spindleRunUpSeconds = 0;  // CzasRozruchu
  double toolMargin = 0;           // srednica when doOutline is on, else 0, mm
  double scale = 100;              // skala, percent
  bool multiLayer = false;         // ProjektType 1
  bool vacuumBeforeStart = false;  // cbZalaczPompeProzniowa
  bool knife = false;              // CBAktywnaGlowica
};
tStartSettings startSettingsOf(const TDlgkonfig& settings);

struct tStartContext {
  tStartMachine& machine;
  TDlgkonfig& settings;
  const texts::tInterfejs& texts;
  std::string jobFolder;        // ends with "/"; "out.cnx" goes here
  double& travelHeight;         // mm, of the job writer
  std::string settingsCaption;  // the current settings file path
  base::StartupSwitches switches;
  int headChoice = 0;        // rgGlowica: head of single-layer jobs, 0 to 2
  int arcSpeedFactor = 100;  // the arc slider, for the "arcV" test switch
  // The job went to the transfer: the event and job logs.
  std::function<void(const logging::CutStartInfo&)> jobStarted{};
  // Optional window hooks.
  std::function<void(bool)> busyCursor{};
  std::function<void()> notificationsOff{};  // sWylaczPowiadomienia
  // The operator wants the job to run: runRequested set, both pause marks cleared.
  std::function<void()> runRequested{};
  std::function<void()> openLayersDialog{};
  std::function<void()> releasePanelButtons{};
  std::function<void()> stopJob{};  // the pause of a running job (enclosure open)
  // A job is being sent, runs or is paused: a start would replace it.
  std::function<bool()> jobActive{};
  std::function<void()> toolOutputsOff{};
  // Base-check mode: the job's report begun, the machine homed. Runs once
  // the controller answers and is at rest.
  std::function<void(const TMDIChild&)> baseCheckStart{};
  std::function<void()> burnBitmap{};  // bitmap projects
  // The file name last chosen in the open dialog (caption of the variants'
  // no-selection message).
  std::function<std::string()> openDialogFileName{};
};

// The tool's power at the job's start: the program's spindle speed for a
// G-code project (held within the machine's power range), the starting
// layer's for a multi-layer one, else the setting's.
double startingPower(const tStartSettings& settings, const tMachineParams& machine, const TMDIChild& project);

// What the logs record of a job handed to the transfer.
logging::CutStartInfo cutStartInfoOf(const tStartContext& context, const tStartSettings& settings,
                                     const TMDIChild& project);

class tStartOfCutting {
 public:
  explicit tStartOfCutting(tStartContext& context) : ctx_(context) {}

  // The Start command on the active project (none: nothing happens).
  tStartOutcome Start1Click(TMDIChild* project);
  // Cut the selected figure, and start from the selected figure: the
  // start's preparation with fewer checks.
  tVariantOutcome Tnijwybran1Click(TMDIChild* project) { return cutSelection(project, tJobScope::selectedFigure); }
  tVariantOutcome Startodwybranej1Click(TMDIChild* project) {
    return cutSelection(project, tJobScope::fromSelectedFigure);
  }
  // An interrupted job taken up at figure `figure`: the start from the
  // selected figure with the start's Z range and pre-flight checks; a
  // multi-layer job starts inside the layer pass `layer` (-1: none).
  tVariantOutcome resumeFrom(TMDIChild* project, int figure, int layer);

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
  int chosenHead() const { return plan_.head; }
  // The plan of the last job written (or about to be).
  const tJobPlan& plan() const { return plan_; }
  // The information the logs got at the last start.
  const logging::CutStartInfo& startInfo() const { return info_; }

 private:
  tVariantOutcome cutSelection(TMDIChild* project, tJobScope scope);
  tStartOutcome prepareMachine(TMDIChild& project);
  tStartOutcome writeAndHandOver(TMDIChild& project);
  tVariantOutcome writeAndHandOverSelection(TMDIChild& project);
  // The machine as last read, for the plan, the checks and the writer.
  tMachineState machineNow();
  tJobChecks checks(const TMDIChild& project, const tMachineState& machine) const;
  void plan(const TMDIChild& project, tJobScope scope);
  // "out.cnx" written from the plan; a failure is told and "F" 2 sent.
  bool writeJobFile(TMDIChild& project, tJobResult& result);
  bool handOver(const TMDIChild& project);
  void loadTravelFeed();
  void clearStoredJob();
  // The powers loaded, the safety enclosure checked, the spindle's run-up
  // waited for; false when the enclosure is open.
  bool startTool(const TMDIChild& project);
  // Names the figures the tool cannot cut and asks whether to cut the rest.
  // Asks whether to cut when figures of `figures` are narrower than the
  // tool; true when there are none or the operator says Yes.
  bool narrowFiguresAccepted(const TMDIChild& project, tZakresFigur figures = {});
  void sendLetter(char letter);
  void clearAndWait();
  bool moveToStart();
  void toolOffWhenOn();
  bool refused(const std::optional<tJobRefusal>& refusal);
  void error(const std::string& text, const std::optional<std::string>& caption = std::nullopt) const;
  std::string txt(const char* section, const char* key) const;

  tStartContext& ctx_;
  tStartSettings s_;
  std::string jobFile_;
  tJobPlan plan_;
  logging::CutStartInfo info_;
  bool resuming_ = false;
  int resumeLayer_ = -1;
};

}  // namespace trazvik
