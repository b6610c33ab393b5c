#include "job/safe_approach.h"

#include "machine/commands_basic.h"

namespace trazvik {

void BezpiecznyDojazdDoWskazanejFig(Bytes& out, tJobState& st, const tJobMoveContext& c, const tfigura& fig,
                                    bool selectedFigureOfProgram) {
  if (!selectedFigureOfProgram) return;
  trealpoint first;
  if (!fig.sp.empty())
    first = {fig.sp.front().x, fig.sp.front().y};
  else if (!fig.p.empty())
    first = fig.p.front();
  else
    return;
  const Bytes rapid = selectSlotCommand(0);
  out.insert(out.end(), rapid.begin(), rapid.end());
  appendMove(out, st, c, mmXY(c, first.x - fig.xp), mmXY(c, first.y - fig.yp), st.travelHeight);
}

}  // namespace trazvik
