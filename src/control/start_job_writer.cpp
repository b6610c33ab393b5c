#include "control/start_job_writer.h"

#include "config/tdlgkonfig.h"
#include "job/job_writer.h"
#include "project/tmdichild.h"

#include <utility>

namespace trazvik {

double outlineTravelHeight(const TDlgkonfig& settings) {
  return settings.real("grubosc") + settings.real("ponad_stol") + settings.real("nadmat");
}

tJobWriteResult writeThroughJobWriter(TMDIChild& project, const TDlgkonfig& settings, const tJobMachine& machine,
                                      const tJobRequest& request, const std::function<bool(TMDIChild&)>& save) {
  tPisarzJobow writer(settings, machine, request);
  writer.showErrors = false;  // the caller reports the failure itself
  project.ustawPisarza(&writer);
  const int savedMode = project.trybZapisu;
  project.trybZapisu = request.outputMode;
  const bool saved = save(project);
  project.trybZapisu = savedMode;
  project.ustawPisarza(nullptr);

  const tJobResult& r = writer.lastResult();
  tJobWriteResult result;
  result.written = saved && r.ok;
  result.error = r.error;
  result.hasExtremes = r.extremes.any();
  if (result.hasExtremes) {
    result.minX = r.extremes.minX;
    result.maxX = r.extremes.maxX;
    result.minY = r.extremes.minY;
    result.maxY = r.extremes.maxY;
  }
  return result;
}

tJobWriterCall startJobWriter(const TDlgkonfig& settings, std::function<tJobMachine()> machine, const int& head,
                              const double& travelHeight) {
  return [&settings, machine = std::move(machine), &head, &travelHeight](
             TMDIChild& project, const std::string& path, int mode, bool multiLayer) {
    tJobRequest request;
    request.outputMode = mode;
    request.chosenHead = head;
    request.travelHeight = travelHeight;
    return writeThroughJobWriter(project, settings, machine(), request, [&](TMDIChild& p) {
      const int last = static_cast<int>(p.fig.size()) - 1;
      return multiLayer ? p.saveMultiLayer(path, 0, last) : p.Save(path, 0, last);
    });
  };
}

}  // namespace trazvik
