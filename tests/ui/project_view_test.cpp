#include "project/project_loader.h"
#include "project/project_view.h"

#include "program_fixture.h"

#include "../import/bmp_fixtures.h"
#include "modal_answer.h"

#include "config/tdlgkonfig.h"

#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace trazvik::ui {
namespace {

using testing::ProgramTest;

TEST(ProjectLoader, OpenDialogFilterInQtForm) {
  EXPECT_EQ(qtFileFilter(filtrOtwierania(false)),
            "(*.plt *.hpgl *.hpg *.hgl *.hp *.dxf *.nc *.ngc *.gcode *.gc *.tap *.cnc);;"
            "HPGL (*.plt *.hpgl *.hpg *.hgl *.hp);;DXF R12 (*.dxf);;G Code (*.nc *.ngc *.gcode *.gc *.tap *.cnc);;"
            "all files (*)");
  EXPECT_EQ(qtFileFilter(filtrOtwierania(true)),
            "(*.plt *.hpgl *.hpg *.hgl *.hp *.dxf *.bmp);;HPGL (*.plt *.hpgl *.hpg *.hgl *.hp);;DXF R12 (*.dxf);;"
            "BMP (*.bmp);;all files (*)");
}

TEST_F(ProgramTest, WheelZoomKeepsThePointUnderTheMouseAndDraggingPans) {
  startProgram();
  ProjectWindow* w = open("plate.dxf");
  ASSERT_NE(w, nullptr);
  ProjectView& view = w->view();
  const QPointF mouse(view.width() * 0.3, view.height() * 0.6);
  const QPointF under = view.toFile(mouse);

  QWheelEvent wheel(mouse, view.mapToGlobal(mouse), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &wheel);
  EXPECT_EQ(view.zoomLevel(), 3);
  EXPECT_EQ(main().zoomLevel(), 3);  // the toolbar follows the window
  const QPointF still = view.toWidget(under);
  EXPECT_NEAR(still.x(), mouse.x(), 1.0);
  EXPECT_NEAR(still.y(), mouse.y(), 1.0);

  // The middle button drags the drawing along with the mouse.
  const QPoint from(view.width() / 2, view.height() / 2);
  const QPoint to = from + QPoint(40, -25);
  const QPointF grabbed = view.toFile(from);
  QTest::mousePress(&view, Qt::MiddleButton, {}, from);
  QMouseEvent move(QEvent::MouseMove, QPointF(to), view.mapToGlobal(QPointF(to)), Qt::NoButton, Qt::MiddleButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&view, &move);
  QTest::mouseRelease(&view, Qt::MiddleButton, {}, to);
  const QPointF moved = view.toWidget(grabbed);
  EXPECT_NEAR(moved.x(), to.x(), 1.0);
  EXPECT_NEAR(moved.y(), to.y(), 1.0);
  // A drag is not a click: the selection stays as it was.
  EXPECT_EQ(w->project().selected, -1);
}

TEST_F(ProgramTest, SimulationDrawsTheToolPathsAndEnds) {
  startProgram();
  ProjectWindow* w = open("star.plt");
  ASSERT_NE(w, nullptr);
  const QImage before = w->view().grab().toImage();
  main().action("SpeedSymulacja")->trigger();
  ASSERT_TRUE(w->view().simulating());
  QTest::qWait(400);
  const QImage during = w->view().grab().toImage();
  EXPECT_NE(before, during);
  for (int i = 0; i < 500 && w->view().simulating(); ++i) QTest::qWait(20);
  EXPECT_FALSE(w->view().simulating());
  EXPECT_EQ(w->view().grab().toImage(), before);
}

// Red pixels (the entry points and order numbers) inside a rectangle.
int redInside(const QImage& image, QRect r) {
  r = r.intersected(image.rect());
  int red = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 110 && c.blue() < 110) ++red;
    }
  return red;
}

// The darkest grey level of the pixels within 3 pixels of a point.
int darkestAround(const QImage& image, QPoint at) {
  int darkest = 255;
  for (int y = at.y() - 3; y <= at.y() + 3; ++y)
    for (int x = at.x() - 3; x <= at.x() + 3; ++x)
      if (image.rect().contains(x, y)) darkest = std::min(darkest, qGray(image.pixel(x, y)));
  return darkest;
}

