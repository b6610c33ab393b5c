// The reader's settings come from the settings dialog, the machine the
// settings were given and the program's switch.
#include "import/reader_settings.h"

#include "config/tdlgkonfig.h"
#include "import/thpgl.h"

#include <gtest/gtest.h>

namespace trazvik::import {
namespace {

TEST(ReaderSettings, FromSettingsMachineAndSwitch) {
  TDlgkonfig konfig;
  konfig.set("WorkSpeed", 750);
  konfig.set("mnoznikZ", 2.5);
  konfig.set("chkAbsolutArcPos", 0);
  config::MachineContext machine;
  machine.identified = true;
  machine.minFeed = 30;
  machine.maxFeedXY = 16000;
  machine.minSpindle = 6000;
  machine.maxSpindle = 24000;
  konfig.SetParam(machine);
  const tReaderSettings s = readerSettings(konfig, true);
  EXPECT_EQ(s.mnoznikZ, 2.5);
  EXPECT_TRUE(s.forceBSpline);
  EXPECT_FALSE(s.gcode.chkAbsolutArcPos);
  EXPECT_EQ(s.gcode.WorkSpeed, 750);
  EXPECT_EQ(s.gcode.minFeed, 30);
  EXPECT_EQ(s.gcode.maxFeed, 16000);
  EXPECT_EQ(s.gcode.minSpindle, 6000);
  EXPECT_EQ(s.gcode.maxSpindle, 24000);
  Thpgl reader;
  applyReaderSettings(reader, s);
  EXPECT_EQ(reader.mnoznikZ, 2.5);
  EXPECT_TRUE(reader.dxf.forceBSpline);
  EXPECT_EQ(reader.gcode.settings.maxFeed, 16000);
}

}  // namespace
}  // namespace trazvik::import
