#include "frame/program_start.h"

#include "base/single_instance.h"
#include "modal_answer.h"
#include "program_fixture.h"

#include <QMenu>
#include <QToolBar>

#include <gtest/gtest.h>

namespace trazvik::ui {
namespace {

using testing::pressInNextBox;
using testing::programOptions;
using testing::SeenBox;

TEST(ProgramStart, LanguageSwitchChangesTheCaptions) {
  struct Case {
    const char* language;
    const char* open;
    const char* start;
    const char* fileMenu;
  };
  const Case cases[] = {{"US", "&Open", "START", "&File"}, {"PL", "&Otwórz", "START", "&Plik"}};
  for (const Case& c : cases) {
    trazvik::testing::TempFolder folder;
    Program program(programOptions(folder, {c.language}));
    ASSERT_TRUE(program.start()) << c.language;
    MainWindow& main = program.mainWindow();
    EXPECT_EQ(program.context().texts().skrotJez(), c.language);
    EXPECT_EQ(main.action("FileOpenItem")->text(), QString::fromUtf8(c.open)) << c.language;
    EXPECT_EQ(main.action("SpeedStart")->text(), QString::fromUtf8(c.start)) << c.language;
    EXPECT_EQ(main.menu("File1")->title(), QString::fromUtf8(c.fileMenu)) << c.language;
    // The settings item takes "..." and the layers item the layer dialog's caption.
    EXPECT_TRUE(main.action("mKonfigGlowna")->text().endsWith("..."));
    EXPECT_EQ(main.action("mWarstwy")->text().toStdString(),
              program.context().texts().dajTxt("Multilayer_project", "Form.caption") + "...");
    // The open button's hint names the shortcut of its menu item.
    const QString tip = main.action("OpenBtn")->toolTip();
    EXPECT_TRUE(tip.endsWith("  (F3)")) << tip.toStdString();
    EXPECT_EQ(main.action("OpenBtn")->statusTip().toStdString(),
              program.context().texts().dajTxt("Main_window", "OpenBtn.Hint"));
    EXPECT_EQ(main.windowTitle().toStdString(), program.context().frame.caption());
    // Every caption and hint has its text in the language file ("error" marks a missing key).
    for (const QAction* a : main.findChildren<QAction*>()) {
      for (const QString& text : {a->text(), a->toolTip(), a->statusTip()})
        EXPECT_FALSE(text.contains("error")) << c.language << " " << a->objectName().toStdString();
    }
    for (const QMenu* m : main.findChildren<QMenu*>())
      EXPECT_NE(m->title(), "error") << c.language << " " << m->objectName().toStdString();
  }
}

TEST(ProgramStart, SecondCopyShowsTheSingleInstanceBoxAndEnds) {
  trazvik::testing::TempFolder folder;
  base::SingleInstanceLock firstCopy;
  ASSERT_EQ(firstCopy.acquire((folder / "Trazvik.lock").string()), base::SingleInstanceLock::Outcome::Acquired);

  Program second(programOptions(folder, {"PL"}));
  SeenBox seen;
  pressInNextBox(QMessageBox::Ok, &seen);
  EXPECT_FALSE(second.start());
  EXPECT_EQ(second.exitCode(), 1);
  ASSERT_TRUE(seen.seen);
  const texts::tInterfejs& t = second.context().texts();
  EXPECT_EQ(seen.title.toStdString(), t.dajTxt("Main_window", "msgKoniecPracyProgramu"));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  const std::string expected = t.dajTxt("Main_window", "msgMutex1") + "\n\n" + t.dajTxt("Main_window", "msgMutex2") +
                               "\n\n" + t.dajTxt("Main_window", "msgMutex3") + "\n\n" +
                               t.dajTxt("Main_window", "msgMutex4");
  EXPECT_EQ(seen.text.toStdString(), expected);
  EXPECT_FALSE(second.monitoringTimer().isActive());

  // Bound to one machine, a copy may run beside the others, and says so.
  Program bound(programOptions(folder, {"OnlyMachine='M1'"}));
  ASSERT_TRUE(bound.start());
  EXPECT_TRUE(bound.mainWindow().windowTitle().endsWith(
      QString::fromStdString(bound.context().texts().dajTxt("Main_window", "pracujeTylkoZploterem")) + " M1"));
  EXPECT_TRUE(bound.monitoringTimer().isActive());
}

TEST(ProgramStart, DesignFilesOnTheCommandLineAreOpened) {
  trazvik::testing::TempFolder folder;
  Program program(programOptions(folder, {testing::sample("star.plt"), "service", "no-such-file.plt"}));
  ASSERT_TRUE(program.start());
  const auto windows = program.mainWindow().projectWindows();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0]->project().sciezka, testing::sample("star.plt"));
  EXPECT_TRUE(program.context().switches().serviceMode);
}

}  // namespace
}  // namespace trazvik::ui
