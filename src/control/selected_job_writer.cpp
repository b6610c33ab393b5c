#include "control/selected_job_writer.h"

#include "job/job_writer.h"
#include "project/tmdichild.h"

#include <utility>

namespace trazvik {

tSelectedJobWriterCall selectedJobWriter(const TDlgkonfig& settings, std::function<tJobMachine()> machine,
                                         const int& head, const double& travelHeight) {
  return [&settings, machine = std::move(machine), &head, &travelHeight](
             TMDIChild& project, const std::string& path, int mode, tSelectedJob which) {
    tJobRequest request;
    request.outputMode = mode;
    request.chosenHead = head;
    request.travelHeight = travelHeight;
    // A G-code program is cut from its selected block on, or that block alone.
    const bool program = mode == 5;
    request.oneSelectedFigureOfProgram = program && which == tSelectedJob::selectedFigure;
    request.startsFromSelectedFigureOfProgram = program && which == tSelectedJob::fromSelectedFigure;
    tPisarzJobow writer(settings, machine(), request);
    writer.showErrors = false;  // the variant reports the failure itself
    project.ustawPisarza(&writer);
    const int savedMode = project.trybZapisu;
    project.trybZapisu = mode;
    const bool saved =
        which == tSelectedJob::selectedFigure ? project.Save_selected(path) : project.Save_from_selected(path);
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
