#include "panel/panel_icons.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <utility>

namespace trazvik::ui {

namespace {

// A picture drawn on a 100 x 100 canvas scaled to `size` pixels.
template <class Draw>
QPixmap picture(int size, Draw draw) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 100.0, size / 100.0);
  draw(p);
  return pixmap;
}

// A broad arrow pointing `degrees` clockwise from up; `letter` is written
// on its shaft.
QPixmap arrow(int size, double degrees, const QColor& colour, const QString& letter = {}) {
  return picture(size, [&](QPainter& p) {
    p.translate(50, 50);
    p.rotate(degrees);
    p.translate(-50, -50);
    const QPolygonF shape{{50, 6}, {92, 48}, {65, 48}, {65, 94}, {35, 94}, {35, 48}, {8, 48}};
    QLinearGradient fill(0, 0, 100, 100);
    fill.setColorAt(0, colour.lighter(140));
    fill.setColorAt(1, colour.darker(130));
    p.setBrush(fill);
    p.setPen(QPen(colour.darker(200), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(shape);
    if (letter.isEmpty()) return;
    // Upright whatever way the arrow points.
    p.translate(50, 70);
    p.rotate(-degrees);
    QFont font;
    font.setBold(true);
    font.setPixelSize(26);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(-15, -15, 30, 30), Qt::AlignCenter, letter);
  });
}

QPixmap lamp(int size, bool lit) {
  return picture(size, [&](QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 4));
    p.setBrush(QColor(120, 120, 120));
    p.drawEllipse(QPointF(50, 50), 42, 42);
    QRadialGradient glass(QPointF(42, 40), 38);
    glass.setColorAt(0, lit ? QColor(220, 255, 200) : QColor(110, 130, 110));
    glass.setColorAt(1, lit ? QColor(30, 190, 40) : QColor(40, 60, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(QPointF(50, 50), 32, 32);
  });
}

QPixmap stopSign(int size) {
  return picture(size, [](QPainter& p) {
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
      const double a = (22.5 + 45 * i) * 3.14159265358979 / 180;
      octagon << QPointF(50 + 46 * std::cos(a), 50 + 46 * std::sin(a));
    }
    p.setPen(QPen(Qt::white, 4));
    p.setBrush(QColor(198, 40, 40));
    p.drawPolygon(octagon);
    QFont font;
    font.setBold(true);
    font.setPixelSize(26);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 100, 100), Qt::AlignCenter, QStringLiteral("STOP"));
  });
}

}  // namespace

PanelIcons drawnPanelIcons(int size) {
  const QColor red(214, 48, 49), green(46, 160, 67);
  const std::pair<PanelIcon, double> directions[] = {
      {PanelIcon::up, 0},     {PanelIcon::upRight, 45},   {PanelIcon::right, 90}, {PanelIcon::downRight, 135},
      {PanelIcon::down, 180}, {PanelIcon::downLeft, 225}, {PanelIcon::left, 270}, {PanelIcon::upLeft, 315}};
  PanelIcons icons;
  for (const auto& [icon, degrees] : directions) icons[icon] = QIcon(arrow(size, degrees, red));
  icons[PanelIcon::zUp] = QIcon(arrow(size, 0, green, QStringLiteral("Z")));
  icons[PanelIcon::zDown] = QIcon(arrow(size, 180, green, QStringLiteral("Z")));
  QIcon tool;
  tool.addPixmap(lamp(size, false), QIcon::Normal, QIcon::Off);
  tool.addPixmap(lamp(size, true), QIcon::Normal, QIcon::On);
  icons[PanelIcon::tool] = tool;
  icons[PanelIcon::stop] = QIcon(stopSign(size));
  return icons;
}

std::optional<PanelIcons> panelIconsFromFolder(const QString& folder) {
  const std::pair<PanelIcon, const char*> files[] = {
      {PanelIcon::zUp, "Arrow66c_U_green.bmp"},   {PanelIcon::zDown, "Arrow66c_D_green.bmp"},
      {PanelIcon::tool, "Led_off_on_66c_x4.bmp"}, {PanelIcon::upLeft, "Arrow66c_UL_red.bmp"},
      {PanelIcon::left, "Arrow66c_L_red.bmp"},    {PanelIcon::downLeft, "Arrow66c_DL_red.bmp"},
      {PanelIcon::up, "Arrow66c_U_red.bmp"},      {PanelIcon::stop, "StopMK3.bmp"},
      {PanelIcon::down, "Arrow66c_D_red.bmp"},    {PanelIcon::upRight, "Arrow66c_UR_red.bmp"},
      {PanelIcon::right, "Arrow66c_R_red.bmp"},   {PanelIcon::downRight, "Arrow66c_DR_red.bmp"}};
  const QDir dir(folder);
  PanelIcons icons;
  for (const auto& [icon, name] : files) {
    const QPixmap pixmap(dir.filePath(QString::fromLatin1(name)));
    if (pixmap.isNull()) return std::nullopt;
    if (icon != PanelIcon::tool) {
      icons[icon] = QIcon(pixmap);
      continue;
    }
    // The lamp's bitmap holds four pictures side by side: the first is the
    // lamp off, the last the button held down.
    const int w = pixmap.width() / 4;
    QIcon tool;
    tool.addPixmap(w > 0 ? pixmap.copy(0, 0, w, pixmap.height()) : pixmap, QIcon::Normal, QIcon::Off);
    tool.addPixmap(w > 0 ? pixmap.copy(3 * w, 0, w, pixmap.height()) : pixmap, QIcon::Normal, QIcon::On);
    icons[icon] = tool;
  }
  return icons;
}

}  // namespace trazvik::ui
