#include "frame/main_window.h"

#include "dialogs/settings_dialog.h"
#include "machine_session_fixture.h"
#include "modal_answer.h"
#include "program_fixture.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRegularExpression>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace trazvik::ui {
namespace {

using testing::pressInNextBox;
using testing::ProgramTest;
using testing::SeenBox;

TEST_F(ProgramTest, WithoutProjectsOnlyTheProjectFreeCommandsAreUsable) {
  startProgram();
  EXPECT_EQ(main().windowTitle().toStdString(), program_->context().frame.caption());
  EXPECT_EQ(main().windowTitle().left(11), "Trazvik   v");
  EXPECT_TRUE(enabled("FileOpenItem"));
  EXPECT_TRUE(enabled("OpenBtn"));
  EXPECT_TRUE(enabled("FileExitItem"));
  // The windows made at start-up answer their commands.
  for (const char* name : {"mKonfigGlowna", "About1", "miPodgladDziennikow"}) EXPECT_TRUE(enabled(name)) << name;
  for (const char* name : {"FileCloseItem", "Symulacja", "SpeedSymulacja", "WindowCascadeItem", "WindowTileItem",
                           "CloseAll", "mKreskowanie", "mWarstwy", "sbZoomIn", "sbZoomOut", "sbZoomToFit"})
    EXPECT_FALSE(enabled(name)) << name;
  EXPECT_FALSE(main().menu("Widok")->menuAction()->isEnabled());
  EXPECT_FALSE(main().menu("Window1")->menuAction()->isEnabled());
  EXPECT_FALSE(main().control("tbZoom")->isEnabled());
  // The head selector shows only for a machine with several heads.
  EXPECT_FALSE(visible("rgGlowica"));
  EXPECT_FALSE(visible("mPlanowanieStolu"));
}

TEST_F(ProgramTest, OpeningSamplesShowsTheirFiguresInsideTheirBoxes) {
  startProgram();
  for (const char* name : {"star.plt", "plate.dxf"}) {
    ProjectWindow* w = open(name);
    ASSERT_NE(w, nullptr) << name;
    const TMDIChild& p = w->project();
    ASSERT_GT(p.fig.size(), 0u) << name;
    EXPECT_EQ(w->view().drawnFigureCount(), static_cast<int>(p.fig.size())) << name;

    const QImage image = w->view().grab().toImage();
    const QRgb background = image.pixel(1, 1);
    for (const auto& f : p.fig) {
      const QRectF box =
          QRectF(w->view().toWidget({f->fig_pp.x, f->fig_pk.y}), w->view().toWidget({f->fig_pk.x, f->fig_pp.y}))
              .adjusted(-2, -2, 2, 2);
      EXPECT_GT(testing::inkInside(image, box.toAlignedRect(), background), 0) << name << " figure " << f->org_index;
    }
    // Far outside the project nothing is drawn.
    EXPECT_EQ(testing::inkInside(image, QRect(0, 0, 8, 8), background), 0) << name;
  }
  EXPECT_EQ(main().projectWindows().size(), 2u);
}

TEST_F(ProgramTest, MenusFollowTheActiveProjectsFileType) {
  startProgram();
  main().setCommand("mKreskowanie", [] {});  // the hatching dialog
  ASSERT_NE(open("star.plt"), nullptr);
  for (const char* name : {"FileCloseItem", "Symulacja", "SpeedSymulacja", "WindowCascadeItem", "CloseAll",
                           "mKreskowanie", "sbZoomIn", "sbZoomToFit"})
    EXPECT_TRUE(enabled(name)) << name;
  EXPECT_TRUE(main().menu("Widok")->menuAction()->isEnabled());
  EXPECT_TRUE(main().control("tbZoom")->isEnabled());

  ASSERT_NE(open("pocket.nc"), nullptr);
  EXPECT_EQ(main().activeProjectWindow()->project().ImportFileType, 3);
  for (const char* name : {"mKreskowanie", "sbZoomIn", "sbZoomOut", "sbZoomToFit", "Tnijwybranewarstwy1"})
    EXPECT_FALSE(enabled(name)) << name;
  EXPECT_FALSE(main().control("tbZoom")->isEnabled());
  EXPECT_TRUE(enabled("FileCloseItem"));

  // Closing the G-code window makes the plot file active again.
  main().action("FileCloseItem")->trigger();
  QApplication::processEvents();
  ASSERT_EQ(main().projectWindows().size(), 1u);
  EXPECT_TRUE(enabled("mKreskowanie"));
  main().action("CloseAll")->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(main().projectWindows().empty());
  EXPECT_FALSE(enabled("FileCloseItem"));
}

TEST_F(ProgramTest, CommandsOfOtherWindowsStayDisabledUntilAttached) {
  startProgram();
  ASSERT_NE(open("star.plt"), nullptr);
  const QString unavailable = QString::fromStdString(texts().dajTxt("Main_window", "msgPolecenieNiedostepne"));
  for (const char* name :
       {"Start1", "SpeedStart", "Kontynuacja1", "Wstrzymaj1", "SpeedStop", "Powtrz1", "sterowanie"}) {
    EXPECT_FALSE(enabled(name)) << name;
    EXPECT_EQ(main().action(name)->statusTip(), unavailable) << name;
  }

  int starts = 0;
  MachineFacts machine;
  machine.present = true;
  main().setMachineFacts([&] { return machine; });
  main().setCommand("Start1", [&] { ++starts; });
  EXPECT_TRUE(enabled("Start1"));
  EXPECT_TRUE(enabled("SpeedStart"));
  EXPECT_NE(main().action("Start1")->statusTip(), unavailable);
  main().action("SpeedStart")->trigger();
  main().action("Start1")->trigger();
  EXPECT_EQ(starts, 2);
  // Continue needs a paused job as well.
  main().setCommand("Kontynuacja1", [] {});
  EXPECT_FALSE(enabled("Skont"));
  machine.canContinue = true;
  main().UpdateMenuItems();
  EXPECT_TRUE(enabled("Skont"));

  // The machine goes missing: the next menu update disables the start.
  machine.present = false;
  main().UpdateMenuItems();
  EXPECT_FALSE(enabled("Start1"));
  EXPECT_FALSE(enabled("SpeedStart"));
  EXPECT_FALSE(enabled("Skont"));

  machine.headCount = 3;
  machine.vacuumPump = true;
  main().UpdateMenuItems();
  EXPECT_TRUE(visible("rgGlowica"));
  EXPECT_TRUE(visible("miZalaczPompeProzniowa"));
}

TEST_F(ProgramTest, MissingFileIsReportedWithItsPath) {
  startProgram();
  const std::string missing = (folder_ / "nowhere.plt").string();
  SeenBox seen;
  pressInNextBox(QMessageBox::Ok, &seen);
  EXPECT_EQ(main().OtworzProjekt(missing), nullptr);
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.title.toStdString(), texts().dajTxt("Main_window", "msgNieMoznaOtworzycZbioru"));
  EXPECT_EQ(seen.text.toStdString(), missing);
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_TRUE(main().projectWindows().empty());
}

