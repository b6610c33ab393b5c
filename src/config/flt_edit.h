// The model of the two numeric fields of the program: TFltEdit, a number
// with limits and a display format, and TFltEditU, the same for lengths and
// speeds, holding millimetres (or mm/min) while showing the operator's unit.
// The field keeps its text as a widget would; its value is read from the
// text, so a value survives a unit change only to the shown precision.
#pragma once
#include "no_qt.h"

#include <string>
#include <string_view>

namespace trazvik::config {

// Units of lengths: 0 millimetre, 1 inch, 2 foot.
inline constexpr int kUnitMm = 0;
inline constexpr int kUnitInch = 1;
inline constexpr int kUnitFoot = 2;

// Millimetres per display unit (1, 25.4, 304.8); unknown units count as mm.
double unitFactor(int unit);
// "mm", "in", "ft".
std::string_view unitName(int unit);
// Decimals of lengths shown as plain text outside the settings dialog:
// millimetres the machine's displayDecimals (at least 1), inches 2, feet 3.
int displayDecimalsForUnit(int unit, int machineDisplayDecimals);

class TFltEdit {
 public:
  TFltEdit(double minValue, double maxValue, int digits, char separator);
  virtual ~TFltEdit() = default;
  TFltEdit(const TFltEdit&) = default;
  TFltEdit& operator=(const TFltEdit&) = default;

  // The number the text shows; an empty or unreadable text gives the minimum.
  virtual double value() const { return value_; }
  // Clamps (unless the limits are equal) and shows the value.
  virtual void setValue(double value);
  // Leaving the field: a value outside the limits is written back clamped.
  virtual void leave();

  const std::string& text() const { return text_; }
  // What the operator typed (or a widget holds); read again by value().
  void setText(std::string text);

  // Up button and wheel rolled down / down button and wheel rolled up.
  // False (a beep) in a read-only field.
  bool stepUp() { return stepBy(+1); }
  bool stepDown() { return stepBy(-1); }
  bool wheelDown() { return stepUp(); }
  bool wheelUp() { return stepDown(); }
  // The on-screen keypad was confirmed with this text.
  virtual void keypadConfirmed(std::string text);

  // Typing filter of the field: digits, '+', '-', the decimal separator and
  // control characters other than Enter.
  bool acceptsKey(char key) const;

  double minValue() const { return FMinValue; }
  double maxValue() const { return FMaxValue; }
  void setLimits(double minValue, double maxValue);
  bool limited() const { return FMinValue != FMaxValue; }
  bool withinLimits(double value) const;
  int digits() const { return fdigit; }
  char separator() const { return separator_; }

  double FIncrement = 1;
  int fprecision = 15;
  bool readOnly = false;
  bool fBigNumPad = false;
  bool fJedenKlikKalkulator = false;

 protected:
  double clamp(double value) const;
  std::string formatShown(double shown) const;
  virtual double stepSize() const { return FIncrement; }
  virtual void reread();
  bool stepBy(int direction);

  double FMinValue;
  double FMaxValue;
  int fdigit;
  char separator_;
  std::string text_;
  double value_ = 0;
};

class TFltEditU : public TFltEdit {
 public:
  TFltEditU(double minMm, double maxMm, int digits, char separator);

  // Millimetres: the text times the unit factor; empty or unreadable text
  // gives the minimum in millimetres.
  double value() const override { return value_; }
  void setValue(double mm) override;
  void leave() override;
  void keypadConfirmed(std::string text) override;

  // Shows the same millimetres in another unit, with 3 decimals for mm and
  // inches and 4 for feet (fields of the general form keep it).
  void changeunit(int unit);
  int unit() const { return funit; }
  double frvalue() const { return frvalue_; }
  // The adaptive step of the up and down buttons, in millimetres.
  double adaptiveStep() const;

  bool fLiniowyInkrement = false;

 protected:
  double stepSize() const override;
  void reread() override;

 private:
  int funit = kUnitMm;
  double frvalue_ = 0;
};

}  // namespace trazvik::config
