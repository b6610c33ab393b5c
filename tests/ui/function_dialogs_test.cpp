// The main window's functions menu: the table surfacing generator of the
// service mode and the hatching dialog, driven through their menu items as
// the operator drives them.
#include "modal_answer.h"
#include "program_fixture.h"

#include "dialogs/flt_edit_widget.h"
#include "dialogs/hatching_dialog.h"
#include "dialogs/surfacing_dialog.h"
#include "frame/main_window.h"
#include "project/tmdichild.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <filesystem>

namespace trazvik::ui {
namespace {

using testing::answerNextModal;
using testing::pressInNextBox;
using testing::ProgramTest;
using testing::SeenBox;

void type(QWidget* dialog, const char* field, const QString& text) {
  auto* f = dialog->findChild<TFltEdit*>(field);
  ASSERT_NE(f, nullptr) << field;
  f->editor()->setText(text);
  f->commit();
}

void press(QWidget* dialog, const char* button) {
  auto* b = dialog->findChild<QPushButton*>(button);
  ASSERT_NE(b, nullptr) << button;
  b->click();
}

TEST_F(ProgramTest, SurfacingGeneratorRefusesWrongFieldsThenOpensTheWrittenProgram) {
  startProgram({"service"});
  ASSERT_TRUE(visible("mPlanowanieStolu"));
  const std::string path = (folder_ / "planowanieStolu.nc").string();
  SeenBox refused;
  bool stayedOpen = false;
  answerNextModal([&](QWidget* dialog) {
    ASSERT_NE(qobject_cast<SurfacingDialog*>(dialog), nullptr);
    dialog->findChild<QLineEdit*>("eSciezkaPlikuNC")->setText(QString::fromStdString(path));
    // Max X is still 0.
    pressInNextBox(QMessageBox::Ok, &refused);
    press(dialog, "Generuj");
    stayedOpen = dialog->isVisible();
    type(dialog, "feuMaxX", "20");
    type(dialog, "feuMaxY", "10");
    type(dialog, "feuGlebokosc", "0.5");
    type(dialog, "feuOdstepKresek", "10");
    press(dialog, "Generuj");
  });
  main().action("mPlanowanieStolu")->trigger();

  EXPECT_TRUE(refused.seen);
  EXPECT_EQ(refused.title.toStdString(), "Generator planowania stołu");
  EXPECT_EQ(refused.text.toStdString(), "Błędne dane wejściowe");
  EXPECT_TRUE(stayedOpen);
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_NE(trazvik::testing::readFile(path).find("N45 X20.00\nN50 Y10.00\nN55 Z5\n"), std::string::npos);
  ProjectWindow* opened = main().activeProjectWindow();
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->project().sciezka, path);
  EXPECT_EQ(opened->project().ImportFileType, 3);
}

int hatchLines(const TMDIChild& p) {
  return static_cast<int>(std::count_if(p.fig.begin(), p.fig.end(), [](const auto& f) { return f->kreska; }));
}

TEST_F(ProgramTest, HatchingDialogHatchesTheActiveProjectAndKeepsItsFields) {
  startProgram();
  ProjectWindow* w = open("plate.dxf");
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(enabled("mKreskowanie"));
  answerNextModal([&](QWidget* dialog) {
    ASSERT_NE(qobject_cast<HatchingDialog*>(dialog), nullptr);
    type(dialog, "Odstep", "2");
    type(dialog, "Kat", "45");
    dialog->findChild<QCheckBox*>("kreskiDwukierunkowo")->setChecked(true);
    press(dialog, "OK");
  });
  main().action("mKreskowanie")->trigger();
  const TMDIChild& p = w->project();
  const int first = hatchLines(p);
  EXPECT_GT(first, 10);
  EXPECT_TRUE(p.hasHatching);
  EXPECT_EQ(p.kreskowanie.wzor, 3);

  // A spacing of 0 is refused with a box and the dialog stays open with the
  // fields of the last use; cancelling leaves the lines as they were.
  SeenBox refused;
  QString keptAngle;
  answerNextModal([&](QWidget* dialog) {
    keptAngle = dialog->findChild<TFltEdit*>("Kat")->shownText();
    type(dialog, "Odstep", "0");
    pressInNextBox(QMessageBox::Ok, &refused);
    press(dialog, "OK");
    EXPECT_TRUE(dialog->isVisible());
    press(dialog, "Anuluj");
  });
  main().action("mKreskowanie")->trigger();
  EXPECT_TRUE(refused.seen);
  EXPECT_EQ(keptAngle.toDouble(), 45);
  EXPECT_EQ(hatchLines(p), first);
}

}  // namespace
}  // namespace trazvik::ui
