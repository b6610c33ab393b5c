// Writing a project's job file: the entry points the job plan
// (control/job_plan.h) and the writer's own tests use.
//
// A job is streamed figure by figure into a temporary file beside the
// target and renamed over it only when every byte was written; a job that
// cannot be written completely (missing folder, full disk, write error, a
// move the controller's fields cannot carry) leaves no file that could be
// sent, and the result names the path and the reason.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"
#include "geometry/figure.h"
#include "job/byte_sink.h"
#include "job/figure_index.h"
#include "job/job_machine.h"
#include "job/job_settings.h"
#include "job/job_state.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace trazvik {

class TMDIChild;
class TDlgkonfig;

// Output modes (the filter index of the save dialog).
inline constexpr int kOutputHpgl = 1;     // HPGL text of the figures' lists (hpgl_export.h)
inline constexpr int kOutputDrawing = 4;  // job from a drawing
inline constexpr int kOutputProgram = 5;  // job from a G-code program
// Any other mode writes an empty file.

struct tJobRequest {
  int outputMode = kOutputDrawing;
  int first = 0;       // figure indices in the project's list, both included;
  int last = -1;       // last < 0: up to the last figure
  int chosenHead = 0;  // 0 to 2, the head the job is written for
  // Height of travel moves, mm; unset: as the start of cutting sets it
  // (the program's largest Z for G-code, 0 on a laser, minus the material
  // thickness on a laser with a Z axis, else grubosc + ponad_stol + nadmat).
  std::optional<double> travelHeight;
  // The job cuts one selected figure of a G-code program / starts from one.
  bool oneSelectedFigureOfProgram = false;
  bool startsFromSelectedFigureOfProgram = false;
  // A multi-layer job taken up again inside one layer pass: the passes
  // before the layer of this colour key are left out, it is written from
  // `first` on and every later pass whole. -1: as the range says.
  int fromLayer = -1;
};

struct tJobResult {
  bool ok = false;
  std::string error;         // path and reason when not ok
  tJobExtremes extremes;     // mm, of every position a move reached
  tJobState state;           // the job state at its end: position, heads, heights
  double minR = 2147483647;  // smallest curve radius planned, mm
  std::uint64_t bytes = 0;
  int figuresWritten = 0;  // figures handed to the figure block
  // Every figure block that put bytes into the job, in job order, with the
  // job's fingerprint and what the index records of the job.
  tJobIndex index;
};

// The output mode the start of cutting uses for a project: 5 for a G-code
// program, else 4.
int outputModeFor(const TMDIChild& project);

// The travel height the start of cutting sets for this project and machine.
double defaultTravelHeight(const TMDIChild& project, const tJobSettings& settings, const tWriterMachine& machine);

// Whether the job is written layer by layer: multi-layer project type and a
// project opened as multi-layer (never a G-code program).
bool isMultiLayerJob(const TMDIChild& project, const tJobSettings& settings);

// Writes the job of the project's figures request.first..request.last for
// `machine` to `path`, whole or not at all, and its figure index beside it
// (jobIndexPathOf); an index that cannot be written fails the job too, and
// an older index is removed first so that it never describes the new job. Single-layer and multi-layer
// jobs as the project and the settings say. Never throws for file or range
// problems: they come back in the result.
tJobResult writeJob(TMDIChild& project, const TDlgkonfig& settings, const tMachineState& machine,
                    const std::filesystem::path& path, const tJobRequest& request);

// The same into any sink; the caller owns what happens to the bytes.
tJobResult writeJobTo(tByteSink& out, TMDIChild& project, const tJobSettings& settings, const tMachineState& machine,
                      const tJobRequest& request);

// The text shown when a job could not be written: the project window's
// message and the path with the reason.
std::string jobWriteErrorText(const TMDIChild& project, const std::string& reason);

}  // namespace trazvik
