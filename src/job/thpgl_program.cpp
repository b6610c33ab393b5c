// Thpgl: the block of one figure of a G-code program (mode 5): its points
// one to one, each with its planned speed, Z scaled like X and Y. A laser
// has no spindle that runs through the job: its beam is switched on for the
// program's working moves and stays off during its rapid moves.
#include "job/thpgl_writer.h"

#include "machine/commands_basic.h"
#include "machine/commands_records.h"

namespace trazvik::job {

void Thpgl::writeProgramFigure(tfigura& fig) {
  if (fig.sp.empty()) return;
  planFigure(fig);
  const std::uint8_t figureSlot = fig.Gprzestawcza ? 0 : 1;
  const bool selectedJob = opt_.oneSelectedFigureOfProgram || opt_.startsFromSelectedFigureOfProgram;
  const bool smoothing = m_.cnc && s_.wygladzanie && !m_.wide;
  pause(10);
  slot(figureSlot);
  if (smoothing) put(smoothingCommand(true));
  const bool beam = m_.laser && !fig.Gprzestawcza;
  if (beam) {
    pause(1);
    outputs(1, outputMask::tool);
    put(laserOnRecord());
  }
  for (std::size_t i = 0; i < fig.sp.size(); ++i) {
    const trpoint3d& p = fig.sp[i];
    if (selectedJob && i == 0) slot(0);
    const double x = mmXY(ctx_, p.x - fig.xp);
    const double y = mmXY(ctx_, p.y - fig.yp);
    const double z = mmZ(ctx_, p.z) * s_.skala / 100;
    if (m_.wide) {
      move(x, y, z, carriage_->carry(tnx[i]).code);
    } else {
      move(x, y, z);
      narrow_->appendSuffix(buf_, tnx[i]);
    }
    if (selectedJob && i == 0) slot(figureSlot);
  }
  if (beam) {
    pause(1);
    beamOff();
  }
  if (smoothing) put(smoothingCommand(false));
  pause(20);
  if (opt_.oneSelectedFigureOfProgram) slot(0);
}

}  // namespace trazvik::job
