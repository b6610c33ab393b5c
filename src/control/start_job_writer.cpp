#include "control/start_job_writer.h"

#include "config/tdlgkonfig.h"
#include "job/job_writer.h"
#include "project/tmdichild.h"

#include <utility>

namespace trazvik {

double outlineTravelHeight(const TDlgkonfig& settings) {
  return settings.real("grubosc") + settings.real("ponad_stol") + settings.real("nadmat");
}

tJobWriterCall startJobWriter(const TDlgkonfig& settings, std::function<tJobMachine()> machine, const int& head,
                              const double& travelHeight) {
  return [&settings, machine = std::move(machine), &head, &travelHeight](
             TMDIChild& project, const std::string& path, int mode, bool multiLayer) {
    tJobRequest request;
    request.outputMode = mode;
    request.chosenHead = head;
    request.travelHeight = travelHeight;
    tPisarzJobow writer(settings, machine(), request);
    writer.showErrors = false;  // the start reports the failure itself
    project.ustawPisarza(&writer);
    const int savedMode = project.trybZapisu;
    project.trybZapisu = mode;
    const int last = static_cast<int>(project.fig.size()) - 1;
    const bool saved = multiLayer ? project.saveMultiLayer(path, 0, last) : project.Save(path, 0, last);
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
  };
}

}  // namespace trazvik