TEST_F(ProgramTest, ZoomButtonsDriveTheActiveWindowAndSimulation) {
  startProgram();
  ProjectWindow* w = open("plate.dxf");
  ASSERT_NE(w, nullptr);
  const QPointF before = w->view().toWidget({w->project().center.x + 100, w->project().center.y});
  main().action("sbZoomIn")->trigger();
  main().action("sbZoomIn")->trigger();
  EXPECT_EQ(main().zoomLevel(), 3);
  EXPECT_EQ(w->project().zoomSkala, 3);
  EXPECT_FALSE(enabled("SpeedSymulacja"));
  const QPointF after = w->view().toWidget({w->project().center.x + 100, w->project().center.y});
  EXPECT_GT(after.x() - w->view().width() / 2.0, 2.5 * (before.x() - w->view().width() / 2.0));
  main().action("sbZoomOut")->trigger();
  EXPECT_EQ(w->project().zoomSkala, 2);
  main().action("sbZoomToFit")->trigger();
  EXPECT_EQ(w->project().zoomSkala, 1);
  EXPECT_TRUE(enabled("SpeedSymulacja"));
  for (int i = 0; i < 20; ++i) main().action("sbZoomIn")->trigger();
  EXPECT_EQ(w->project().zoomSkala, 10);
}

