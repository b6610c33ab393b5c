// The numeric fields of the program as widgets: TFltEdit (a number with
// limits) and TFltEditU (a length or speed held in millimetres, shown in the
// operator's unit). The numbers, limits, formats and steps are those of the
// core field models (config::TFltEdit, config::TFltEditU); the widget only
// types, shows and opens the on-screen keypad.
#pragma once

#include "config/flt_edit.h"
#include "config/number_text.h"

#include <QAbstractSpinBox>

#include <memory>

namespace trazvik::ui {

class TFltEdit : public QAbstractSpinBox {
  Q_OBJECT
 public:
  // A plain number field with limits (equal limits: not limited) and
  // `digits` decimals (0: the general number form).
  TFltEdit(QWidget* parent, double minValue, double maxValue, int digits,
           char separator = config::decimalSeparatorOfUser());
  ~TFltEdit() override;

  double value() const { return model_->value(); }
  void setValue(double value);
  // The shown text, as the model holds it.
  QString shownText() const;
  // Takes over a model's limits, format, unit and text (the settings binder
  // copies the dialog's field this way).
  virtual void assign(const config::TFltEdit& model);
  const config::TFltEdit& model() const { return *model_; }

  void setLimits(double minValue, double maxValue);
  void setFieldReadOnly(bool readOnly);
  // fBigNumPad and fJedenKlikKalkulator.
  void setKeypad(bool big, bool singleClick);

  // The text editor inside the field (what the operator types into).
  QLineEdit* editor() const { return lineEdit(); }

  // Commits the typed text as when the field is left.
  void commit();

  void stepBy(int steps) override;
  void fixup(QString& input) const override;
  QValidator::State validate(QString& input, int& pos) const override;

 signals:
  // The operator changed the value (typing then leaving, steps, keypad).
  void edited();
  // A click into the field (some settings count a click as a change).
  void clicked();

 protected:
  TFltEdit(QWidget* parent, std::unique_ptr<config::TFltEdit> model);
  StepEnabled stepEnabled() const override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showModel();
  void openKeypad();

  std::unique_ptr<config::TFltEdit> model_;
};

class TFltEditU : public TFltEdit {
  Q_OBJECT
 public:
  TFltEditU(QWidget* parent, double minMm, double maxMm, int digits, char separator = config::decimalSeparatorOfUser());

  // Millimetres.
  double valueMm() const { return value(); }
  void changeunit(int unit);
  int unit() const;
  void assign(const config::TFltEdit& model) override;

 private:
  config::TFltEditU& lengthModel();
};

}  // namespace trazvik::ui
