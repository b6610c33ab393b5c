// The job writer as the start of cutting calls it: the project's figures
// written in the given output mode, layer by layer or with one set of
// parameters, for the machine as it is at that moment, with the head the
// start chose and the travel height it set.
#pragma once
#include "no_qt.h"

#include "control/start_of_cutting.h"
#include "job/job_machine.h"

#include <functional>

namespace trazvik {

// `machine` gives the identified machine at the moment of writing; `head`
// and `travelHeight` are read when the job is written.
// The travel height of a drawing's job as the tool-radius outline leaves it
// (material thickness + underlay + clearance, mm above the work zero's Z);
// the start replaces it for G-code programs and lasers.
double outlineTravelHeight(const TDlgkonfig& settings);

tJobWriterCall startJobWriter(const TDlgkonfig& settings, std::function<tJobMachine()> machine, const int& head,
                              const double& travelHeight);

}  // namespace trazvik
