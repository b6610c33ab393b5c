#include "dialogs/clickable_label.h"

#include <QMouseEvent>

namespace trazvik::ui {

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && isEnabled()) emit clicked();
  QLabel::mousePressEvent(event);
}

}  // namespace trazvik::ui
