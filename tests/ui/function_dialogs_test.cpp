// The main window's functions menu: the table surfacing generator of the
// service mode, driven through the menu item as the operator drives it.
#include "modal_answer.h"
#include "program_fixture.h"

#include "dialogs/flt_edit_widget.h"
#include "dialogs/surfacing_dialog.h"
#include "frame/main_window.h"
#include "project/tmdichild.h"

#include <QLineEdit>
#include <QPushButton>

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

}  // namespace
}  // namespace trazvik::ui