// plate.dxf: four 7 mm holes (centres 15 mm from the corners) in a 120 x 80
// mm plate. Under a 10 mm cutter the open names them, and the view draws
// them grey without an order number, beside the numbered figures it cuts.
TEST_F(ProgramTest, FiguresNarrowerThanTheToolAreToldAtOpenAndDrawnAsNotCut) {
  startProgram();
  TDlgkonfig& settings = program_->context().settings();
  settings.set("doOutline", true);
  settings.set("srednica", 10.0);
  testing::SeenBox seen;
  testing::pressInNextBox(QMessageBox::Ok, &seen);
  ProjectWindow* w = open("plate.dxf");
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(seen.seen);
  const std::string text = seen.text.toStdString();
  EXPECT_NE(text.find(texts().dajTxt("Project_window", "msgFiguryWezszeOdNarzedzia") + " 4"), std::string::npos)
      << text;
  for (const char* place : {"X 105.00 Y 15.00", "X 105.00 Y 65.00", "X 15.00 Y 65.00", "X 15.00 Y 15.00"})
    EXPECT_NE(text.find(std::string(place) + " mm, 7.00 x 7.00 mm, tool 10.00 mm"), std::string::npos) << place;

  main().action("Kolejnosc")->trigger();
  ProjectView& view = w->view();
  const QImage image = view.grab().toImage();
  // DXF units are hundredths of a millimetre; the plate's corner is 0, 0.
  // A line drawn grey is never darker than its grey; a cut one is near black.
  const int hole = darkestAround(image, view.toWidget(QPointF(1500 + 350, 1500)).toPoint());
  EXPECT_GE(hole, 165);
  EXPECT_LT(hole, 240) << "the hole is drawn";
  EXPECT_LT(darkestAround(image, view.toWidget(QPointF(0, 4000)).toPoint()), 150) << "the frame is cut";
  const QPoint centre = view.toWidget(QPointF(1500, 1500)).toPoint();
  EXPECT_EQ(redInside(image, QRect(centre - QPoint(40, 40), QSize(80, 80))), 0) << "no entry point, no number";
  // The frame is cut and numbered.
  EXPECT_GT(redInside(image, image.rect()), 0);
}

// A bitmap project shows its picture, the right way up, at its engraved
// size in the middle of the window, and offers burning it.
TEST_F(ProgramTest, BitmapProjectShowsItsPictureAndOffersBurning) {
  startProgram();
  // 40 x 20 pixels, the top left quarter black and the rest white.
  trazvik::testing::BmpLayout layout;
  layout.width = 40;
  layout.height = 20;
  for (int y = 0; y < layout.height; ++y)
    for (int x = 0; x < layout.width; ++x) layout.values.push_back(x < 20 && y < 10 ? 0x000000u : 0xFFFFFFu);
  const std::vector<std::uint8_t> bytes = trazvik::testing::bmpFile(layout);
  const std::filesystem::path path = folder_ / "quarter.bmp";
  trazvik::testing::writeFile(path, std::string(bytes.begin(), bytes.end()));

  ProjectWindow* w = main().OtworzProjekt(path.string());
  QApplication::processEvents();
  ASSERT_NE(w, nullptr);
  const TMDIChild& p = w->project();
  ASSERT_GT(p.size_x, 0);
  EXPECT_NEAR(p.size_y, p.size_x / 2, 1e-9);  // the picture's aspect
  ProjectView& view = w->view();
  const QImage shot = view.grab().toImage();
  auto grey = [&](double fx, double fy) {
    const QPoint at = view.toWidget(QPointF(p.size_x * fx, p.size_y * fy)).toPoint();
    return qGray(shot.pixel(at));
  };
  EXPECT_LT(grey(0.25, 0.75), 60);   // top left: the black quarter
  EXPECT_GT(grey(0.75, 0.75), 200);  // top right
  EXPECT_GT(grey(0.25, 0.25), 200);  // bottom left
  const QPointF middle = view.toWidget(QPointF(p.size_x / 2, p.size_y / 2));
  EXPECT_NEAR(middle.x(), view.width() / 2.0, 1.0);
  EXPECT_NEAR(middle.y(), view.height() / 2.0, 1.0);
  // The picture fills the window's width or height, less the margins.
  const QPointF corner = view.toWidget(QPointF(p.size_x, 0));
  EXPECT_TRUE(std::fabs(2 * (corner.x() - middle.x()) - (view.width() - 40)) < 2 ||
              std::fabs(2 * (corner.y() - middle.y()) - (view.height() - 40)) < 2);
  EXPECT_TRUE(visible("WypalBMP1"));

  // A drawing next to it does not offer burning.
  ASSERT_NE(open("plate.dxf"), nullptr);
  EXPECT_FALSE(visible("WypalBMP1"));
}

// With a 10 mm cutter the plate's outer tool path runs 5 mm outside it:
// "whole project" shows it inside the view.
TEST_F(ProgramTest, WholeProjectShowsTheOuterToolPath) {
  startProgram();
  TDlgkonfig& settings = program_->context().settings();
  settings.set("doOutline", true);
  settings.set("srednica", 10.0);
  testing::pressInNextBox(QMessageBox::Ok);
  ProjectWindow* w = open("plate.dxf");
  ASSERT_NE(w, nullptr);
  w->view().fitToWindow();
  const QRect inside = w->view().rect();
  for (const QPointF corner : {QPointF(-500, -500), QPointF(12500, 8500)})
    EXPECT_TRUE(inside.contains(w->view().toWidget(corner).toPoint())) << corner.x() << ", " << corner.y();
}

}  // namespace
}  // namespace trazvik::ui