TEST_F(ProgramTest, ViewOptionsReachEveryWindowAndTheGlobalConfiguration) {
  startProgram();
  ASSERT_NE(open("star.plt"), nullptr);
  ASSERT_NE(open("plate.dxf"), nullptr);
  EXPECT_TRUE(main().action("Warstwy")->isChecked());
  main().action("Kierunek")->trigger();
  EXPECT_FALSE(main().action("Warstwy")->isChecked());
  main().action("Punktywej")->trigger();
  for (ProjectWindow* w : main().projectWindows()) {
    EXPECT_EQ(w->view().viewOptions().mode, ViewOptions::Mode::Direction);
    EXPECT_FALSE(w->view().viewOptions().entryPoints);
  }
  const config::GlobalCfg& g = program_->context().configuration.globalCfg();
  EXPECT_TRUE(g.viewDirection);
  EXPECT_FALSE(g.viewLayers);
  EXPECT_FALSE(g.viewEntryPoints);
}

TEST_F(ProgramTest, ClickSelectsTheNearestFigureAndTheMenuFlipsItsCutFlag) {
  startProgram();
  ProjectWindow* w = open("plate.dxf");
  ASSERT_NE(w, nullptr);
  TMDIChild& p = w->project();
  ASSERT_GT(p.fig.size(), 1u);
  const std::size_t target = p.fig.size() - 1;
  const trealpoint onPath = p.fig[target]->op.empty() ? p.fig[target]->p[0] : p.fig[target]->op[0];
  const QPoint at = w->view().toWidget({onPath.x, onPath.y}).toPoint();
  QTest::mouseClick(&w->view(), Qt::LeftButton, {}, at);
  EXPECT_EQ(p.selected, static_cast<int>(target));

  const bool wasCut = p.fig[target]->tocut;
  auto menu = w->buildContextMenu();
  QAction* cut = menu->findChild<QAction*>("pmFiguraDoCiecia");
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->isChecked(), wasCut);
  cut->trigger();
  EXPECT_EQ(p.fig[target]->tocut, !wasCut);
  // Only the service mode offers the DXF export.
  EXPECT_EQ(menu->findChild<QAction*>("pmZapiszDXF"), nullptr);
}

TEST_F(ProgramTest, ServiceModeExportsTheProjectAsDxf) {
  startProgram({"service"});
  ProjectWindow* w = open("star.plt");
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(visible("mPlanowanieStolu"));
  auto menu = w->buildContextMenu();
  EXPECT_NE(menu->findChild<QAction*>("pmZapiszDXF"), nullptr);

  const QString path = QString::fromStdString((folder_ / "star_export.dxf").string());
  EXPECT_TRUE(w->saveAsDxf(path));
  const std::string written = trazvik::testing::readFile(path.toStdString());
  EXPECT_NE(written.find("ENTITIES"), std::string::npos);
  EXPECT_NE(written.find("EOF"), std::string::npos);

  SeenBox seen;
  pressInNextBox(QMessageBox::Ok, &seen);
  EXPECT_FALSE(w->saveAsDxf(QString::fromStdString((folder_ / "no/such/folder/x.dxf").string())));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_NE(seen.text.toStdString().find("no/such/folder/x.dxf"), std::string::npos);
}

