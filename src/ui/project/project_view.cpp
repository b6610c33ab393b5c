#include "project/project_view.h"

#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "layers/layer_colors.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace trazvik::ui {
namespace {

constexpr int kMargin = 20;
const QColor kNotCut(170, 170, 170);
const QColor kToolPath(255, 140, 0);
const QColor kEntry(220, 20, 20);
const QColor kCutTrack(0, 160, 60);  // the part already cut
const QColor kToolMark(0, 90, 200);  // the tool while a job runs
const QColor kSelected(0, 120, 215);
const QColor kPlain(20, 20, 20);
const QColor kDirection(0, 130, 60);
const QColor kSimulated(220, 0, 160);

QColor fromKolor(tKolor c) {
  QColor q(static_cast<int>(c & 0xff), static_cast<int>((c >> 8) & 0xff), static_cast<int>((c >> 16) & 0xff));
  // White would vanish on the background.
  return q == QColor(Qt::white) ? QColor(Qt::black) : q;
}

QPolygonF polygon(const std::vector<trealpoint>& points) {
  QPolygonF poly;
  poly.reserve(static_cast<int>(points.size()));
  for (const trealpoint& q : points)
    if (std::isfinite(q.x) && std::isfinite(q.y)) poly << QPointF(q.x, q.y);
  return poly;
}

QPolygonF toolPathOf(const tfigura& f) {
  if (!f.sp.empty()) {
    QPolygonF poly;
    poly.reserve(static_cast<int>(f.sp.size()));
    for (const trpoint3d& q : f.sp) poly << QPointF(q.x, q.y);
    return poly;
  }
  return polygon(f.op);
}

QPen cosmetic(const QColor& color, double width, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(color, width, style);
  pen.setCosmetic(true);
  return pen;
}

}  // namespace

ProjectView::ProjectView(TMDIChild& project, QWidget* parent) : QWidget(parent), project_(project) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setMouseTracking(false);
  setMinimumSize(200, 150);
  simTimer_.setInterval(30);
  connect(&simTimer_, &QTimer::timeout, this, &ProjectView::advanceSimulation);
  rebuild();
  fitToWindow();
}

void ProjectView::setViewOptions(const ViewOptions& options) {
  options_ = options;
  update();
}

void ProjectView::projectChanged() {
  rebuild();
  // A picture's size follows the settings: it stays in the middle.
  if (!picture_.isNull() && project_.zoomSkala == 1) centre_ = projectCentre();
  update();
}

void ProjectView::rebuild() {
  picture_ = {};
  if (project_.ImportFileType == kFileTypeBitmap && project_.obraz && !project_.obraz->empty()) {
    const import::tBitmap& b = *project_.obraz;
    // The decoder's rows are top first, three bytes a pixel: Qt's RGB888.
    picture_ = QImage(b.rgb.data(), b.width, b.height, b.width * 3, QImage::Format_RGB888).copy();
  }
  drawn_.clear();
  drawn_.reserve(project_.fig.size());
  for (const auto& wsk : project_.fig) {
    const tfigura& f = *wsk;
    DrawnFigure d;
    d.shape = polygon(drawnPoints(f));
    // A G-code program is its own tool path.
    if (project_.ImportFileType != 3) d.toolPath = toolPathOf(f);
    if (d.toolPath == d.shape) d.toolPath.clear();
    // Drawn as not cut, without an order number: the tool is wider than it.
    d.cut = f.tocut && !f.narrowerThanTool;
    d.drillPoint = f.otwor;
    d.frame = f.ramka;
    if (project_.warstwy && project_.wielowarstwowy())
      d.layerColor =
          fromKolor(project_.warstwy->layer[static_cast<std::size_t>(std::clamp(f.org_color, 0, 1024))].kolor);
    else
      d.layerColor = fromKolor(kolorWarstwy(project_.ImportFileType, f.org_color));
    drawn_.push_back(std::move(d));
  }
  // "Whole project" shows the tool's outer path too, which a large tool
  // takes beyond the drawing.
  extent_ = QRectF(QPointF(project_.pp.x, project_.pp.y), QPointF(project_.pk.x, project_.pk.y)).normalized();
  for (const DrawnFigure& d : drawn_)
    if (!d.toolPath.isEmpty()) extent_ = extent_.united(d.toolPath.boundingRect());
}

int ProjectView::drawnFigureCount() const {
  return static_cast<int>(
      std::count_if(drawn_.begin(), drawn_.end(), [](const DrawnFigure& d) { return !d.shape.isEmpty(); }));
}

QPointF ProjectView::projectCentre() const {
  if (!picture_.isNull()) return {project_.size_x / 2, project_.size_y / 2};
  return extent_.center();
}

QRectF ProjectView::pictureRect() const {
  return QRectF(toWidget(QPointF(0, project_.size_y)), toWidget(QPointF(project_.size_x, 0)));
}

