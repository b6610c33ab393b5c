// Setting the project's work zero in X and Y from the control panel: the
// zero chosen in the base points window goes to the controller, then the
// active project is checked against it. The checks never undo the zero;
// they only warn.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trazvik {

class TDlgkonfig;
class TMDIChild;
namespace texts {
class tInterfejs;
}

// The room a project needs around its drawing on the table, mm: none for
// a G-code program.
struct tAllowances {
  double polish = 0;  // the polishing pass around the outline (polerowanie)
  double tool = 0;    // the tool's diameter when outlines are cut and no
                      // negative is made (a frame left out: one figure only)
};
tAllowances allowancesOf(const TMDIChild& project, const TDlgkonfig& settings);

// What the checks found, in the order the error boxes show them.
struct tProjectZeroCheck {
  std::vector<std::string> warnings;
  bool restartTimer = true;  // false: the panel timer stays stopped
  bool toolOff = false;      // the frame check switches the tool off
};

// The active project (size, G-code extents, frame) against the work zero
// x0, y0 and the work area (millimetres), with the settings' allowances.
tProjectZeroCheck checkProjectAgainstZero(const TMDIChild& project, const TDlgkonfig& settings,
                                          const texts::tInterfejs& texts, double x0, double y0,
                                          const std::array<double, 3>& workArea);

// The figures inside the frame stay inside the work area without it, given
// the tool's radius and the zero (millimetres).
bool figuresFitWithoutFrame(const TMDIChild& project, double toolDiameter, double x0, double y0,
                            const std::array<double, 3>& workArea);

struct tProjectZeroHooks {
  // The base points window, modal: the chosen zero (mm) or nullopt when
  // it was cancelled.
  std::function<std::optional<std::array<double, 2>>()> chooseZero;
  // The panel timer off (false) and on again (true).
  std::function<void(bool on)> panelTimer;
  std::function<void(bool busy)> hourglass;
  // An error box with the default caption.
  std::function<void(const std::string& text)> errorBox;
};

// The panel's "Set project zero" (setbazaClick): waits for the machine to
// stand still, lets the operator choose, sends the zero ("U"), checks the
// active project (none: no checks). True when the zero was sent.
bool setbazaClick(tMachineOps& ops, const TMDIChild* project, const TDlgkonfig& settings,
                  const texts::tInterfejs& texts, const std::array<double, 3>& workArea,
                  const tProjectZeroHooks& hooks);

}  // namespace trazvik
