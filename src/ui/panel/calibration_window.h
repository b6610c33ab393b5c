// The axis calibration window (TCalibration): commanded and measured
// distance per axis in the operator's unit and the factor measured /
// commanded beside them. Save writes the factors into the controller and
// closes; restoring the defaults writes 1, 1, 1. The numbers live in the
// core model; the window only shows and types them.
#pragma once

#include "control/axis_calibration.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik::ui {

class TFltEditU;

class TCalibration : public QDialog {
  Q_OBJECT
 public:
  // `store` writes the factors into the controller and applies them; false
  // when no controller answered.
  using Store = std::function<bool(const std::array<float, 3>& factors)>;
  TCalibration(const texts::tInterfejs& texts, Store store, QWidget* parent = nullptr);

  // Opening (FormActivate): the current factors, the work area (mm) and
  // the display unit (0 mm, 1 inch, 2 foot).
  void activate(const std::array<float, 3>& factors, const std::array<double, 3>& workAreaMm, int unit);

  const tAxisCalibration& model() const { return model_; }

 private:
  TFltEditU* field(const char* name);
  void fillFields();
  void fieldEdited();
  void showFactors();
  void btnSetClick();
  void cmdRemoveCalibClick();
  void noController();

  const texts::tInterfejs& texts_;
  Store store_;
  tAxisCalibration model_;
  int unit_ = 0;
  bool filling_ = false;
  std::string strIncorrectValMessage;

  std::array<TFltEditU*, 3> feGivenDisatans{};
  std::array<TFltEditU*, 3> feRealizedDistance{};
  std::array<QLineEdit*, 3> txtCalibration{};
  std::array<QLabel*, 2> unitLabels{};
  QPushButton* btnSet = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* cmdRemoveCalib = nullptr;
};

}  // namespace trazvik::ui
