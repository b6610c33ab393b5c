#include "control/selected_job_writer.h"

#include "control/start_job_writer.h"
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
    return writeThroughJobWriter(project, settings, machine(), request, [&](TMDIChild& p) {
      return which == tSelectedJob::selectedFigure ? p.Save_selected(path) : p.Save_from_selected(path);
    });
  };
}

}  // namespace trazvik
