// Writing the job of a design file for a machine type with no controller
// attached (trazvik-cli job, the golden job tests): the machine is stood for
// by its type and firmware, the settings are the defaults with a settings
// file and single values on top, the project is opened and prepared as the
// program opens it, and the job is written as the Start command writes it.
#pragma once
#include "no_qt.h"

#include "app/offline_machine.h"
#include "config/tdlgkonfig.h"
#include "geometry/bytes.h"
#include "job/job_state.h"
#include "project/hatching_form.h"
#include "project/tmdichild.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace trazvik {
namespace texts {
class tInterfejs;
}
}  // namespace trazvik

namespace trazvik::app {

// Anything that stops the job: a bad setting, an unreadable file, a
// project that cannot be written. The message names the file or setting.
struct tOfflineJobError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Applies a settings file (.mcc) on top of the current values.
void applySettingsFile(TDlgkonfig& settings, const std::string& path);
// Applies "NAME=VALUE": a number, or for a checkbox or option 0/1. A value
// the setting cannot take (outside its limits) is refused, not clamped.
void applySettingAssignment(TDlgkonfig& settings, const std::string& assignment);

struct tOfflineJobRequest {
  std::string design;  // .plt, .dxf or .nc
  tOfflineMachineRequest machine;
  std::string settingsFile;                     // empty: defaults only
  std::vector<std::string> sets;                // NAME=VALUE, after the settings file
  int head = 1;                                 // head of a single-layer job, 1 to 3
  std::optional<tUstawieniaKreskowania> hatch;  // hatched after opening, as the hatching dialog does
};

struct tOfflineJob {
  tOfflineJobRequest request;
  tMachineState machine;
  std::unique_ptr<TDlgkonfig> settings;
  std::unique_ptr<TMDIChild> project;
  Bytes bytes;      // the job
  tJobState state;  // after the job: position, extremes, heads
};

// The settings and the opened project, before writing (for callers that
// look at the project first). Throws tOfflineJobError.
tOfflineJob openOfflineProject(const tOfflineJobRequest& request, const texts::tInterfejs& texts);
// Everything, with the job written. Throws tOfflineJobError.
tOfflineJob writeOfflineJob(const tOfflineJobRequest& request, const texts::tInterfejs& texts);

}  // namespace trazvik::app
