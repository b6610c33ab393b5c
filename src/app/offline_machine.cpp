#include "app/offline_machine.h"

#include "machine/identify_machine.h"
#include "machine/machine_table.h"

#include <algorithm>
#include <cstdio>

namespace trazvik::app {

namespace {

std::string knownTypes() {
  std::string s;
  for (const std::string& c : machineTypeCodes()) s += (s.empty() ? "\"" : ", \"") + c + "\"";
  return s;
}

}  // namespace

tMachineState offlineMachine(const tOfflineMachineRequest& request) {
  const auto& codes = machineTypeCodes();
  if (std::find(codes.begin(), codes.end(), request.type) == codes.end())
    throw tOfflineMachineError("unknown machine type \"" + request.type + "\"; known types: " + knownTypes());

  int level = 0, minor = 0, build = 0;
  char extra = 0;
  const int n = std::sscanf(request.firmware.c_str(), "%d.%d.%d%c", &level, &minor, &build, &extra);
  if (n < 2 || n > 3 || level < 0 || level > 99 || minor < 0 || minor > 99 || build < 0)
    throw tOfflineMachineError("firmware \"" + request.firmware + "\" is not of the form 7.20 or 7.20.3");

  tMachineState m;
  m.link.controllerVersion = request.controllerVersion;
  m.model = machineModelFor(paddedProductString(request.type, 8), level, minor, build, m.link);
  if (m.model.machineParams.timerTick <= 0)
    throw tOfflineMachineError("machine type \"" + request.type + "\" has no parameters for firmware " +
                               request.firmware);
  m.status.info1 = request.type;
  return m;
}

}  // namespace trazvik::app
