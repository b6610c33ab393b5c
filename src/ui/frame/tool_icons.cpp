#include "frame/tool_icons.h"

#include <QPainter>
#include <QPixmap>

namespace trazvik::ui {

QIcon zoomIcon(ZoomIcon kind) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(QColor(40, 40, 40), 2);
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  if (kind == ZoomIcon::Fit) {
    // A frame with its corners pointing outwards.
    p.drawRect(QRectF(7, 7, 10, 10));
    for (const QPointF& c : {QPointF(3, 3), QPointF(21, 3), QPointF(3, 21), QPointF(21, 21)}) {
      const QPointF inward((c.x() < 12 ? 4 : -4), (c.y() < 12 ? 4 : -4));
      p.drawLine(c, c + QPointF(inward.x(), 0));
      p.drawLine(c, c + QPointF(0, inward.y()));
    }
    return QIcon(pixmap);
  }
  // A magnifier with a minus or a plus.
  p.drawEllipse(QRectF(3, 3, 13, 13));
  p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
  p.drawLine(QPointF(6.5, 9.5), QPointF(12.5, 9.5));
  if (kind == ZoomIcon::In) p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
  return QIcon(pixmap);
}

}  // namespace trazvik::ui
