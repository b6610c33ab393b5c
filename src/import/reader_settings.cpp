#include "import/reader_settings.h"

#include "config/tdlgkonfig.h"
#include "import/thpgl.h"

namespace trazvik::import {

tReaderSettings readerSettings(const TDlgkonfig& konfig, bool splineSwitch) {
  tReaderSettings s;
  s.mnoznikZ = konfig.real("mnoznikZ");
  s.forceBSpline = splineSwitch;
  s.gcode.chkAbsolutArcPos = konfig.flag("chkAbsolutArcPos");
  s.gcode.WorkSpeed = konfig.real("WorkSpeed");
  // The limits of the machine the settings were last given (SetParam).
  const config::MachineContext& machine = konfig.machine();
  s.gcode.minFeed = machine.minFeed;
  s.gcode.maxFeed = machine.maxFeedXY;
  s.gcode.minSpindle = machine.minSpindle;
  s.gcode.maxSpindle = machine.maxSpindle;
  return s;
}

void applyReaderSettings(Thpgl& reader, const tReaderSettings& settings) {
  reader.mnoznikZ = settings.mnoznikZ;
  reader.dxf.forceBSpline = settings.forceBSpline;
  reader.gcode.settings = settings.gcode;
}

}  // namespace trazvik::import
