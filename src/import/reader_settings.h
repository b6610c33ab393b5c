// What the reader takes from the settings, the identified machine and the
// program's switches, in one place for the project and the CLI.
#pragma once
#include "import/read_figures.h"

namespace trazvik {
class TDlgkonfig;
}

namespace trazvik::import {

// mnoznikZ, the G-code settings (chkAbsolutArcPos, WorkSpeed), the feed
// and spindle limits of the machine the settings were given
// (TDlgkonfig::machine(): lowest to highest feed, lowest to highest spindle
// rotations; no upper limit while no machine is known), and the "spline"
// switch.
tReaderSettings readerSettings(const TDlgkonfig& konfig, bool splineSwitch);

// Gives the reader those settings (before open).
void applyReaderSettings(Thpgl& reader, const tReaderSettings& settings);

}  // namespace trazvik::import