TEST_F(ProgramTest, ProjectTypeChangeReopensTheProjectsAfterYes) {
  startProgram();
  ASSERT_NE(open("star.plt"), nullptr);
  ASSERT_NE(open("plate.dxf"), nullptr);
  TDlgkonfig& settings = program_->context().settings();
  const int oldType = settings.integer("ProjektType");
  main().setSettingsDialog([&] { settings.set("ProjektType", 1 - oldType); });
  ASSERT_TRUE(enabled("mKonfigGlowna"));
  pressInNextBox(QMessageBox::Yes);
  main().action("mKonfigGlowna")->trigger();
  QApplication::processEvents();
  const auto windows = main().projectWindows();
  ASSERT_EQ(windows.size(), 2u);
  // Last window first: the plate is opened again before the star.
  EXPECT_EQ(windows[0]->project().sciezka, testing::sample("plate.dxf"));
  EXPECT_EQ(windows[1]->project().sciezka, testing::sample("star.plt"));
  EXPECT_EQ(windows[1]->project().otwarto_jako_wielowarstwowy, oldType == 0);

  main().setSettingsDialog([&] { settings.set("ProjektType", oldType); });
  pressInNextBox(QMessageBox::No);
  main().action("mKonfigGlowna")->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(main().projectWindows().empty());
}

// The close query asks about a job itself; the window adds no box of its
// own to a refusal.
TEST_F(ProgramTest, ClosingFollowsTheCloseQuery) {
  startProgram();
  bool sending = true;
  int asked = 0;
  main().setCloseQuery([&] {
    ++asked;
    return !sending;
  });
  SeenBox seen;
  pressInNextBox(QMessageBox::Ok, &seen);
  EXPECT_FALSE(main().close());
  EXPECT_EQ(asked, 1);
  QTest::qWait(100);
  EXPECT_FALSE(seen.seen) << seen.title.toStdString() << ": " << seen.text.toStdString();
  sending = false;
  EXPECT_TRUE(main().close());
}

TEST_F(ProgramTest, ShutdownWritesTheGlobalConfiguration) {
  startProgram();
  ASSERT_NE(open("star.plt"), nullptr);
  main().action("Kolejnosc")->trigger();
  program_->shutdown();
  EXPECT_FALSE(program_->monitoringTimer().isActive());
  const std::string cfg = trazvik::testing::readFile(folder_ / "data" / config::kGlobalCfgName);
  ASSERT_EQ(cfg.size(), config::kGlobalCfgSize);
  std::array<std::uint8_t, config::kGlobalCfgSize> bytes{};
  std::copy(cfg.begin(), cfg.end(), bytes.begin());
  EXPECT_TRUE(config::decodeGlobalCfg(bytes).viewOrder);
  // The event log of the run is in the data folder.
  EXPECT_FALSE(std::filesystem::is_empty(folder_ / "data" / "Logs"));
}

// The open dialog's filters (the dialog cancelled).
QStringList openDialogFilters(MainWindow& main) {
  QStringList filters;
  testing::answerNextModal([&](QWidget* modal) {
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) filters = dialog->nameFilters();
    modal->close();
  });
  EXPECT_EQ(main.OtworzProjekt(), nullptr);
  return filters;
}

// Every entry is named in the program's language: the design files, each
// kind (G-code or bitmaps as the fourth), then all files.
void expectNamedFilters(const QStringList& filters, const texts::tInterfejs& texts, const char* fourth) {
  const char* keys[] = {"filtrProjekty", "filtrHPGL", "filtrDXF", fourth, "filtrWszystkie"};
  ASSERT_EQ(filters.size(), 5) << filters.join(";;").toStdString();
  for (int i = 0; i < 5; ++i) {
    const std::string name = texts.dajTxt("Main_window", keys[i]);
    EXPECT_TRUE(filters[i].startsWith(QString::fromStdString(name + " ("))) << filters[i].toStdString();
  }
}

