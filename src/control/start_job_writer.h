// The job writer as the start of cutting calls it: the project's figures
// written in the given output mode, layer by layer or with one set of
// parameters, for the machine as it is at that moment, with the head the
// start chose and the travel height it set.
#pragma once
#include "no_qt.h"

#include "control/start_of_cutting.h"
#include "job/job_machine.h"
#include "job/job_writer.h"

#include <functional>

namespace trazvik {

// The travel height of a drawing's job as the tool-radius outline leaves it
// (material thickness + underlay + clearance, mm above the work zero's Z);
// the start replaces it for G-code programs and lasers.
double outlineTravelHeight(const TDlgkonfig& settings);

// One save of the project (`save`) through the job writer in the request's
// output mode, the project's own mode restored after; the writer's outcome
// as the start and the cutting variants look at it.
tJobWriteResult writeThroughJobWriter(TMDIChild& project, const TDlgkonfig& settings, const tJobMachine& machine,
                                      const tJobRequest& request, const std::function<bool(TMDIChild&)>& save);

// `machine` gives the identified machine at the moment of writing; `head`
// and `travelHeight` are read when the job is written.
tJobWriterCall startJobWriter(const TDlgkonfig& settings, std::function<tJobMachine()> machine, const int& head,
                              const double& travelHeight);

}  // namespace trazvik
