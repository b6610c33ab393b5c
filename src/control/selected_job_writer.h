// The job writer as the cutting variants call it: the selected figure alone,
// or the selected figure and every one after it, for the machine as it is
// at that moment, with the head the variant chose and its travel height.
#pragma once
#include "no_qt.h"

#include "control/start_of_cutting.h"
#include "job/job_machine.h"

#include <functional>

namespace trazvik {

enum class tSelectedJob {
  selectedFigure,      // "Tnij wybraną"
  fromSelectedFigure,  // "Start od wybranej"
};

// Writes the job of the project's selected figure (or from it to the end)
// to `path` in output mode `mode` (5 for G-code programs, 4 otherwise).
using tSelectedJobWriterCall =
    std::function<tJobWriteResult(TMDIChild& project, const std::string& path, int mode, tSelectedJob which)>;

// `machine` gives the identified machine at the moment of writing; `head`
// and `travelHeight` are read when the job is written.
tSelectedJobWriterCall selectedJobWriter(const TDlgkonfig& settings, std::function<tJobMachine()> machine,
                                         const int& head, const double& travelHeight);

}  // namespace trazvik
