#include "control/axis_calibration.h"

#include "base/keyed_records.h"
#include "base/text.h"

#include "config/flt_edit.h"
#include "machine/identify_machine.h"
#include "link/setup_operations.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace trazvik {

namespace {

std::string fixed(double v, int decimals, char separator) {
  std::string s = base::fixedText(v, decimals);
  if (const auto dot = s.find('.'); dot != std::string::npos) s[dot] = separator;
  return s;
}

}  // namespace

double calibrationDistanceCap(int unit) {
  switch (unit) {
    case config::kUnitInch: return 40;
    case config::kUnitFoot: return 3;
    default: return 1000;
  }
}

std::array<double, 3> commandedCalibrationDistances(const std::array<double, 3>& workAreaMm, int unit) {
  std::array<double, 3> out{};
  const double cap = calibrationDistanceCap(unit);
  for (std::size_t i = 0; i < 3; ++i) {
    const double shown = workAreaMm[i] / config::unitFactor(unit);
    out[i] = std::isfinite(shown) ? std::min(std::max(std::trunc(shown), 0.0), cap) : 0.0;
  }
  return out;
}

std::optional<double> calibrationNumber(const std::string& text, char separator) {
  std::string s = base::trimmed(text);
  if (s.empty()) return std::nullopt;
  for (char& c : s) {
    if (c == separator)
      c = '.';
    else if (c == '.' || c == ',')
      return std::nullopt;  // the other mark is no decimal point here
  }
  double v = 0;
  if (!base::readFiniteReal(s, v)) return std::nullopt;
  return v;
}

std::optional<double> calibrationFactorOf(const std::string& commanded, const std::string& measured, char separator) {
  const std::string c = base::trimmed(commanded), m = base::trimmed(measured);
  if (c.empty() || m.empty()) return 1.0;
  const std::optional<double> cv = calibrationNumber(c, separator), mv = calibrationNumber(m, separator);
  if (!cv || !mv) return std::nullopt;
  if (*cv == 0 || *mv == 0) return 1.0;
  const double factor = *mv / *cv;
  // A factor beyond single precision (or its reciprocal beyond it) is no
  // number the controller can keep.
  if (!std::isfinite(static_cast<float>(factor)) || static_cast<float>(factor) == 0.0f) return std::nullopt;
  return factor;
}

std::string calibrationFactorText(double factor, char separator) {
  std::string s = fixed(factor, 8, separator);
  const char thousands = separator == ',' ? ' ' : ',';
  std::size_t intEnd = s.find(separator);
  if (intEnd == std::string::npos) intEnd = s.size();
  const std::size_t digitsStart = (!s.empty() && s[0] == '-') ? 1 : 0;
  for (std::size_t at = intEnd; at > digitsStart + 3; at -= 3) s.insert(at - 3, 1, thousands);
  return s;
}

void tAxisCalibration::activate(const std::array<float, 3>& currentFactors, const std::array<double, 3>& workAreaMm,
                                int unit) {
  recalc_ = false;
  for (std::size_t i = 0; i < 3; ++i) factors_[i] = currentFactors[i];
  const std::array<double, 3> commanded = commandedCalibrationDistances(workAreaMm, unit);
  for (std::size_t i = 0; i < 3; ++i) commanded_[i] = fixed(commanded[i], 0, separator_);
  fillMeasured();
  recalc_ = true;
  recompute();
}

void tAxisCalibration::fillMeasured() {
  for (std::size_t i = 0; i < 3; ++i) {
    const double c = calibrationNumber(commanded_[i], separator_).value_or(0);
    measured_[i] = fixed(std::round(c * factors_[i] * 100) / 100, 2, separator_);
  }
}

void tAxisCalibration::setCommanded(int axis, std::string text) {
  if (axis < 0 || axis > 2) return;
  commanded_[static_cast<std::size_t>(axis)] = std::move(text);
  if (recalc_) recompute();
}

void tAxisCalibration::setMeasured(int axis, std::string text) {
  if (axis < 0 || axis > 2) return;
  measured_[static_cast<std::size_t>(axis)] = std::move(text);
  if (recalc_) recompute();
}

std::array<float, 3> tAxisCalibration::factors() const {
  return {static_cast<float>(factors_[0]), static_cast<float>(factors_[1]), static_cast<float>(factors_[2])};
}

bool tAxisCalibration::recompute() {
  std::array<double, 3> next{};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::optional<double> f = calibrationFactorOf(commanded_[i], measured_[i], separator_);
    if (!f) return false;
    next[i] = *f;
  }
  factors_ = next;
  return true;
}

std::optional<tCalibrationField> tAxisCalibration::firstEmptyField() const {
  for (std::size_t i = 0; i < 3; ++i)
    if (base::trimmed(measured_[i]).empty()) return static_cast<tCalibrationField>(i);
  for (std::size_t i = 0; i < 3; ++i)
    if (base::trimmed(commanded_[i]).empty()) return static_cast<tCalibrationField>(3 + i);
  return std::nullopt;
}

void tAxisCalibration::restoreDefaults() {
  recalc_ = false;
  factors_ = {1.0, 1.0, 1.0};
  fillMeasured();
  recalc_ = true;
  recompute();
}

bool storeAxisCalibration(tMachineOps& ops, const std::array<float, 3>& factors) {
  if (ops.linkUp()) ops.status.readState();
  if (!ops.linkUp() || !ops.status.lastReadAnswered()) return false;
  setCalibrationParameters(ops, factors[0], factors[1], factors[2]);
  tIdentifyEnvironment env;
  env.readCalibration = [&ops, factors]() -> std::optional<std::array<float, 3>> {
    if (!ops.link.usbPresent()) return factors;
    ops.status.readCalibration();
    return ops.linkState().calibrationFactors;
  };
  applyAxisCalibration(ops.machine, ops.linkState(), env);
  return true;
}

tCalibrationSaveResult saveAxisCalibration(tMachineOps& ops, tAxisCalibration& model) {
  if (model.firstEmptyField()) return tCalibrationSaveResult::emptyField;
  if (!model.recompute()) return tCalibrationSaveResult::notNumber;
  return storeAxisCalibration(ops, model.factors()) ? tCalibrationSaveResult::saved : tCalibrationSaveResult::noLink;
}

bool restoreAxisCalibration(tMachineOps& ops, tAxisCalibration& model) {
  model.restoreDefaults();
  return storeAxisCalibration(ops, {1.0f, 1.0f, 1.0f});
}

}  // namespace trazvik