TEST_F(ProgramTest, OpenDialogOffersEveryDesignFileAndAnyOtherFileByItsContent) {
  startProgram();
  const QStringList filters = openDialogFilters(main());
  ASSERT_NO_FATAL_FAILURE(expectNamedFilters(filters, texts(), "filtrGCode"));
  EXPECT_FALSE(filters.first().contains("*.bmp")) << "this machine does not engrave bitmaps";
  for (const char* pattern :
       {"*.plt", "*.hpgl", "*.hpg", "*.hgl", "*.hp", "*.dxf", "*.nc", "*.ngc", "*.gcode", "*.gc", "*.tap", "*.cnc"}) {
    EXPECT_TRUE(filters.first().split(QRegularExpression("[ ()]+")).contains(pattern))
        << pattern << " in " << filters.first().toStdString();
  }
  EXPECT_TRUE(filters.last().endsWith("(*)")) << filters.last().toStdString();
  EXPECT_TRUE(main().projectWindows().empty());
}

TEST_F(ProgramTest, FilesWithoutFiguresOrOfNoKnownKindOpenNoWindow) {
  startProgram();
  struct Case {
    const char* name;
    const char* content;
    const char* section;
    const char* key;
  };
  const Case cases[] = {
      {"notes.txt", "Buy milk.\n", "Main_window", "msgNieznanyTypZbioru"},
      {"empty.nc", "(set-up only)\nG21 G90\nM30\n", "Project_window", "msgBrakFigur"},
      {"init.plt", "IN;SP1;", "Project_window", "msgBrakFigur"},
  };
  for (const Case& c : cases) {
    const auto path = folder_ / c.name;
    trazvik::testing::writeFile(path, c.content);
    SeenBox seen;
    pressInNextBox(QMessageBox::Ok, &seen);
    EXPECT_EQ(main().OtworzProjekt(path.string()), nullptr) << c.name;
    QApplication::processEvents();
    ASSERT_TRUE(seen.seen) << c.name;
    EXPECT_EQ(seen.icon, QMessageBox::Critical) << c.name;
    const std::string text = seen.text.toStdString();
    EXPECT_EQ(text.rfind(texts().dajTxt(c.section, c.key), 0), 0u) << text;
    EXPECT_NE(text.find(path.string()), std::string::npos) << text;
    EXPECT_TRUE(main().projectWindows().empty()) << c.name;
  }
  // Another extension with the instructions of a plot file opens as one.
  const auto plot = folder_ / "plot.txt";
  trazvik::testing::writeFile(plot, "IN;SP1;PU0,0;PD400,0,400,400,0,400,0,0;PU;");
  ProjectWindow* w = main().OtworzProjekt(plot.string());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->project().ImportFileType, 1);
  EXPECT_EQ(w->view().drawnFigureCount(), 1);
}

TEST_F(ProgramTest, ReaderWarningsAreShownInOneBoxOverTheOpenedProject) {
  startProgram();
  const auto path = folder_ / "stops.ngc";
  trazvik::testing::writeFile(path, "G21\nG0 X0 Y0 Z5\n/G1 Z-1 F300\nG1 X10 F300\nM0\nG1 Y10\n");
  SeenBox seen;
  int windowsWhenShown = -1;
  testing::answerNextModal([&](QWidget* modal) {
    windowsWhenShown = static_cast<int>(main().projectWindows().size());
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.seen = true;
    box->button(QMessageBox::Ok)->click();
  });
  ProjectWindow* w = main().OtworzProjekt(path.string());
  QApplication::processEvents();
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(windowsWhenShown, 1) << "the box comes after the project window";
  EXPECT_EQ(seen.title.toStdString(), texts().dajTxt("Project_window", "msgOstrzezeniaWczytaniaTytul"));
  EXPECT_NE(seen.icon, QMessageBox::Critical);
  const std::string p = path.string();
  EXPECT_EQ(seen.text.toStdString(),
            texts().dajTxt("Project_window", "msgOstrzezeniaWczytania") + "\n" + p +
                ": line 3: lines marked for block delete (/) are read as with the switch off\n" + p +
                ": line 5: program stops (M0, M1) are not made: the job runs through");
  EXPECT_EQ(w->project().ostrzezenia.list().size(), 2u);

  // A file without anything to tell opens without a box.
  SeenBox none;
  pressInNextBox(QMessageBox::Ok, &none);
  ASSERT_NE(open("star.plt"), nullptr);
  QTest::qWait(50);
  EXPECT_FALSE(none.seen);
}

