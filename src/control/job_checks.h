// The checks of a planned job against the machine it is to be cut on: the
// layer data, the head's reach, the Z range, the working area and work zero
// with the frame, and after writing the flying start's back-off and the
// job's size. Each gives the operator's message of a refusal, or nothing
// when the job may go on; none of them talks to the machine.
#pragma once
#include "no_qt.h"

#include "job/job_machine.h"
#include "job/job_state.h"

#include <cstdint>
#include <optional>
#include <string>

namespace trazvik {

class TMDIChild;
class TDlgkonfig;
namespace texts {
class tInterfejs;
}

// A length in the settings' unit with the unit's decimals (millimetres: the
// machine's display decimals) and the unit's name.
std::string lengthText(double millimetres, const TDlgkonfig& settings, const tMachineParams& params);

struct tJobRefusal {
  std::string text;
  std::optional<std::string> caption;  // none: "Error"
};

class tJobChecks {
 public:
  // `machine` is the machine as last read: its working area, its work zero
  // and its limits.
  tJobChecks(const TMDIChild& project, const TDlgkonfig& settings, const tMachineState& machine,
             const texts::tInterfejs& texts)
      : project_(project), settings_(settings), machine_(machine), texts_(texts) {}

  // A multi-layer project on a machine that is not a laser: every layer's
  // spindle speed and feeds within the machine's limits.
  std::optional<tJobRefusal> layerData() const;
  // Multi-head machines: the head's offset from the work zero stays in the
  // machine's travel.
  std::optional<tJobRefusal> headInArea(int head) const;
  // Not on a laser: the work zero's Z leaves room for the travel height.
  std::optional<tJobRefusal> zRange(double travelHeight) const;
  // Pre-flight: the project's size with the tool and the polishing margin
  // within the working area, from the work zero, with room before the zero,
  // and the figures clear of a frame that is left out.
  std::optional<tJobRefusal> placement() const;
  // Lasers with the flying start: the positions the written job reaches,
  // back-offs included, within the working area from the work zero.
  std::optional<tJobRefusal> flyingStart(const tJobExtremes& reached) const;
  // Plotter-class controllers take jobs below a fixed size only.
  std::optional<tJobRefusal> jobSize(std::uintmax_t bytes) const;

  // The figures in the frame can be cut without it (BezRamki_mozna).
  bool figuresFitWithoutFrame() const;
  // A length in the settings' unit with its decimals and unit name.
  std::string lengthText(double millimetres) const {
    return trazvik::lengthText(millimetres, settings_, machine_.model.machineParams);
  }

 private:
  std::string txt(const char* section, const char* key) const;
  double zeroX() const { return machine_.status.pos0.x / 100.0; }
  double zeroY() const { return machine_.status.pos0.y / 100.0; }
  double zeroZ() const { return machine_.status.pos0.z / 100.0; }
  double areaX() const { return machine_.link.workArea[0]; }
  double areaY() const { return machine_.link.workArea[1]; }

  const TMDIChild& project_;
  const TDlgkonfig& settings_;
  tMachineState machine_;
  const texts::tInterfejs& texts_;
};

}  // namespace trazvik
