// Watches for the operator's way out of a service test: a key press or a
// press of the left mouse button anywhere in the program. While it lives
// those events are taken (no window acts on them); take() runs the
// pending events and tells whether one came since the last call.
#pragma once

#include <QObject>

namespace trazvik::ui {

class OperatorInterrupt : public QObject {
 public:
  OperatorInterrupt();
  ~OperatorInterrupt() override;
  OperatorInterrupt(const OperatorInterrupt&) = delete;
  OperatorInterrupt& operator=(const OperatorInterrupt&) = delete;

  bool take();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace trazvik::ui
