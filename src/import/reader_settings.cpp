#include "import/reader_settings.h"

#include "config/tdlgkonfig.h"
#include "import/thpgl.h"
#include "link/machine_params.h"

namespace trazvik::import {

tReaderSettings readerSettings(const TDlgkonfig& konfig, bool splineSwitch) {
  tReaderSettings s;
  s.mnoznikZ = konfig.real("mnoznikZ");
  s.forceBSpline = splineSwitch;
  s.gcode.chkAbsolutArcPos = konfig.flag("chkAbsolutArcPos");
  s.gcode.WorkSpeed = konfig.real("WorkSpeed");
  s.gcode.minFeed = machineParams.minFeed;
  s.gcode.maxFeed = machineParams.maxFeedXY;
  s.gcode.minSpindle = machineParams.minSpindle;
  s.gcode.maxSpindle = machineParams.maxSpindle;
  return s;
}

void applyReaderSettings(Thpgl& reader, const tReaderSettings& settings) {
  reader.mnoznikZ = settings.mnoznikZ;
  reader.dxf.forceBSpline = settings.forceBSpline;
  reader.gcode.settings = settings.gcode;
}

}  // namespace trazvik::import
