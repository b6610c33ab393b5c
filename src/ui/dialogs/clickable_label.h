// A label that reports a click (the end labels of the arc speed slider).
#pragma once

#include <QLabel>

namespace trazvik::ui {

class ClickableLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace trazvik::ui
