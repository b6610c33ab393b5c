#include "project/project_loader.h"
#include "project/project_view.h"

#include "program_fixture.h"

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

}  // namespace
}  // namespace trazvik::ui
