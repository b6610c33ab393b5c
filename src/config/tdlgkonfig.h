// TDlgkonfig: the settings of the program, each addressed by the component
// name of its control in the settings dialog (WorkSpeed, grubosc, doOutline,
// ProjektType, ...). It holds one control model per catalogue entry, applies
// the effects a change has in the dialog (unit conversion, option groups,
// important-change flag, machine limits), and answers the enabling and
// visibility rules, so that a window only has to bind widgets by name.
#pragma once
#include "no_qt.h"

#include "config/flt_edit.h"
#include "config/machine_context.h"
#include "config/number_text.h"
#include "config/setting_catalogue.h"

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace trazvik {

// A name that is not a setting of the catalogue.
class UnknownSettingError : public std::invalid_argument {
 public:
  explicit UnknownSettingError(std::string_view name);
};

// A setting read or written in a way its kind does not allow.
class SettingKindError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

enum class CheckState { Unchecked = 0, Checked = 1, Grayed = 2 };

class TDlgkonfig {
 public:
  // Every control at its declared default, declared limits, no machine.
  explicit TDlgkonfig(char decimalSeparator = config::decimalSeparatorOfUser());

  // --- reading by name (unknown names throw UnknownSettingError) ---
  // Numeric value of any kind: millimetres (mm/min) for length fields, the
  // number for plain fields, the state 0/1/2 of a checkbox, 1/0 of an option
  // button, the item index of a group, the position of a slider.
  double real(std::string_view name) const;
  // real() rounded to the nearest integer (ties to even).
  int integer(std::string_view name) const;
  // Checkbox checked (grayed is not) or option button selected; throws
  // SettingKindError for other kinds.
  bool flag(std::string_view name) const;
  CheckState checkState(std::string_view name) const;
  // The text a numeric field shows (in its display unit); other kinds
  // give their file value.
  std::string shownText(std::string_view name) const;

  // --- writing by name, with the effects of an operator's change ---
  // Fields take millimetres and clamp; groups and sliders clamp; a checkbox
  // takes 0, 1 or 2; an option button is selected by any non-zero value.
  void set(std::string_view name, double value);
  void setChecked(std::string_view name, bool checked);
  void setCheckState(std::string_view name, CheckState state);
  // A numeric field edited as text and left (clamping as when the operator
  // leaves the field).
  void enterText(std::string_view name, std::string text);
  // The up/down buttons of a numeric field (adaptive step for lengths).
  bool stepField(std::string_view name, bool up);
  // A click into a field whose important-change flag is set by clicks.
  void fieldClicked(std::string_view name);

  // --- the settings file's forms (see settings_file.h) ---
  std::string fileValue(std::size_t index) const;
  // Converts and applies one value read from a settings file; an error text
  // when the value cannot be converted (nothing is changed then).
  std::optional<std::string> applyFileValue(std::size_t index, std::string_view valueText);

  // --- catalogue and state ---
  static std::size_t indexOf(std::string_view name);  // throws UnknownSettingError
  static const config::SettingDef& def(std::string_view name);
  double minOf(std::string_view name) const;
  double maxOf(std::string_view name) const;
  const config::TFltEdit* field(std::string_view name) const;  // null for non-fields
  char decimalSeparator() const { return separator_; }

  // Display unit of lengths and speeds (rgJm): 0 mm, 1 inch, 2 feet.
  int unitIndex() const;
  // The text of a unit label: "[mm]", "[in/min]", "[%]", ...
  std::string unitLabelText(std::string_view settingName) const;

  // --- machine, switches, enabling and visibility ---
  // SetParam: machine-type limits (declared limits while no machine is known).
  void SetParam(const config::MachineContext& machine);
  // Machine-dependent captions, visibility and the values they force.
  void SetMachineDependentControls();
  // What the dialog does every time it is shown.
  void activate();
  void setSwitches(const config::DialogSwitches& switches) { switches_ = switches; }
  const config::DialogSwitches& switches() const { return switches_; }
  const config::MachineContext& machine() const { return machine_; }
  bool isLaser() const { return machine_.isLaser; }
  // Any control, tab page or group box of the dialog by component name.
  bool isEnabled(std::string_view control) const;
  bool isVisible(std::string_view control) const;
  // The hint key of a setting's label ("lWorkSpeed.hint", ...), empty when none.
  std::string_view labelHintKey(std::string_view name) const;
  // Why a control the rules grey out is greyed: a key of section
  // "Configuration"; empty when it is enabled or no reason is known.
  std::string_view disabledReasonKey(std::string_view name) const;
  std::string_view captionKey(std::string_view name) const;

  // --- values derived from the controls ---
  bool smoothing() const { return flag("wygladzanie"); }
  double spiralPitch() const;  // skok, or 100 mm on a laser
  // Controller address as the dotted text of IP1..IP4 (rounded).
  std::string addressText() const;
  // "SIP" and the four address bytes (ButtonProgramujIPplotera).
  std::string ipCommand() const;

  // btnUstawPrzyspieszenie: fePrzyspieszenie to the nearest integer when it
  // lies in 0 .. 14 (0 is accepted although the message names 1-14);
  // nothing otherwise, and the error box shows kAccelerationRangeMessage.
  std::optional<int> accelerationToSend() const;
  static constexpr const char* kAccelerationRangeMessage = "Dopuszczalny zakres przyspieszenia 1-14";

  // --- dialog actions that only touch the settings ---
  void restoreDefaultArcFactor();  // btnPrzywrocDomyslnyWspVNaLukach
  void arcSlowest();               // click on lRuchNaLukachPowolny
  void arcFastest();               // click on lRuchNaLukachPrzyspieszony
  // btnAktPoz_pobierz: absolute position in hundredths of a millimetre.
  void takeCurrentPosition(double xHundredths, double yHundredths);
  // Pixel size of the last loaded bitmap (for the proportional image size).
  void setBitmapPixelSize(int width, int height);
  // Touch-panel mode: every numeric field opens the large keypad on one click.
  void useTouchPanel();

  // Set by every important change and at creation; cleared by the main window.
  bool wazna_zmiana = true;

  // Called after any control changed (index in the catalogue), for windows
  // that show the values.
  std::function<void(std::size_t)> onChanged;

 private:
  // One control of the dialog: a field model for numeric kinds, else a state.
  struct Control {
    double state = 0;                         // checkbox, option button, group, slider
    std::optional<config::TFltEdit> plain;    // Number
    std::optional<config::TFltEditU> length;  // Length
    double minValue = 0;                      // group and slider limits
    double maxValue = 0;

    config::TFltEdit* edit() { return length ? &*length : plain ? &*plain : nullptr; }
    const config::TFltEdit* edit() const { return length ? &*length : plain ? &*plain : nullptr; }
  };
  Control& control(std::string_view name);
  const Control& control(std::string_view name) const;
  void setControl(std::size_t index, double value);
  void afterChange(std::size_t index);
  void VIChange();
  void applyProportions(std::size_t changed);
  void applyLimit(std::string_view name, double minValue, double maxValue);
  void restoreDeclaredLimits();
  bool enabledByRules(std::string_view control) const;
  bool visibleByRules(std::string_view control) const;

  char separator_;
  std::vector<Control> controls_;
  config::MachineContext machine_;
  config::DialogSwitches switches_;
  double bitmapAspect_ = 0;  // pixel width / pixel height, 0 while unknown
  bool BMPEdycjaWymiarow = false;
};

}  // namespace trazvik
