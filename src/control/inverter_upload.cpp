#include "control/inverter_upload.h"

#include "config/inverter_parameters.h"
#include "link/setup_operations.h"

namespace trazvik {

tInverterUpload uploadInverterParameters(tMachineOps& ops, const std::filesystem::path& programDirectory) {
  tInverterUpload upload;
  upload.file = programDirectory / std::string(config::inverterFileName(ops.machine.machineType));
  if (!ops.linkUp()) return upload;
  if (!ops.linkState().cncMachine) {
    upload.result = tInverterUploadResult::notPacketLink;
    return upload;
  }
  std::error_code ec;
  if (!std::filesystem::is_regular_file(upload.file, ec)) {
    upload.result = tInverterUploadResult::noFile;
    return upload;
  }
  upload.error = sendInverterParameters(ops, programDirectory);
  upload.result = upload.error.empty() ? tInverterUploadResult::sent : tInverterUploadResult::failed;
  return upload;
}

}  // namespace trazvik
