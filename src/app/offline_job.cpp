#include "app/offline_job.h"

#include "config/setting_value_text.h"
#include "config/settings_file.h"
#include "machine/machine_capabilities.h"
#include "project/open_project.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace trazvik::app {

void applySettingsFile(TDlgkonfig& settings, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw tOfflineJobError(path + ": the settings file cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw tOfflineJobError(path + ": the settings file cannot be read");
  const config::SettingsApplied applied = config::applySettingsText(settings, text.str(), path);
  if (!applied.complete) throw tOfflineJobError(applied.error);
}

void applySettingAssignment(TDlgkonfig& settings, const std::string& assignment) {
  if (const auto error = config::applySettingAssignment(settings, assignment))
    throw tOfflineJobError("--set " + assignment + ": " + *error);
}

tOfflineJob openOfflineProject(const tOfflineJobRequest& request, const texts::tInterfejs& texts) {
  tOfflineJob job;
  job.request = request;
  try {
    job.machine = offlineMachine(request.machine);
  } catch (const tOfflineMachineError& e) {
    throw tOfflineJobError(e.what());
  }
  if (request.head < 1 || request.head > 3)
    throw tOfflineJobError("head " + std::to_string(request.head) + ": heads are numbered 1 to 3");
  // A machine without heads in the table (a laser) has its one tool.
  const int heads = std::max<int>(1, job.machine.model.machineParams.headCount);
  if (request.head > heads)
    throw tOfflineJobError("head " + std::to_string(request.head) + ": machine type \"" + request.machine.type +
                           "\" has " + std::to_string(heads) + (heads == 1 ? " head" : " heads"));

  job.settings = std::make_unique<TDlgkonfig>();
  // The machine's limits first: settings are held within them.
  job.settings->SetParam(machineContextOf(job.machine.model, job.machine.link, job.machine.status, true));
  job.settings->SetMachineDependentControls();
  if (!request.settingsFile.empty()) applySettingsFile(*job.settings, request.settingsFile);
  for (const std::string& s : request.sets) applySettingAssignment(*job.settings, s);

  {
    std::ifstream probe(request.design, std::ios::binary);
    if (!probe) throw tOfflineJobError(request.design + ": the design file cannot be read");
  }
  job.project = OtworzProjekt(request.design, *job.settings, texts, tOtwieranieProjektu{});
  if (!job.project) throw tOfflineJobError(request.design + ": the design file could not be opened");
  if (request.hatch) {
    std::string error;
    if (!zakreskujProjekt(*job.project, *request.hatch, job.settings->isLaser(), error))
      throw tOfflineJobError(request.design + ": " + error);
  }
  return job;
}

}  // namespace trazvik::app
