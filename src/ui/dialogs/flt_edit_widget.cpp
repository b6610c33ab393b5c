#include "dialogs/flt_edit_widget.h"

#include "dialogs/touch_keypad.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace trazvik::ui {

namespace {

QString toQt(const std::string& text) { return QString::fromLocal8Bit(text.data(), qsizetype(text.size())); }
std::string fromQt(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace

TFltEdit::TFltEdit(QWidget* parent, double minValue, double maxValue, int digits, char separator)
    : TFltEdit(parent, std::make_unique<config::TFltEdit>(minValue, maxValue, digits, separator)) {
  model_->setValue(minValue);
  showModel();
}

TFltEdit::TFltEdit(QWidget* parent, std::unique_ptr<config::TFltEdit> model)
    : QAbstractSpinBox(parent), model_(std::move(model)) {
  setAccelerated(false);
  setKeyboardTracking(false);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  lineEdit()->installEventFilter(this);
  setMinimumWidth(130);
}

TFltEdit::~TFltEdit() = default;

void TFltEdit::setValue(double value) {
  model_->setValue(value);
  showModel();
}

QString TFltEdit::shownText() const { return toQt(model_->text()); }

void TFltEdit::assign(const config::TFltEdit& model) {
  *model_ = model;
  showModel();
}

void TFltEdit::setLimits(double minValue, double maxValue) { model_->setLimits(minValue, maxValue); }

void TFltEdit::setFieldReadOnly(bool readOnly) {
  model_->readOnly = readOnly;
  setReadOnly(readOnly);
}

void TFltEdit::setKeypad(bool big, bool singleClick) {
  model_->fBigNumPad = big;
  model_->fJedenKlikKalkulator = singleClick;
}

void TFltEdit::showModel() {
  const QString text = toQt(model_->text());
  if (lineEdit()->text() != text) lineEdit()->setText(text);
}

void TFltEdit::commit() {
  const std::string before = model_->text();
  model_->setText(fromQt(lineEdit()->text()));
  model_->leave();
  showModel();
  if (model_->text() != before) emit edited();
}

void TFltEdit::stepBy(int steps) {
  commit();
  if (model_->readOnly) {
    QApplication::beep();
    return;
  }
  const std::string before = model_->text();
  for (int i = 0; i < std::abs(steps); ++i) {
    if (steps > 0)
      model_->stepUp();
    else
      model_->stepDown();
  }
  showModel();
  if (model_->text() != before) emit edited();
}

QAbstractSpinBox::StepEnabled TFltEdit::stepEnabled() const {
  if (model_->readOnly) return StepNone;
  return StepUpEnabled | StepDownEnabled;
}

// The key filter decides what may be typed; any text is intermediate until
// the field is left.
QValidator::State TFltEdit::validate(QString&, int&) const { return QValidator::Acceptable; }
void TFltEdit::fixup(QString&) const {}

void TFltEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    commit();
    event->ignore();  // the dialog's default button still sees Enter
    return;
  }
  // The numeric keypad's decimal key types the system's separator, whatever
  // character the keyboard layout gives it.
  if ((event->modifiers() & Qt::KeypadModifier) &&
      (key == Qt::Key_Period || key == Qt::Key_Comma || key == Qt::Key_Delete)) {
    if (key != Qt::Key_Delete || event->text() == "." || event->text() == ",") {
      lineEdit()->insert(QString(QChar(model_->separator())));
      return;
    }
  }
  const QString text = event->text();
  if (text.size() == 1 && text[0].unicode() >= 32 && !(event->modifiers() & Qt::ControlModifier)) {
    const char typed = text[0].unicode() < 128 ? static_cast<char>(text[0].unicode()) : '\x7f';
    if (model_->readOnly || !model_->acceptsKey(typed)) {
      QApplication::beep();
      return;
    }
  }
  QAbstractSpinBox::keyPressEvent(event);
}

void TFltEdit::focusOutEvent(QFocusEvent* event) {
  commit();
  QAbstractSpinBox::focusOutEvent(event);
}

// Rolling the wheel towards the operator (down) increases the value.
void TFltEdit::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) return;
  stepBy(delta < 0 ? 1 : -1);
  event->accept();
}

bool TFltEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit()) {
    if (event->type() == QEvent::MouseButtonPress) {
      emit clicked();
      if (model_->fJedenKlikKalkulator && isEnabled() && !model_->readOnly) {
        openKeypad();
        return true;
      }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      if (!model_->fJedenKlikKalkulator && isEnabled() && !model_->readOnly) {
        openKeypad();
        return true;
      }
    }
  }
  return QAbstractSpinBox::eventFilter(watched, event);
}

void TFltEdit::openKeypad() {
  const std::optional<QString> typed = TouchKeypad::ask(this, lineEdit()->text(), QChar(model_->separator()),
                                                        model_->fBigNumPad, mapToGlobal(QPoint(0, 0)));
  if (!typed) return;
  const std::string before = model_->text();
  model_->keypadConfirmed(fromQt(*typed));
  showModel();
  if (model_->text() != before) emit edited();
}

TFltEditU::TFltEditU(QWidget* parent, double minMm, double maxMm, int digits, char separator)
    : TFltEdit(parent, std::make_unique<config::TFltEditU>(minMm, maxMm, digits, separator)) {
  model_->setValue(minMm);
  showModel();
}

config::TFltEditU& TFltEditU::lengthModel() { return static_cast<config::TFltEditU&>(*model_); }

void TFltEditU::changeunit(int unit) {
  commit();
  lengthModel().changeunit(unit);
  showModel();
}

int TFltEditU::unit() const { return static_cast<const config::TFltEditU&>(*model_).unit(); }

void TFltEditU::assign(const config::TFltEdit& model) {
  if (const auto* length = dynamic_cast<const config::TFltEditU*>(&model)) {
    lengthModel() = *length;
  } else {
    static_cast<config::TFltEdit&>(*model_) = model;
  }
  showModel();
}

}  // namespace trazvik::ui
