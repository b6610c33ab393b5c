// The axis calibration window without its window: the operator commands a
// known distance on each axis, measures how far the machine went and types
// both; the factor measured / commanded per axis is stored in the
// controller and divides the axis scales.
//
// The factors are absolute: each one replaces the stored factor and divides
// the scales loaded at identification, never the scales already corrected.
// A measurement is therefore to be taken with the factors at 1 (restore
// the defaults first) or read as commanded × current factor, which is what
// the window fills in on opening.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <array>
#include <optional>
#include <string>

namespace trazvik {

// The longest distance offered per axis: 1000 mm, 40 in, 3 ft.
double calibrationDistanceCap(int unit);

// The commanded distances on opening: the work area (mm) in the display
// unit (0 mm, 1 inch, 2 foot), truncated to whole units and capped.
std::array<double, 3> commandedCalibrationDistances(const std::array<double, 3>& workAreaMm, int unit);

// A number typed in the system format (`separator` as the decimal mark,
// blanks around it allowed); nothing when the text is not a number.
std::optional<double> calibrationNumber(const std::string& text, char separator);

// The factor of one axis from the two texts: measured / commanded; 1 when
// a text is empty (after trimming blanks) or a number is 0; nothing when a
// non-empty text is not a finite number or the factor does not fit single
// precision (what the controller keeps).
std::optional<double> calibrationFactorOf(const std::string& commanded, const std::string& measured, char separator);

// A factor as the window shows it: 8 decimals with thousands separators
// ("1.00250000" with '.').
std::string calibrationFactorText(double factor, char separator);

// The six fields in the order Save checks them.
enum class tCalibrationField { measuredX, measuredY, measuredZ, commandedX, commandedY, commandedZ };

class tAxisCalibration {
 public:
  explicit tAxisCalibration(char separator = '.') : separator_(separator) {}

  // Opening: the factors are the current ones, the commanded distances
  // come from the work area and the measured ones are commanded × factor
  // (2 decimals); then the factors are recomputed from the fields.
  void activate(const std::array<float, 3>& currentFactors, const std::array<double, 3>& workAreaMm, int unit);

  // The operator changed a field: the factors follow.
  void setCommanded(int axis, std::string text);
  void setMeasured(int axis, std::string text);

  // Recomputes all three factors from the fields. False when a text is
  // not a number: the factors then keep their previous values.
  bool recompute();

  // Save's check: the first empty field in the order measured X, Y, Z,
  // commanded X, Y, Z; nothing when all are filled.
  std::optional<tCalibrationField> firstEmptyField() const;

  // Restore defaults: factors 1 and measured := commanded, recomputed.
  void restoreDefaults();

  // The factors as the controller keeps them (single precision).
  std::array<float, 3> factors() const;
  // The factors as computed, for showing.
  const std::array<double, 3>& exactFactors() const { return factors_; }
  const std::array<std::string, 3>& commanded() const { return commanded_; }
  const std::array<std::string, 3>& measured() const { return measured_; }
  char separator() const { return separator_; }

 private:
  void fillMeasured();

  char separator_;
  std::array<double, 3> factors_{1.0, 1.0, 1.0};
  std::array<std::string, 3> commanded_;
  std::array<std::string, 3> measured_;
  bool recalc_ = false;  // false while the fields are being filled
};

enum class tCalibrationSaveResult {
  saved,       // the factors went to the controller and divide the axis scales
  emptyField,  // a field is empty: "msgInvalidValue", nothing sent
  notNumber,   // a field holds no number: "msgInvalidValue", nothing sent
  noLink,      // no controller answers: nothing sent
};

// Writes the factors into the controller's machine parameters and divides
// the loaded axis scales by the factors the controller reports back. When
// the report cannot be read (Ethernet has no calibration report) the
// factors just written count, rather than falling back to 1.
// False when no controller is reachable (nothing sent).
bool storeAxisCalibration(tMachineOps& ops, const std::array<float, 3>& factors);

// Save (btnSetClick): checks the fields, then stores the factors.
tCalibrationSaveResult saveAxisCalibration(tMachineOps& ops, tAxisCalibration& model);

// Restore defaults (cmdRemoveCalibClick): factors 1 in the model and the
// controller.
bool restoreAxisCalibration(tMachineOps& ops, tAxisCalibration& model);

}  // namespace trazvik
