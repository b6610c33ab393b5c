// Writing the job of an opened offline project as the Start command writes
// it: the output mode of the project, the tool paths rebuilt for a drawing,
// the travel height and the head of the job, then the writer.
#include "app/offline_job.h"

#include "job/job_writer.h"

namespace trazvik::app {

namespace {

// The head the Start command chooses: a multi-layer project starts with the
// head of its starting layer, a single-layer one uses the operator's choice.
int chosenHead(const tOfflineJob& job, bool multiLayer) {
  if (job.machine.model.machineParams.headCount < 2) return 0;
  if (multiLayer && job.project->warstwy) {
    const int head = job.project->warstwy->getStartingLayerHeadIndx();
    if (head >= 0) return head;
  }
  return job.request.head - 1;
}

}  // namespace

tOfflineJob writeOfflineJob(const tOfflineJobRequest& request, const texts::tInterfejs& texts) {
  tOfflineJob job = openOfflineProject(request, texts);
  TMDIChild& project = *job.project;
  const tJobMachine machine{job.machine.model, job.machine.link, job.machine.status};
  const tJobSettings settings = jobSettingsOf(*job.settings);
  const bool multiLayer = isMultiLayerJob(project, settings);

  tJobRequest r;
  r.outputMode = outputModeFor(project);
  r.first = 0;
  r.last = -1;
  r.chosenHead = chosenHead(job, multiLayer);
  const tWriterMachine m = writerMachineOf(machine);
  r.travelHeight = defaultTravelHeight(project, settings, m);
  // A drawing's tool paths are made again before writing.
  if (r.outputMode == kOutputDrawing && !project.hasHatching) project.AddOutline();

  tMemorySink sink;
  tJobResult result;
  try {
    result = writeJobTo(sink, project, settings, machine, r);
  } catch (const std::exception& e) {
    // A move the controller's fields cannot carry, and the like.
    throw tOfflineJobError(request.design + ": the job cannot be written: " + e.what());
  }
  if (!result.ok) throw tOfflineJobError(request.design + ": the job cannot be written: " + result.error);
  job.bytes.assign(sink.data.begin(), sink.data.end());

  job.state.extremes = result.extremes;
  job.state.chosenHead = r.chosenHead;
  job.state.travelHeight = *r.travelHeight;
  const bool travelIsSafe = project.ImportFileType == kFileTypeGcode || m.laserZAxis;
  job.state.safeHeight = travelIsSafe ? *r.travelHeight : settings.safe();
  return job;
}

}  // namespace trazvik::app
