// Writing the job of an opened offline project as the Start command writes
// it: planned by the start's job plan for the whole project with the
// operator's head, then written into memory.
#include "app/offline_job.h"

#include "control/job_plan.h"

namespace trazvik::app {

tOfflineJob writeOfflineJob(const tOfflineJobRequest& request, const texts::tInterfejs& texts) {
  tOfflineJob job = openOfflineProject(request, texts);
  TMDIChild& project = *job.project;
  const tMachineState& machine = job.machine;
  const tJobPlan plan = planJob(project, *job.settings, machine, tJobScope::wholeProject, request.head - 1);
  if (plan.head < 0)
    throw tOfflineJobError(request.design + ": the job cannot be written: no active layer starts the job");

  tMemorySink sink;
  tJobResult result;
  try {
    result = writePlannedJobTo(sink, project, *job.settings, machine, plan);
  } catch (const std::exception& e) {
    // A move the controller's fields cannot carry, and the like.
    throw tOfflineJobError(request.design + ": the job cannot be written: " + e.what());
  }
  if (!result.ok) throw tOfflineJobError(request.design + ": the job cannot be written: " + result.error);
  job.bytes.assign(sink.data.begin(), sink.data.end());
  job.state = result.state;
  job.state.chosenHead = plan.request.chosenHead;
  return job;
}

}  // namespace trazvik::app
