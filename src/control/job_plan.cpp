#include "control/job_plan.h"

#include "config/tdlgkonfig.h"
#include "job/job_settings.h"
#include "project/tmdichild.h"

#include <algorithm>

namespace trazvik {

namespace {

bool selectionValid(const TMDIChild& project) {
  return project.selected >= 0 && project.selected < static_cast<int>(project.fig.size());
}

// The figures of the scope, as indices of the project's list.
void figureRange(const TMDIChild& project, tJobScope scope, tJobRequest& request) {
  request.first = 0;
  request.last = -1;
  if (scope == tJobScope::wholeProject || !selectionValid(project)) return;
  request.first = project.selected;
  request.last = scope == tJobScope::selectedFigure ? project.selected : static_cast<int>(project.fig.size()) - 1;
}

// Shows the file in the project's view for as long as it is written.
class tSavingShown {
 public:
  tSavingShown(const TMDIChild& project, const std::string& path) : project_(project) { project_.pokazZapis(path); }
  ~tSavingShown() { project_.koniecZapisu(); }
  tSavingShown(const tSavingShown&) = delete;
  tSavingShown& operator=(const tSavingShown&) = delete;

 private:
  const TMDIChild& project_;
};

// A drawing's toolpaths are made again before writing; the selection stays.
void rebuildToolpaths(TMDIChild& project, const tJobPlan& plan) {
  if (plan.outputMode != kOutputDrawing || project.hasHatching) return;
  const int selected = project.selected;
  project.AddOutline();
  project.selected = selected;
}

}  // namespace

double outlineTravelHeight(const TDlgkonfig& settings) { return jobSettingsOf(settings).safe(); }

trealpoint headOffset(const TDlgkonfig& settings, int head) {
  if (head < 1 || head > 2) return {0, 0};
  const tJobSettings s = jobSettingsOf(settings);
  const std::size_t h = static_cast<std::size_t>(head);
  return {s.headOffsetX[h], s.headOffsetY[h]};
}

int planJobHead(const TMDIChild& project, const TDlgkonfig& settings, int headCount, int headChoice,
                int selectedFigure) {
  if (headCount < 2) return 0;
  if (!(project.wielowarstwowy() && settings.integer("ProjektType") == 1 && project.warstwy))
    return std::clamp(headChoice, 0, 2);
  int head = -1;
  if (selectedFigure < 0) {
    head = project.warstwy->getStartingLayerHeadIndx();
  } else if (selectedFigure < static_cast<int>(project.fig.size())) {
    head = project.warstwy->getGlowica(project.fig[static_cast<std::size_t>(selectedFigure)]->org_color) - 1;
  }
  return head > 2 ? -1 : head;
}

tJobPlan planJob(const TMDIChild& project, const TDlgkonfig& settings, const tMachineState& machine, tJobScope scope,
                 int headChoice) {
  const tJobSettings s = jobSettingsOf(settings);
  const tWriterMachine m = writerMachineOf(machine);
  tJobPlan plan;
  plan.scope = scope;
  plan.outputMode = outputModeFor(project);
  plan.multiLayer = isMultiLayerJob(project, s);
  const int selectedFigure = scope == tJobScope::wholeProject ? -1 : project.selected;
  // The variants leave a laser's head alone.
  plan.head = scope != tJobScope::wholeProject && m.laser
                  ? 0
                  : planJobHead(project, settings, m.headCount, headChoice, selectedFigure);
  plan.travelHeight = defaultTravelHeight(project, s, m);

  tJobRequest& r = plan.request;
  r.outputMode = plan.outputMode;
  figureRange(project, scope, r);
  r.chosenHead = std::clamp(plan.head, 0, 2);
  r.travelHeight = plan.travelHeight;
  // A G-code program is cut from its selected block on, or that block alone.
  const bool program = plan.outputMode == kOutputProgram;
  r.oneSelectedFigureOfProgram = program && scope == tJobScope::selectedFigure;
  r.startsFromSelectedFigureOfProgram = program && scope == tJobScope::fromSelectedFigure;
  return plan;
}

tJobResult writePlannedJob(TMDIChild& project, const TDlgkonfig& settings, const tMachineState& machine,
                           const tJobPlan& plan, const std::filesystem::path& path) {
  rebuildToolpaths(project, plan);
  tSavingShown shown(project, path.string());
  return writeJob(project, settings, machine, path, plan.request);
}

tJobResult writePlannedJobTo(tByteSink& out, TMDIChild& project, const TDlgkonfig& settings,
                             const tMachineState& machine, const tJobPlan& plan) {
  rebuildToolpaths(project, plan);
  return writeJobTo(out, project, jobSettingsOf(settings), machine, plan.request);
}

}  // namespace trazvik
