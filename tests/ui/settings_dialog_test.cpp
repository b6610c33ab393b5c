// The settings dialog as the operator uses it: built from the catalogue,
// bound by name, round-tripping values through settings files, following
// the enabling rules and the display unit.
#include "config/configuration.h"
#include "config/settings_file.h"
#include "../common/temp_folder.h"
#include "ui_texts_fixture.h"

#include "dialogs/flt_edit_widget.h"
#include "dialogs/radio_group_box.h"
#include "dialogs/settings_binder.h"
#include "dialogs/settings_dialog.h"
#include "dialogs/touch_keypad.h"
#include "dialogs/window_grab.h"

#include <QImage>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace trazvik::ui {
namespace {

struct DialogFixture : ::testing::Test {
  testing::TempFolder data;
  testing::UiTexts ui;
  config::Configuration configuration{data.path(), '.'};
  std::unique_ptr<SettingsDialog> dialog;

  void open(const config::MachineContext& machine = {}, const config::DialogSwitches& switches = {}) {
    const config::ConfigStatus status = configuration.open(machine, switches);
    ASSERT_TRUE(status.ok()) << status.errors.front();
    dialog = std::make_unique<SettingsDialog>(configuration, ui.texts);
    dialog->activateSettings();
  }
  template <class W>
  W* widget(const char* name) {
    W* found = dialog->findChild<W*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  // Types a text into a numeric field and leaves it, as the operator does.
  void type(const char* name, const QString& text) {
    auto* field = widget<TFltEdit>(name);
    field->editor()->setText(text);
    field->commit();
  }
  // A click as the operator's (the button may sit on a tab that is not shown).
  void click(const char* name) { widget<QAbstractButton>(name)->click(); }
  void choose(const char* group, int index) {
    auto* box = widget<RadioGroupBox>(group);
    QList<QRadioButton*> buttons = box->findChildren<QRadioButton*>();
    ASSERT_LT(index, buttons.size());
    buttons[index]->click();
  }
  QString shown(const char* name) { return widget<TFltEdit>(name)->editor()->text(); }
};

TEST_F(DialogFixture, EveryCatalogueSettingHasExactlyOneWidgetAndEveryNamedWidgetASetting) {
  open();
  for (const config::SettingDef& def : config::settingCatalogue()) {
    const QString name = QString::fromUtf8(def.name.data(), qsizetype(def.name.size()));
    int holders = 0;
    for (QWidget* w : dialog->findChildren<QWidget*>(name)) holders += SettingsBinder::canHoldSetting(w);
    EXPECT_EQ(holders, 1) << def.name.data() << " is shown by " << holders << " widgets";
  }
  for (QWidget* w : SettingsBinder::namedSettingWidgets(dialog.get())) {
    EXPECT_TRUE(config::findSetting(w->objectName().toStdString()))
        << w->objectName().toStdString() << " names no setting";
  }
}

TEST_F(DialogFixture, ControlsStartWithTheDefaultsLimitsAndUnits) {
  open();
  EXPECT_EQ(shown("grubosc"), "10.00");
  EXPECT_EQ(shown("ponad_stol"), "0.49");
  EXPECT_EQ(widget<QLabel>("lGruboscMatJm")->text(), "[mm]");
  EXPECT_EQ(widget<QLabel>("lVrobocza")->text(), "[mm/min]");
  EXPECT_TRUE(widget<QCheckBox>("auto_add")->isChecked());
  EXPECT_FALSE(widget<QCheckBox>("negatyw")->isChecked());
  EXPECT_EQ(widget<RadioGroupBox>("out_dir")->index(), 2);
  EXPECT_TRUE(widget<QRadioButton>("rbPowrotDo0projektu")->isChecked());
  EXPECT_EQ(widget<QSlider>("tbRuchNaLukach")->value(), 100);
  EXPECT_EQ(widget<QSlider>("tbRuchNaLukach")->maximum(), 3000);
  // Captions come from the language file, not the keys.
  EXPECT_EQ(widget<QCheckBox>("auto_add")->text().toStdString(), ui.texts.dajTxt("Configuration", "auto_add.Caption"));
  EXPECT_EQ(widget<RadioGroupBox>("ProjektType")->findChildren<QRadioButton*>()[1]->text().toStdString(),
            ui.texts.dajTxt("Configuration", "ProjektType.Items.Strings_1"));
  // Typing above the maximum is clamped when the field is left.
  type("grubosc", "500");
  EXPECT_EQ(shown("grubosc"), "170.00");
  EXPECT_DOUBLE_EQ(configuration.settings().real("grubosc"), 170);
}

TEST_F(DialogFixture, ValuesRoundTripThroughASettingsFile) {
  open();
  const std::string file = (data / "job.mcc").string();
  dialog->hooks().askSavePath = [&](const std::string&) { return std::optional<std::string>(file); };
  dialog->hooks().askOpenPath = [&](const std::string&) { return std::optional<std::string>(file); };

  type("grubosc", "12.5");
  type("skala", "250");
  click("negatyw");
  click("auto_add");
  choose("Order_global", 4);
  click("rbOdjazdDoPunktu");
  widget<QSlider>("tbRuchNaLukach")->setValue(777);
  click("Zapis");
  ASSERT_TRUE(ui.boxes.messages().empty()) << ui.boxes.messages().front().text;
  const std::string saved = testing::readFile(file);
  EXPECT_NE(saved.find("grubosc := 12.5\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("negatyw := cbChecked\r\n"), std::string::npos);
  EXPECT_EQ(configuration.settingsFile(), file);
  // What the window is and which file it holds, not a bare path.
  EXPECT_EQ(dialog->windowTitle().toStdString(),
            "Settings - job.mcc  (" + std::filesystem::path(file).parent_path().string() + ")");

  // Changed after the save, then read back: the file's values return.
  type("grubosc", "3");
  click("negatyw");
  choose("Order_global", 0);
  click("rbPowrotDo0projektu");
  widget<QSlider>("tbRuchNaLukach")->setValue(5);
  click("Odczyt");
  EXPECT_EQ(shown("grubosc"), "12.50");
  EXPECT_EQ(shown("skala"), "250");
  EXPECT_TRUE(widget<QCheckBox>("negatyw")->isChecked());
  EXPECT_FALSE(widget<QCheckBox>("auto_add")->isChecked());
  EXPECT_EQ(widget<RadioGroupBox>("Order_global")->index(), 4);
  EXPECT_TRUE(widget<QRadioButton>("rbOdjazdDoPunktu")->isChecked());
  EXPECT_FALSE(widget<QRadioButton>("rbPowrotDo0projektu")->isChecked());
  EXPECT_EQ(widget<QSlider>("tbRuchNaLukach")->value(), 777);
}

TEST_F(DialogFixture, CancelUndoesEveryChangeSinceTheLastSaveAndOkSaves) {
  open();
  type("Glebokosc", "4");
  click("OKBtn");
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  const std::string current = configuration.settingsFile();
  EXPECT_NE(testing::readFile(current).find("Glebokosc := 4\r\n"), std::string::npos);
  // Travel height follows OK on a milling machine: underlay + thickness + clearance.
  EXPECT_DOUBLE_EQ(configuration.globals().travelHeight, 0.49 + 10 + 5);

  dialog->activateSettings();
  type("Glebokosc", "9");
  click("wygladzanie");
  click("CancelBtn");
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(shown("Glebokosc"), "4.00");
  EXPECT_DOUBLE_EQ(configuration.settings().real("Glebokosc"), 4);
  EXPECT_FALSE(configuration.settings().flag("wygladzanie"));
}

TEST_F(DialogFixture, ABrokenSettingsFileIsReportedAndTheLinesBeforeItKeepTheirEffect) {
  open();
  const std::string file = (data / "broken.mcc").string();
  testing::writeFile(file, "grubosc := 7\r\nnegatyw := cbChecked\r\nProjektType := xyz\r\nGlebokosc := 3\r\n");
  dialog->hooks().askOpenPath = [&](const std::string&) { return std::optional<std::string>(file); };
  click("Odczyt");
  ASSERT_EQ(ui.boxes.messages().size(), 1u);
  EXPECT_TRUE(ui.boxes.messages().front().error);
  EXPECT_NE(ui.boxes.messages().front().text.find("broken.mcc"), std::string::npos);
  EXPECT_EQ(shown("grubosc"), "7.00");
  EXPECT_TRUE(widget<QCheckBox>("negatyw")->isChecked());
  EXPECT_EQ(shown("Glebokosc"), "1.50");
}

TEST_F(DialogFixture, TheUnitConvertsAndRelabelsExactlyTheConvertedFields) {
  open();
  type("ponad_stol", "0.49");
  choose("rgJm", 1);
  EXPECT_EQ(shown("ponad_stol"), "0.019");
  EXPECT_NEAR(configuration.settings().real("ponad_stol"), 0.4826, 1e-9);
  EXPECT_EQ(widget<QLabel>("lPodkladkaJm")->text(), "[in]");
  EXPECT_EQ(widget<QLabel>("lVrobocza")->text(), "[in/min]");
  // Fields that stay in millimetres keep their numbers and labels.
  EXPECT_EQ(shown("feuOdjazdX"), "0.00");
  EXPECT_EQ(shown("SzerokoscObrazu"), "30.00");
  EXPECT_EQ(widget<QLabel>("jm_feuOdjazdX")->text(), "[mm]");
  choose("rgJm", 2);
  EXPECT_EQ(shown("grubosc"), "0.0328");
  EXPECT_EQ(widget<QLabel>("lGruboscMatJm")->text(), "[ft]");
}

TEST_F(DialogFixture, EnablingFollowsProjectTypeSpiralAndOutlineRules) {
  open();
  QWidget* depth = widget<QWidget>("Glebokosc");
  EXPECT_TRUE(depth->isEnabled());
  choose("ProjektType", 1);
  EXPECT_FALSE(depth->isEnabled());
  EXPECT_FALSE(widget<QWidget>("WorkSpeed")->isEnabled());
  EXPECT_FALSE(widget<QWidget>("work_power")->isEnabled());
  EXPECT_EQ(widget<QLabel>("lbl_Glebokosc")->toolTip().toStdString(),
            ui.texts.dajTxt("Configuration", "lGlebokoscFrezowania.hint"));
  EXPECT_EQ(widget<QLabel>("lbl_WorkSpeed")->toolTip().toStdString(),
            ui.texts.dajTxt("Configuration", "lWorkSpeed.hint"));
  choose("ProjektType", 0);
  EXPECT_TRUE(depth->isEnabled());
  EXPECT_TRUE(widget<QLabel>("lbl_WorkSpeed")->toolTip().isEmpty());

  // A finishing pass needs the spiral plunge, even when it is checked.
  click("cbZejsciePoSpirali");
  click("polerowanie");
  EXPECT_TRUE(widget<QWidget>("Polerspeed")->isEnabled());
  click("cbZejsciePoSpirali");
  EXPECT_TRUE(widget<QCheckBox>("polerowanie")->isChecked());
  EXPECT_FALSE(widget<QWidget>("polerowanie")->isEnabled());
  EXPECT_FALSE(widget<QWidget>("Poler_start")->isEnabled());

  click("doOutline");
  EXPECT_FALSE(widget<QWidget>("srednica")->isEnabled());
  EXPECT_FALSE(widget<QWidget>("lSrednicaFrezaJm")->isEnabled());
}

TEST_F(DialogFixture, MachineDecidesTabsCaptionsAndLimits) {
  config::MachineContext laser;
  laser.identified = true;
  laser.isLaser = true;
  laser.minFeed = 30;
  laser.maxWorkFeed = 800;
  laser.maxTravelFeed = 900;
  laser.workAreaX = 1300;
  laser.workAreaY = 900;
  open(laser);
  QTabWidget* tabs = dialog->tabs();
  const auto tabIndex = [&](const char* name) {
    for (int i = 0; i < tabs->count(); ++i) {
      if (tabs->widget(i)->findChild<QWidget*>(name) || tabs->widget(i)->objectName() == name) return i;
    }
    return -1;
  };
  EXPECT_FALSE(tabs->isTabVisible(tabIndex("wiercenie")));
  EXPECT_TRUE(tabs->isTabVisible(tabIndex("TabSheetBMP")));
  EXPECT_FALSE(tabs->isTabVisible(tabIndex("tsSerwis")));
  EXPECT_EQ(tabs->tabText(tabIndex("TabSheet5")).toStdString(), ui.texts.dajTxt("Configuration", "tabCiecie.caption"));
  EXPECT_EQ(widget<QLabel>("lbl_srednica")->text().toStdString(),
            ui.texts.dajTxt("Configuration", "lSrednicaWiazki.Caption"));
  EXPECT_FALSE(widget<QWidget>("LaserMiekkiStart")->isHidden());
  type("WorkSpeed", "5000");
  EXPECT_EQ(shown("WorkSpeed"), "800.00");
  type("feuOdjazdX", "5000");
  EXPECT_EQ(shown("feuOdjazdX"), "1300.00");

  config::MachineContext mill = laser;
  mill.isLaser = false;
  configuration.settings().SetParam(mill);
  dialog->activateSettings();
  EXPECT_TRUE(tabs->isTabVisible(tabIndex("wiercenie")));
  EXPECT_EQ(tabs->tabText(tabIndex("TabSheet5")), "CNC");
}

TEST_F(DialogFixture, TouchPanelFieldsOpenTheKeypadOnOneClick) {
  config::DialogSwitches switches;
  switches.touchPanel = true;
  open({}, switches);
  int asked = 0;
  TouchKeypad::replacement = [&](const QString& text) {
    ++asked;
    EXPECT_EQ(text, "5.00");
    return std::optional<QString>("42");
  };
  auto* field = widget<TFltEdit>("nadmat");
  EXPECT_TRUE(field->model().fBigNumPad);
  QTest::mouseClick(field->editor(), Qt::LeftButton);
  TouchKeypad::replacement = nullptr;
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(shown("nadmat"), "42.00");
  EXPECT_DOUBLE_EQ(configuration.settings().real("nadmat"), 42);
}

TEST_F(DialogFixture, ControllerActionsWithoutALinkSayItAndSendNothing) {
  config::DialogSwitches switches;
  switches.ethernet = true;  // shows the address group
  switches.service = true;   // shows the acceleration
  open({}, switches);
  int sent = 0;
  dialog->hooks().usbPresent = [] { return false; };
  dialog->hooks().sendCommand = [&](const std::string&) { ++sent; };
  click("ButtonProgramujIPplotera");
  ASSERT_EQ(ui.boxes.messages().size(), 1u);
  EXPECT_EQ(ui.boxes.messages()[0].caption, "IP");
  EXPECT_EQ(sent, 0);

  type("fePrzyspieszenie", "14");
  int acceleration = -1;
  bool reached = true;
  dialog->hooks().setAcceleration = [&](int value) {
    acceleration = value;
    return reached;
  };
  click("btnUstawPrzyspieszenie");
  EXPECT_EQ(acceleration, 14);
  ASSERT_EQ(ui.boxes.messages().size(), 2u);
  EXPECT_EQ(ui.boxes.messages()[1].caption, "Ustawiono nowe przyspieszenie");
  // A controller that could not be reached: the failure, not the success.
  reached = false;
  click("btnUstawPrzyspieszenie");
  ASSERT_EQ(ui.boxes.messages().size(), 3u);
  EXPECT_NE(ui.boxes.messages()[2].text.find(ui.texts.dajTxt("Configuration", "msgPodlaczSterowink")),
            std::string::npos);

  dialog->hooks().usbPresent = [] { return true; };
  std::string command;
  dialog->hooks().sendCommand = [&](const std::string& c) { command = c; };
  type("IP4", "300");
  click("ButtonProgramujIPplotera");
  EXPECT_EQ(command, std::string("SIP\xC0\xA8\x00", 6) + char(300 & 0xFF));
  EXPECT_EQ(configuration.globals().machineAddress, "192.168.0.300");
}

TEST_F(DialogFixture, EveryVisiblePageCanBePictured) {
  open();
  const QString prefix = QString::fromStdString((data / "settings").string());
  const QStringList files = grabSettingsDialogPages(*dialog, prefix);
  int visible = 0;
  for (int i = 0; i < dialog->tabs()->count(); ++i) visible += dialog->tabs()->isTabVisible(i);
  ASSERT_EQ(files.size(), visible);
  EXPECT_TRUE(files.contains(prefix + "_TabSheet5.png"));
  const QImage picture(files.front());
  EXPECT_EQ(picture.size(), dialog->size());
  if (const char* keep = std::getenv("TRAZVIK_KEEP_PICTURES")) {
    grabSettingsDialogPages(*dialog, QString(keep) + "/settings");
  }
}

}  // namespace
}  // namespace trazvik::ui
