// The plan of one job: which figures, in which output mode, layer by layer
// or with one set of parameters, with which head and at which travel
// height, and the writer's request that follows from them. The start of
// cutting, the cutting variants and the job written without a controller
// ("trazvik-cli job", the golden jobs) all plan and write through here, so
// a job written offline is the job the start would write.
#pragma once
#include "no_qt.h"

#include "geometry/records.h"
#include "job/byte_sink.h"
#include "job/job_machine.h"
#include "job/job_writer.h"

#include <filesystem>

namespace trazvik {

class TMDIChild;
class TDlgkonfig;

// Which figures a cutting command writes.
enum class tJobScope {
  wholeProject,        // Start
  selectedFigure,      // "Tnij wybraną"
  fromSelectedFigure,  // "Start od wybranej"
};

struct tJobPlan {
  tJobScope scope = tJobScope::wholeProject;
  int outputMode = kOutputDrawing;  // kOutputProgram for a G-code program
  bool multiLayer = false;          // written layer by layer
  int head = 0;                     // 0 to 2; -1: no layer can start the job
  double travelHeight = 0;          // mm above the work zero's Z
  tJobRequest request;              // what the writer is asked for
};

// The travel height of a drawing's job as the tool-radius outline leaves it:
// material thickness + underlay + clearance above the material, mm.
double outlineTravelHeight(const TDlgkonfig& settings);

// X and Y offset of head 0 to 2 from head 1, mm (head 1 and any other
// index: 0, 0).
trealpoint headOffset(const TDlgkonfig& settings, int head);

// The head a job is cut with, 0 to 2, without talking to the machine: 0 on
// machines with fewer than two heads; a single-layer project takes the
// operator's choice `headChoice`; a multi-layer one the head of the layer
// that starts the job (selectedFigure < 0) or of the selected figure's
// layer. -1 when no layer can start the job or the figure is not there.
int planJobHead(const TMDIChild& project, const TDlgkonfig& settings, int headCount, int headChoice,
                int selectedFigure);

// Plans the job of `scope` for `machine`. `headChoice` is the operator's
// head (0 to 2) of single-layer jobs. The selected figure is the project's.
tJobPlan planJob(const TMDIChild& project, const TDlgkonfig& settings, const tMachineState& machine, tJobScope scope,
                 int headChoice);

// Writes the planned job to `path`, whole or not at all: a drawing's
// toolpaths are made again first (the selection stays; a hatched project
// keeps its hatching), and the project's view shows the file meanwhile.
// Failures come back in the result, never as an exception.
tJobResult writePlannedJob(TMDIChild& project, const TDlgkonfig& settings, const tMachineState& machine,
                           const tJobPlan& plan, const std::filesystem::path& path);
// The same into any sink.
tJobResult writePlannedJobTo(tByteSink& out, TMDIChild& project, const TDlgkonfig& settings,
                             const tMachineState& machine, const tJobPlan& plan);

}  // namespace trazvik
