#pragma once
#include "control/cut_track.h"
#include "project/tmdichild.h"
#include "project/view_options.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

#include <vector>

namespace trazvik::ui {

// Paints a project: the figures in their layer colours (grey when not
// cut), the tool path, and by the view options the cutting direction, the
// cutting order or the entry points; a bitmap project shows its picture at
// its engraved size. A click selects the nearest figure;
// the wheel zooms about the mouse and dragging pans. The zoom level is the
// project's own `zoomSkala` (1 = whole project).
class ProjectView : public QWidget {
  Q_OBJECT
 public:
  explicit ProjectView(TMDIChild& project, QWidget* parent = nullptr);

  void setViewOptions(const ViewOptions& options);
  const ViewOptions& viewOptions() const { return options_; }

  // The figures changed (loading, recalculation, cut flags): rebuild the
  // drawn paths and repaint.
  void projectChanged();

  int zoomLevel() const { return project_.zoomSkala; }
  void setZoomLevel(int level);
  // Back to the whole project, centred.
  void fitToWindow();

  // Draws the tool paths one after another, as the machine would cut them.
  void startSimulation();
  // A running job over the plan: the part already cut and the tool's place
  // with its radius, in file units, as the track says at each repaint (the
  // loop only asks for one). Null clears it.
  void setMachineTrack(std::shared_ptr<const tCutTrack> track, double toolRadius);
  bool showsMachineTrack() const { return track_ && (track_->tool() || !track_->cut().empty()); }
  std::optional<QPointF> machineTool() const;
  std::size_t machineCutPieces() const { return track_ ? track_->cut().size() : 0; }
  bool simulating() const { return simTimer_.isActive(); }

  // Number of figures that are drawn (figures with at least one point).
  int drawnFigureCount() const;
  // Widget point of a project point (file units), for tests and overlays.
  QPointF toWidget(QPointF filePoint) const;
  QPointF toFile(QPointF widgetPoint) const;
  // Selects the figure nearest to a widget point; -1 when none.
  int selectAt(QPointF widgetPoint);

 signals:
  void selectionChanged(int figureIndex);
  void zoomChanged(int level);
  void contextMenuWanted(QPoint globalPosition);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  struct DrawnFigure {
    QPolygonF shape;     // the figure as drawn
    QPolygonF toolPath;  // the tool centre, empty when it is the shape itself
    QColor layerColor;
    bool cut = false;
    bool drillPoint = false;
    bool frame = false;
  };
  void rebuild();
  // The middle of the project: of its box, or of the engraved picture.
  QPointF projectCentre() const;
  // The picture's corners on the widget (engraved size, origin bottom left).
  QRectF pictureRect() const;
  double baseScale() const;
  double scale() const { return baseScale() * project_.zoomSkala; }
  void paintFigure(QPainter& p, const DrawnFigure& f, int index, int order, double scaleNow) const;
  void paintArrows(QPainter& p, const QPolygonF& path, const QColor& color) const;
  void paintSimulation(QPainter& p) const;
  void paintMachineTrack(QPainter& p) const;
  QRectF extent_;  // the drawing with its tool paths, file units
  std::shared_ptr<const tCutTrack> track_;
  double trackToolRadius_ = 0;
  void advanceSimulation();

  TMDIChild& project_;
  ViewOptions options_;
  std::vector<DrawnFigure> drawn_;
  QImage picture_;  // the bitmap project's picture, else null
  QPointF centre_;  // file point at the middle of the widget
  QPoint pressAt_;
  QPointF centreAtPress_;
  bool dragging_ = false;
  QTimer simTimer_;
  std::size_t simPoints_ = 0;  // tool-path points already drawn
  std::size_t simTotal_ = 0;
};

}  // namespace trazvik::ui
