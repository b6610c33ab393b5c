#include "frame/operator_interrupt.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>

namespace trazvik::ui {

OperatorInterrupt::OperatorInterrupt() { QApplication::instance()->installEventFilter(this); }

OperatorInterrupt::~OperatorInterrupt() { QApplication::instance()->removeEventFilter(this); }

bool OperatorInterrupt::take() {
  QApplication::processEvents();
  const bool pressed = pressed_;
  pressed_ = false;
  return pressed;
}

bool OperatorInterrupt::eventFilter(QObject* watched, QEvent* event) {
  const bool key = event->type() == QEvent::KeyPress;
  const bool leftClick =
      event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
  if (key || leftClick) {
    pressed_ = true;
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace trazvik::ui
