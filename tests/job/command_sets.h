// Command sets of a few representative machines for the language tests.
#pragma once

#include "machine/command_set.h"

namespace trazvik::test {

// An old plotter-class router ("LFV"): narrow set.
inline tCommandSet narrowSet() {
  tCommandSet s;
  s.wide = false;
  s.protocolLevel = 5;
  s.speedMultiplier = 3;
  s.axisFactorX = s.axisFactorY = 0.9794150511187;
  s.axisFactorZ = 5.3333333333;
  s.timerTick = 0.75;
  s.minFeed = 12;
  return s;
}

// A wide-set router ("YFB 32") at the given protocol level.
inline tCommandSet wideSet(int level) {
  tCommandSet s;
  s.wide = true;
  s.protocolLevel = level;
  s.speedMultiplier = 2;
  s.axisFactorX = s.axisFactorY = s.axisFactorZ = 10;
  s.timerTick = 0.0125;
  s.minFeed = 1;
  s.cncMachine = true;
  return s;
}

}  // namespace trazvik::test