// The loading runs beside the interface thread; its questions still reach
// the operator, and the project opens after the warning.
TEST_F(ProgramTest, ProjectLargerThanTheMachineWarnsWhileLoadingAndStaysOpen) {
  startProgram();
  config::MachineContext small;
  small.identified = true;
  small.workAreaX = 10;
  small.workAreaY = 10;
  program_->context().settings().SetParam(small);
  SeenBox seen;
  pressInNextBox(QMessageBox::Ok, &seen);
  ProjectWindow* w = open("plate.dxf");
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(seen.seen);
  EXPECT_EQ(seen.text.toStdString(), texts().dajTxt("Project_window", "msgZbytDuzyPrj"));
  EXPECT_GT(w->view().drawnFigureCount(), 0);
  // The loading's status text is gone from the main window once it ended.
  EXPECT_TRUE(main().statusPanel(0).isEmpty());
}

// A laser engraves bitmaps: the open dialog offers them in place of G-code.
struct LaserSessionTest : testing::MachineSessionTest {
  sim::SimConfig simConfig() const override {
    sim::SimConfig config = MachineSessionTest::simConfig();
    config.product = "WTK32";
    return config;
  }
};

TEST_F(LaserSessionTest, TheOpenDialogOffersBitmapsOnALaser) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  const QStringList filters = openDialogFilters(main());
  ASSERT_NO_FATAL_FAILURE(expectNamedFilters(filters, texts(), "filtrBMP"));
  EXPECT_TRUE(filters.first().contains("*.bmp")) << filters.first().toStdString();
  EXPECT_FALSE(filters.first().contains("*.nc")) << filters.first().toStdString();
}

// The settings dialog opened from the menu on a laser: a greyed setting
// tells why in its tip, on the field and on its caption, and the tip goes
// when the setting can be changed again.
TEST_F(LaserSessionTest, GreyedSettingsSayWhy) {
  ASSERT_NO_FATAL_FAILURE(startConnected());
  program_->context().settings().set("doOutline", false);
  struct Case {
    const char* setting;
    const char* reason;
  };
  const Case cases[] = {{"ponad_stol", "powodNieDlaLasera"}, {"srednica", "powodBezSrednicy"}};
  bool seen = false;
  testing::answerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<SettingsDialog*>(modal);
    if (dialog == nullptr) return modal->close(), void();
    seen = true;
    for (const Case& c : cases) {
      const QString reason = QString::fromStdString(texts().dajTxt("Configuration", c.reason));
      auto* field = dialog->findChild<QWidget*>(c.setting);
      auto* caption = dialog->findChild<QLabel*>(QString("lbl_") + c.setting);
      ASSERT_NE(field, nullptr) << c.setting;
      ASSERT_NE(caption, nullptr) << c.setting;
      EXPECT_FALSE(field->isEnabled()) << c.setting;
      EXPECT_EQ(field->toolTip(), reason) << c.setting;
      EXPECT_EQ(caption->toolTip(), reason) << c.setting;
    }
    dialog->findChild<QCheckBox*>("doOutline")->click();
    auto* diameter = dialog->findChild<QWidget*>("srednica");
    EXPECT_TRUE(diameter->isEnabled());
    EXPECT_TRUE(diameter->toolTip().isEmpty()) << diameter->toolTip().toStdString();
    dialog->reject();
  });
  main().action("mKonfigGlowna")->trigger();
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace trazvik::ui
