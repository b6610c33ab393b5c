// The control panel's inverter button: the spindle inverter's parameter file
// of the machine ("3g3MV.dat" or "3g3jv.dat" in the program's folder) sent
// to the controller, one parameter every 80 ms, with what came of it for
// the operator.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <filesystem>
#include <string>

namespace trazvik {

enum class tInverterUploadResult {
  sent,           // every parameter of the file went out
  noLink,         // no controller answers; nothing sent
  notPacketLink,  // a plotter-class link has no inverter; nothing sent
  noFile,         // the machine's parameter file is not in the program's folder
  failed,         // a bad line (nothing sent) or the link failed on the way
};

struct tInverterUpload {
  tInverterUploadResult result = tInverterUploadResult::noLink;
  std::filesystem::path file;  // the parameter file looked for
  std::string error;           // with `failed`: the file, the line and what went wrong
};

tInverterUpload uploadInverterParameters(tMachineOps& ops, const std::filesystem::path& programDirectory);

}  // namespace trazvik
