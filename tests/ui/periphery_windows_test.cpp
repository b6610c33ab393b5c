// The layer dialog, the job information window, the About box and the log
// viewer, each against real data: a layer table and its file, a sample
// project, log files in a folder.
#include "config/tdlgkonfig.h"
#include "layers/warstwy.h"
#include "project/tmdichild.h"
#include "../common/temp_folder.h"
#include "ui_texts_fixture.h"

#include "dialogs/flt_edit_widget.h"
#include "dialogs/info_windows.h"
#include "dialogs/layer_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace trazvik::ui {
namespace {

struct Pen {
  int org_color;
  double width;
  bool ramka;
};

struct LayerFixture : ::testing::Test {
  testing::TempFolder folder;
  testing::UiTexts ui;
  tWarstwy layers;
  std::string design;

  void build(bool laser, int heads) {
    design = (folder / "plate.plt").string();
    layers.ustawMaszyne(heads, 24000);
    const std::vector<Pen> pens{{1, 2.0, false}, {2, 1.0, false}, {2, 1.5, true}};
    layers.create(pens, design, laser, 18000, 600, 1.5, 1);
  }
  QStringList headers(const LayerDialog& dialog) {
    QStringList names;
    for (int c = 0; c < dialog.grid()->columnCount(); ++c) names << dialog.grid()->horizontalHeaderItem(c)->text();
    return names;
  }
  void type(TFltEdit* field, const QString& text) {
    ASSERT_NE(field, nullptr);
    field->editor()->setText(text);
    field->commit();
  }
};

TEST_F(LayerFixture, EditsOfEveryRowAreWrittenToTheTableAndTheLayerFile) {
  build(false, 2);
  LayerDialog dialog(layers, ui.texts, LayerDialogOptions{false, 2, 0, true, false});
  ASSERT_EQ(dialog.grid()->rowCount(), 2);
  EXPECT_EQ(headers(dialog).size(), 8);  // colour, depth, speed, rotations, head, diameter, active, order
  EXPECT_EQ(dialog.grid()->item(1, 0)->text(), "2");
  EXPECT_EQ(dialog.field(0, "depth")->shownText(), "2.00");  // the pen width of a plot file
  EXPECT_EQ(dialog.field(1, "rotations")->shownText(), "18000");

  type(dialog.field(0, "depth"), "3.5");
  type(dialog.field(1, "speed"), "1200");
  type(dialog.field(1, "head"), "7");  // clamped to the two heads
  type(dialog.field(1, "diameter"), "6");
  type(dialog.field(0, "order"), "2");
  type(dialog.field(1, "order"), "1");
  dialog.activeBox(0)->setChecked(false);
  dialog.accept();

  EXPECT_DOUBLE_EQ(layers.getGlebokosc(1), 3.5);
  EXPECT_EQ(layers.getSzybkosc(2), 1200);
  EXPECT_EQ(layers.getGlowica(2), 2);
  EXPECT_DOUBLE_EQ(layers.getSrednicaFrezu(2), 6);
  EXPECT_FALSE(layers.getAktywna(1));
  EXPECT_EQ(layers.getIloscFigAktywnych(1), 0);
  EXPECT_EQ(layers.getIloscFigAktywnych(2), 1);  // the frame on layer 2 is left out
  EXPECT_TRUE(layers.CanSort());
  EXPECT_EQ(layers.getLayersList().front().org_color, 2);  // cutting order now

  // The file beside the design holds the edits; a fresh table reads them back.
  const std::string file = (folder / "plate.lyr").string();
  ASSERT_EQ(layers.getLoadedSavedPath(), file);
  tWarstwy reread;
  reread.ustawMaszyne(2, 24000);
  const std::vector<Pen> pens{{1, 0, false}, {2, 0, false}};
  reread.create(pens, design, false, 0, 0, 0, 1);
  EXPECT_TRUE(reread.CanSort());
  EXPECT_DOUBLE_EQ(reread.getGlebokosc(1), 3.5);
  EXPECT_EQ(reread.getSzybkosc(2), 1200);
  EXPECT_DOUBLE_EQ(reread.getSrednicaFrezu(2), 6);
  EXPECT_FALSE(reread.getAktywna(1));
  EXPECT_EQ(reread.getKolejnosc(1), 2);
}

TEST_F(LayerFixture, CancelChangesNothingAndALaserShowsPowerWithoutSpindleColumns) {
  build(true, 1);
  LayerDialog dialog(layers, ui.texts, LayerDialogOptions{true, 1, 0, false, false});
  const QStringList names = headers(dialog);
  EXPECT_EQ(names.size(), 5);  // colour, power, speed, active, order
  EXPECT_TRUE(names.contains(QString::fromStdString(ui.texts.dajTxt("Multilayer_project", "colMoc.Caption"))));
  EXPECT_EQ(dialog.field(0, "rotations"), nullptr);
  type(dialog.field(0, "depth"), "55");
  dialog.reject();
  EXPECT_DOUBLE_EQ(layers.getGlebokosc(1), 1.5);
  EXPECT_FALSE(std::filesystem::exists(folder / "plate.lyr"));
}

TEST_F(LayerFixture, LengthsAndSpeedsShowInTheOperatorsUnit) {
  build(false, 1);
  LayerDialog dialog(layers, ui.texts, LayerDialogOptions{false, 1, 1, false, false});
  EXPECT_EQ(dialog.field(0, "depth")->shownText(), "0.079");  // 2 mm in inches
  type(dialog.field(0, "depth"), "0.1");
  dialog.accept();
  EXPECT_NEAR(layers.getGlebokosc(1), 2.54, 1e-9);
}

TEST(JobInformation, ShowsTheSampleProjectsFileSizeAndLengthsInTheUnit) {
  testing::UiTexts ui;
  TDlgkonfig settings('.');
  TMDIChild project(settings, ui.texts);
  const std::string path = std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt";
  ASSERT_TRUE(project.Load(path));
  const InfoRows mm = jobInfoRows(project, ui.texts, 0, "/data/Settings.mcc");
  InfoWindow window("info", mm);
  const auto label = [&](const char* key) { return QString::fromStdString(ui.texts.dajTxt("Info", key)); };
  EXPECT_EQ(window.valueOf(label("labPlik.Caption")).toStdString(), path);
  EXPECT_EQ(window.valueOf(label("labKonfiguracja.Caption")), "/data/Settings.mcc");
  EXPECT_EQ(window.valueOf(label("labDlugoscCiecia.Caption")), QString::number(project.total_lenwork, 'f', 2) + " mm");
  const QString size = window.valueOf(label("labRozmiar.Caption"));
  EXPECT_TRUE(size.endsWith(" mm")) << size.toStdString();
  EXPECT_GT(project.total_lenwork, 0);

  window.setRows(jobInfoRows(project, ui.texts, 1, ""));
  EXPECT_EQ(window.valueOf(label("labDlugoscCiecia.Caption")),
            QString::number(project.total_lenwork / 25.4, 'f', 2) + " in");
}

TEST(AboutBox, UnknownMachineValuesSaySoAndKnownOnesAreShown) {
  testing::UiTexts ui;
  MachineInfo machine;
  machine.maker = "Dornelis";
  machine.runningMinutes = 125;
  machine.workAreaX = 1300;
  machine.workAreaY = 2500;
  machine.workAreaZ = 170;
  InfoWindow window("about", aboutRows(machine, ui.texts));
  const auto label = [&](const char* key) { return QString::fromStdString(ui.texts.dajTxt("About", key)); };
  const QString unknown = QString::fromStdString(ui.texts.dajTxt("Universal", "nieznany"));
  EXPECT_EQ(window.valueOf(label("labProducent.Caption")), "Dornelis");
  EXPECT_EQ(window.valueOf(label("labModel.Caption")), unknown);
  EXPECT_EQ(window.valueOf(label("labCzasPracy.Caption")), "2 h 5 min");
  EXPECT_EQ(window.valueOf(label("labLiczbaPlikow.Caption")), unknown);
  EXPECT_EQ(window.valueOf(label("labObszarRoboczy.Caption")), "1300 x 2500 x 170 mm");
  EXPECT_FALSE(window.valueOf(label("labWersja.Caption")).isEmpty());
}

TEST(LogViewer, ListsTheMonthlyLogsShowsTheNewestAndCopiesLinesWithCrLf) {
  testing::TempFolder folder;
  testing::UiTexts ui;
  testing::writeFile(folder / "Log_2026_11.txt", "2026-11-02 10:00:00 - Launching the application.\r\n");
  testing::writeFile(folder / "Log_2026_12.txt", "2026-12-01 08:00:00 - Start cutting.\r\n            star.plt\r\n");
  testing::writeFile(folder / "Log_2026_1.txt", "not a monthly log\r\n");
  testing::writeFile(folder / "Log_2026_10.xml", "<event_log/>");
  LogViewer viewer(QString::fromStdString(folder.path().string()), ui.texts);
  ASSERT_EQ(viewer.list()->count(), 2);
  EXPECT_EQ(viewer.list()->currentItem()->text(), "Log_2026_12.txt");
  EXPECT_EQ(viewer.shownText(), "2026-12-01 08:00:00 - Start cutting.\n            star.plt\n");
  viewer.copyToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text(), "2026-12-01 08:00:00 - Start cutting.\r\n            star.plt\r\n");
  viewer.list()->setCurrentRow(0);
  EXPECT_TRUE(viewer.shownText().startsWith("2026-11-02 10:00:00"));
}

}  // namespace
}  // namespace trazvik::ui