double ProjectView::baseScale() const {
  const double w = std::max(1, width() - 2 * kMargin);
  const double h = std::max(1, height() - 2 * kMargin);
  // A picture fills the view by its size; a drawing with its tool paths.
  const double across = picture_.isNull() ? extent_.width() : project_.size_x;
  const double up = picture_.isNull() ? extent_.height() : project_.size_y;
  const double sx = across > 0 ? w / across : 1;
  const double sy = up > 0 ? h / up : 1;
  const double s = std::min(sx, sy);
  return std::isfinite(s) && s > 0 ? s : 1;
}

void ProjectView::fitToWindow() {
  centre_ = projectCentre();
  setZoomLevel(1);
  update();
}

void ProjectView::setZoomLevel(int level) {
  level = std::clamp(level, 1, 10);
  if (level == 1) centre_ = projectCentre();
  if (level == project_.zoomSkala) return;
  project_.zoomSkala = level;
  update();
  emit zoomChanged(level);
}

QPointF ProjectView::toWidget(QPointF f) const {
  const double s = scale();
  return {width() / 2.0 + (f.x() - centre_.x()) * s, height() / 2.0 - (f.y() - centre_.y()) * s};
}

QPointF ProjectView::toFile(QPointF w) const {
  const double s = scale();
  return {centre_.x() + (w.x() - width() / 2.0) / s, centre_.y() - (w.y() - height() / 2.0) / s};
}

int ProjectView::selectAt(QPointF widgetPoint) {
  const QPointF f = toFile(widgetPoint);
  const double skala = project_.konfig().real("skala") / 100;
  const int type = project_.ImportFileType;
  // The figures' positions in millimetres from the project's corner, as the
  // project measures them.
  const double x = toMm(type, f.x() - project_.pp.x) * skala;
  const double y = toMm(type, f.y() - project_.pp.y) * skala;
  project_.selected = project_.ktoraToFigura(y, x);
  update();
  emit selectionChanged(project_.selected);
  return project_.selected;
}

void ProjectView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, drawn_.size() < 20000);
  const double s = scale();
  if (!picture_.isNull()) {
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRectF area = pictureRect();
    p.drawImage(area, picture_);
    p.setPen(cosmetic(kNotCut, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area);
  }
  int order = 0;
  for (std::size_t i = 0; i < drawn_.size(); ++i) {
    if (drawn_[i].cut) ++order;
    paintFigure(p, drawn_[i], static_cast<int>(i), order, s);
  }
  if (simulating()) paintSimulation(p);
  paintMachineTrack(p);
}

void ProjectView::setMachineTrack(std::shared_ptr<const tCutTrack> track, double toolRadius) {
  track_ = std::move(track);
  trackToolRadius_ = toolRadius;
  update();
}

std::optional<QPointF> ProjectView::machineTool() const {
  if (!track_ || !track_->tool()) return std::nullopt;
  return QPointF(track_->tool()->x, track_->tool()->y);
}

