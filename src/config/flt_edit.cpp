#include "config/flt_edit.h"

#include "config/number_text.h"

#include <algorithm>
#include <cmath>

namespace trazvik::config {

double unitFactor(int unit) {
  switch (unit) {
    case kUnitInch: return 25.4;
    case kUnitFoot: return 304.8;
    default: return 1.0;
  }
}

std::string_view unitName(int unit) {
  switch (unit) {
    case kUnitInch: return "in";
    case kUnitFoot: return "ft";
    default: return "mm";
  }
}

int displayDecimalsForUnit(int unit, int machineDisplayDecimals) {
  switch (unit) {
    case kUnitInch: return 2;
    case kUnitFoot: return 3;
    default: return std::max(1, machineDisplayDecimals);
  }
}

TFltEdit::TFltEdit(double minValue, double maxValue, int digits, char separator)
    : FMinValue(minValue), FMaxValue(maxValue), fdigit(digits), separator_(separator) {
  value_ = FMinValue;
}

void TFltEdit::setLimits(double minValue, double maxValue) {
  FMinValue = minValue;
  FMaxValue = maxValue;
  reread();  // an empty text reads as the (new) minimum
}

bool TFltEdit::withinLimits(double value) const { return !limited() || (value >= FMinValue && value <= FMaxValue); }

double TFltEdit::clamp(double value) const {
  if (!limited()) return value;
  return std::clamp(value, std::min(FMinValue, FMaxValue), std::max(FMinValue, FMaxValue));
}

std::string TFltEdit::formatShown(double shown) const {
  if (fprecision != 0 && fdigit != 0) return formatFixed(shown, fdigit, separator_);
  return formatGeneral(shown, separator_);
}

void TFltEdit::reread() {
  const auto number = parseNumber(text_, separator_);
  value_ = number ? *number : FMinValue;
}

void TFltEdit::setText(std::string text) {
  text_ = std::move(text);
  reread();
}

void TFltEdit::setValue(double value) {
  text_ = formatShown(clamp(value));
  reread();
}

void TFltEdit::leave() {
  if (!withinLimits(value())) setValue(value());
}

void TFltEdit::keypadConfirmed(std::string text) {
  setText(std::move(text));
  setValue(value());
}

bool TFltEdit::acceptsKey(char key) const {
  const auto byte = static_cast<unsigned char>(key);
  if (key == '\r') return false;
  if (byte < 32) return true;
  return (key >= '0' && key <= '9') || key == '+' || key == '-' || key == separator_;
}

bool TFltEdit::stepBy(int direction) {
  if (readOnly) return false;
  setValue(value() + direction * stepSize());
  return true;
}

TFltEditU::TFltEditU(double minMm, double maxMm, int digits, char separator)
    : TFltEdit(minMm, maxMm, digits, separator) {}

void TFltEditU::reread() {
  const auto number = parseNumber(text_, separator_);
  value_ = number ? *number * unitFactor(funit) : FMinValue;
}

void TFltEditU::setValue(double mm) {
  frvalue_ = mm;
  text_ = formatShown(clamp(mm) / unitFactor(funit));
  reread();
}

void TFltEditU::leave() {
  if (!parseNumber(text_, separator_)) {
    setValue(FMinValue);
    return;
  }
  setValue(value());
  if (!withinLimits(value())) setValue(value());
}

void TFltEditU::keypadConfirmed(std::string text) {
  setText(std::move(text));
  leave();
}

void TFltEditU::changeunit(int unit) {
  const double mm = value();
  funit = (unit == kUnitInch || unit == kUnitFoot) ? unit : kUnitMm;
  if (fdigit != 0) fdigit = funit == kUnitFoot ? 4 : 3;
  setValue(mm);
}

double TFltEditU::adaptiveStep() const {
  const double factor = unitFactor(funit);
  const double shown = std::fabs(value() / factor);
  if (shown == 0 || !std::isfinite(shown)) return 0.1;
  int decade = static_cast<int>(std::floor(std::log10(shown)));
  if (std::pow(10.0, decade) > shown) --decade;
  if (std::pow(10.0, decade + 1) <= shown) ++decade;
  return std::pow(10.0, decade - 1) * factor;
}

double TFltEditU::stepSize() const { return fLiniowyInkrement ? FIncrement : adaptiveStep(); }

}  // namespace trazvik::config
