// The touch layout's pictures from the program's icon folder: taken only
// when every bitmap of the set is there and readable, each on its button,
// the lamp's bitmap split into its off and on pictures.
#include "panel/panel_icons.h"

#include "../common/temp_folder.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace trazvik::ui {
namespace {

QColor centreOf(const QIcon& icon, QIcon::State state = QIcon::Off) {
  const QImage image = icon.pixmap(QSize(66, 66), QIcon::Normal, state).toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(PanelIcons, AFolderGivesItsPicturesOnlyWhenTheSetIsComplete) {
  trazvik::testing::TempFolder folder;
  const QDir dir(QString::fromStdString(folder.path().string()));
  const std::vector<std::pair<const char*, PanelIcon>> arrows = {{"Arrow66c_U_green.bmp", PanelIcon::zUp},
                                                                 {"Arrow66c_D_green.bmp", PanelIcon::zDown},
                                                                 {"Arrow66c_UL_red.bmp", PanelIcon::upLeft},
                                                                 {"Arrow66c_L_red.bmp", PanelIcon::left},
                                                                 {"Arrow66c_DL_red.bmp", PanelIcon::downLeft},
                                                                 {"Arrow66c_U_red.bmp", PanelIcon::up},
                                                                 {"StopMK3.bmp", PanelIcon::stop},
                                                                 {"Arrow66c_D_red.bmp", PanelIcon::down},
                                                                 {"Arrow66c_UR_red.bmp", PanelIcon::upRight},
                                                                 {"Arrow66c_R_red.bmp", PanelIcon::right},
                                                                 {"Arrow66c_DR_red.bmp", PanelIcon::downRight}};
  // Each picture a colour of its own.
  const auto colourOf = [](std::size_t i) { return QColor::fromHsv(static_cast<int>(i) * 30, 200, 220); };
  for (std::size_t i = 0; i < arrows.size(); ++i) {
    QImage image(66, 66, QImage::Format_RGB32);
    image.fill(colourOf(i));
    ASSERT_TRUE(image.save(dir.filePath(arrows[i].first), "BMP"));
  }
  // The lamp: four pictures side by side, off first, held down last.
  QImage lamp(4 * 66, 66, QImage::Format_RGB32);
  QPainter paint(&lamp);
  const QColor quarters[] = {Qt::darkGreen, Qt::gray, Qt::yellow, Qt::green};
  for (int q = 0; q < 4; ++q) paint.fillRect(q * 66, 0, 66, 66, quarters[q]);
  paint.end();

  // Incomplete: the lamp is missing, then it is no picture at all.
  EXPECT_FALSE(panelIconsFromFolder(dir.path()).has_value());
  QFile broken(dir.filePath("Led_off_on_66c_x4.bmp"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("BM not a bitmap");
  broken.close();
  EXPECT_FALSE(panelIconsFromFolder(dir.path()).has_value());

  ASSERT_TRUE(lamp.save(dir.filePath("Led_off_on_66c_x4.bmp"), "BMP"));
  const std::optional<PanelIcons> icons = panelIconsFromFolder(dir.path());
  ASSERT_TRUE(icons.has_value());
  for (std::size_t i = 0; i < arrows.size(); ++i) {
    SCOPED_TRACE(arrows[i].first);
    EXPECT_EQ(centreOf(icons->at(arrows[i].second)).rgb(), colourOf(i).rgb());
  }
  EXPECT_EQ(centreOf(icons->at(PanelIcon::tool), QIcon::Off).rgb(), QColor(Qt::darkGreen).rgb());
  EXPECT_EQ(centreOf(icons->at(PanelIcon::tool), QIcon::On).rgb(), QColor(Qt::green).rgb());
}

}  // namespace
}  // namespace trazvik::ui