void ProjectView::paintMachineTrack(QPainter& p) const {
  if (!showsMachineTrack()) return;
  const double s = scale();
  p.resetTransform();
  p.setTransform(QTransform(s, 0, 0, -s, width() / 2.0 - centre_.x() * s, height() / 2.0 + centre_.y() * s));
  QColor cut = kCutTrack;
  cut.setAlpha(150);
  // The cut is as wide as the tool, but never thinner than a line one sees.
  p.setPen([&] {
    QPen pen(cut, std::max(3.0, 2 * trackToolRadius_ * s), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setCosmetic(true);
    return pen;
  }());
  QPolygonF line;
  for (const std::vector<trealpoint>& piece : track_->cut()) {
    line.clear();
    line.reserve(static_cast<qsizetype>(piece.size()));
    for (const trealpoint& q : piece) line << QPointF(q.x, q.y);
    p.drawPolyline(line);
  }
  p.resetTransform();
  const std::optional<QPointF> tool = machineTool();
  if (!tool) return;
  const QPointF at = toWidget(*tool);
  const double r = std::max(5.0, trackToolRadius_ * s);
  p.setPen(QPen(kToolMark, 2));
  p.setBrush(QColor(kToolMark.red(), kToolMark.green(), kToolMark.blue(), 60));
  p.drawEllipse(at, r, r);
  p.drawLine(at - QPointF(r + 6, 0), at + QPointF(r + 6, 0));
  p.drawLine(at - QPointF(0, r + 6), at + QPointF(0, r + 6));
  p.setBrush(Qt::NoBrush);
}

void ProjectView::paintFigure(QPainter& p, const DrawnFigure& f, int index, int order, double s) const {
  if (f.shape.isEmpty()) return;
  const QTransform toScreen(s, 0, 0, -s, width() / 2.0 - centre_.x() * s, height() / 2.0 + centre_.y() * s);
  const bool selected = index == project_.selected;
  QColor color = !f.cut ? kNotCut : options_.mode == ViewOptions::Mode::Layers ? f.layerColor : kPlain;
  if (selected) color = kSelected;
  p.setTransform(toScreen);
  p.setPen(cosmetic(color, selected ? 3.0 : f.frame ? 1.0 : 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(f.shape);
  if (f.cut && !f.toolPath.isEmpty()) {
    p.setPen(cosmetic(kToolPath, 1.0, Qt::DashLine));
    p.drawPolyline(f.toolPath);
  }
  p.resetTransform();

  const QPolygonF& path = f.toolPath.isEmpty() ? f.shape : f.toolPath;
  const QPointF entry = toWidget(path.front());
  if (f.drillPoint) {
    p.setPen(cosmetic(color, 1.5));
    p.drawEllipse(entry, 4, 4);
  }
  if (!f.cut) return;
  if (options_.mode == ViewOptions::Mode::Direction) paintArrows(p, path, kDirection);
  if (options_.entryPoints) {
    p.setPen(Qt::NoPen);
    p.setBrush(kEntry);
    p.drawEllipse(entry, 3, 3);
    p.setBrush(Qt::NoBrush);
  }
  if (options_.mode == ViewOptions::Mode::Order) {
    // On a light patch, so the number reads over the lines.
    const QString text = QString::number(order);
    QRectF box = p.fontMetrics().boundingRect(text);
    box.moveBottomLeft(entry + QPointF(4, -4));
    p.fillRect(box.adjusted(-1, 0, 1, 0), QColor(255, 255, 255, 220));
    p.setPen(kEntry);
    p.drawText(box, Qt::AlignCenter, text);
  }
}

// Small arrow heads along the path in its direction of travel, about one
// every 80 pixels and at least one per figure.
void ProjectView::paintArrows(QPainter& p, const QPolygonF& path, const QColor& color) const {
  if (path.size() < 2) return;
  p.setPen(cosmetic(color, 1.5));
  double sinceLast = 40;
  for (int i = 1; i < path.size(); ++i) {
    const QPointF a = toWidget(path[i - 1]);
    const QPointF b = toWidget(path[i]);
    const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
    if (len < 1e-9) continue;
    sinceLast += len;
    if (sinceLast < 80 && !(i == path.size() - 1 && sinceLast >= 40)) continue;
    sinceLast = 0;
    const QPointF mid = (a + b) / 2;
    const QPointF dir = (b - a) / len;
    const QPointF normal(-dir.y(), dir.x());
    const QPointF back = mid - dir * 8;
    p.drawLine(mid, back + normal * 4);
    p.drawLine(mid, back - normal * 4);
  }
}

void ProjectView::startSimulation() {
  simTotal_ = 0;
  for (const DrawnFigure& f : drawn_)
    if (f.cut) simTotal_ += static_cast<std::size_t>((f.toolPath.isEmpty() ? f.shape : f.toolPath).size());
  simPoints_ = 0;
  if (simTotal_ > 0) simTimer_.start();
}

void ProjectView::advanceSimulation() {
  // About four seconds for a whole project, whatever its size.
  simPoints_ += std::max<std::size_t>(1, simTotal_ / 130);
  if (simPoints_ >= simTotal_) {
    simTimer_.stop();
    simPoints_ = 0;
  }
  update();
}

void ProjectView::paintSimulation(QPainter& p) const {
  p.setPen(cosmetic(kSimulated, 2.5));
  std::size_t left = simPoints_;
  QPointF last;
  bool haveLast = false;
  for (const DrawnFigure& f : drawn_) {
    if (!f.cut || left == 0) continue;
    const QPolygonF& path = f.toolPath.isEmpty() ? f.shape : f.toolPath;
    QPolygonF shown;
    for (int i = 0; i < path.size() && left > 0; ++i, --left) shown << toWidget(path[i]);
    if (haveLast && !shown.isEmpty()) {
      p.setPen(cosmetic(kSimulated, 1.0, Qt::DotLine));  // the travel between figures
      p.drawLine(last, shown.front());
      p.setPen(cosmetic(kSimulated, 2.5));
    }
    p.drawPolyline(shown);
    if (!shown.isEmpty()) {
      last = shown.back();
      haveLast = true;
    }
  }
}

void ProjectView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton) {
    pressAt_ = event->position().toPoint();
    centreAtPress_ = centre_;
    dragging_ = event->button() == Qt::MiddleButton;
  }
  QWidget::mousePressEvent(event);
}

void ProjectView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & (Qt::LeftButton | Qt::MiddleButton))) return;
  const QPoint moved = event->position().toPoint() - pressAt_;
  if (!dragging_ && moved.manhattanLength() < 6) return;
  dragging_ = true;
  setCursor(Qt::ClosedHandCursor);
  const double s = scale();
  centre_ = centreAtPress_ + QPointF(-moved.x() / s, moved.y() / s);
  update();
}

void ProjectView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !dragging_) selectAt(event->position());
  if (dragging_) unsetCursor();
  dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

void ProjectView::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps == 0) return;
  // Keep the project point under the mouse where it is.
  const QPointF mouse = event->position();
  const QPointF before = toFile(mouse);
  setZoomLevel(project_.zoomSkala + steps);
  const QPointF after = toFile(mouse);
  if (project_.zoomSkala > 1) centre_ += before - after;
  update();
}

void ProjectView::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() == QContextMenuEvent::Mouse) selectAt(event->pos());
  emit contextMenuWanted(event->globalPos());
}

}  // namespace trazvik::ui
