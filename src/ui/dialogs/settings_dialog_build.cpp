// Construction of the settings dialog's pages from the catalogue.
#include "dialogs/settings_dialog.h"
#include "texts/interfejs.h"

#include "dialogs/clickable_label.h"
#include "dialogs/flt_edit_widget.h"
#include "dialogs/radio_group_box.h"
#include "dialogs/settings_binder.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace trazvik::ui {

using config::SettingDef;
using config::SettingKind;

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The controller address sits in one row: four short fields.
constexpr std::string_view kAddressGroup = "GroupBoxIP";

// The box a setting is laid out in: its group, except the point to move to
// after the job, which sits with the option that uses it.
std::string_view layoutGroupOf(const SettingDef& def) {
  if (def.name == "feuOdjazdX" || def.name == "feuOdjazdY") return "gbPoZakonczeniu";
  return def.group;
}

}  // namespace

void SettingsDialog::build() {
  setObjectName("TDlgkonfig");
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("PageControl1");
  for (const config::TabDef& tab : config::settingTabs()) {
    auto* scroll = new QScrollArea(tabs_);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    QWidget* page = buildTab(tab);
    scroll->setWidget(page);
    tabs_->addTab(scroll, qs(tab.name));
  }
  addExtras();
  addActions();

  auto* buttons = new QDialogButtonBox(this);
  const auto addButton = [&](const char* name, const QString& caption, QDialogButtonBox::ButtonRole role) {
    auto* button = buttons->addButton(caption, role);
    button->setObjectName(name);
    return button;
  };
  QPushButton* ok = addButton("OKBtn", QString::fromStdString(texts_.dajTxt("Configuration", "OKBtn.Caption")),
                              QDialogButtonBox::AcceptRole);
  QPushButton* cancel =
      addButton("CancelBtn", QString::fromStdString(texts_.dajTxt("Configuration", "CancelBtn.Caption")),
                QDialogButtonBox::RejectRole);
  QPushButton* zapis = addButton("Zapis", QString::fromStdString(texts_.dajTxt("Configuration", "Zapis.Caption")),
                                 QDialogButtonBox::ActionRole);
  QPushButton* odczyt = addButton("Odczyt", QString::fromStdString(texts_.dajTxt("Configuration", "Odczyt.Caption")),
                                  QDialogButtonBox::ActionRole);
  ok->setDefault(true);
  ok->setAutoDefault(true);
  for (QPushButton* b : {cancel, zapis, odczyt}) b->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &SettingsDialog::okClicked);
  connect(cancel, &QPushButton::clicked, this, &SettingsDialog::cancelClicked);
  connect(zapis, &QPushButton::clicked, this, &SettingsDialog::zapisClicked);
  connect(odczyt, &QPushButton::clicked, this, &SettingsDialog::odczytClicked);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
  resize(720, 620);

  binder_ = new SettingsBinder(settings(), this);
  binder_->afterEdit = [this](const QString&) { refreshRules(); };
  binder_->bind();
  connectActions();
}

QWidget* SettingsDialog::buildTab(const config::TabDef& tab) {
  auto* page = new QWidget;
  page->setObjectName(qs(tab.name));
  auto* grid = new QGridLayout(page);
  grid->setColumnStretch(3, 1);
  int row = 0;
  for (const SettingDef& def : config::settingCatalogue()) {
    if (def.tab != tab.name) continue;
    QGridLayout* container = containerFor(def, page, grid, row);
    if (container == grid) {
      addSetting(def, grid, row);
    } else {
      int& groupRow = groupRows_[qs(layoutGroupOf(def))];
      addSetting(def, container, groupRow);
    }
  }
  grid->setRowStretch(row + 20, 1);
  return page;
}

// The layout a setting goes into: its group box (made on first use) or the page.
QGridLayout* SettingsDialog::containerFor(const SettingDef& def, QWidget* page, QGridLayout* pageGrid, int& pageRow) {
  if (layoutGroupOf(def).empty()) return pageGrid;
  const QString name = qs(layoutGroupOf(def));
  if (QGridLayout* existing = groupGrids_.value(name)) return existing;
  auto* box = new QGroupBox(page);
  box->setObjectName(name);
  auto* grid = new QGridLayout(box);
  grid->setColumnStretch(3, 1);
  groups_.insert(name, box);
  groupGrids_.insert(name, grid);
  groupRows_.insert(name, 0);
  pageGrid->addWidget(box, pageRow++, 0, 1, 4);
  return grid;
}

void SettingsDialog::addSetting(const SettingDef& def, QGridLayout* grid, int& row) {
  const QString name = qs(def.name);
  QWidget* parent = grid->parentWidget();
  switch (def.kind) {
    case SettingKind::Length:
    case SettingKind::Number: {
      TFltEdit* field =
          def.kind == SettingKind::Length
              ? new TFltEditU(parent, def.minValue, def.maxValue, def.decimals, settings().decimalSeparator())
              : new TFltEdit(parent, def.minValue, def.maxValue, def.decimals, settings().decimalSeparator());
      field->setObjectName(name);
      field->setMaximumWidth(200);
      if (def.group == kAddressGroup) {
        // IP1 .. IP4 side by side after one caption.
        if (def.name == "IP1") {
          auto* caption = new QLabel(parent);
          caption->setObjectName("lbl_" + name);
          captionLabels_.insert(name, caption);
          grid->addWidget(caption, row, 0);
          addressLine_ = new QHBoxLayout;
          grid->addLayout(addressLine_, row++, 1, 1, 2);
        }
        field->setMinimumWidth(60);
        addressLine_->addWidget(field);
        return;
      }
      auto* caption = new QLabel(parent);
      caption->setObjectName("lbl_" + name);
      caption->setBuddy(field);
      auto* unit = new QLabel(parent);
      unit->setObjectName(def.unitLabel.empty() ? "jm_" + name : qs(def.unitLabel));
      unit->setMinimumWidth(70);
      captionLabels_.insert(name, caption);
      unitLabels_.insert(name, unit);
      grid->addWidget(caption, row, 0);
      grid->addWidget(field, row, 1);
      grid->addWidget(unit, row++, 2);
      return;
    }
    case SettingKind::Check: {
      auto* box = new QCheckBox(parent);
      box->setObjectName(name);
      grid->addWidget(box, row++, 0, 1, 4);
      return;
    }
    case SettingKind::Option: {
      auto* radio = new QRadioButton(parent);
      radio->setObjectName(name);
      radio->setAutoExclusive(false);  // the settings keep the group exclusive
      grid->addWidget(radio, row++, 0, 1, 4);
      return;
    }
    case SettingKind::Group: {
      QStringList items;
      for (std::string_view item : def.choices) items << qs(item);  // keys until the captions are set
      auto* group = new RadioGroupBox(parent, QString(), items, def.choices.size() > 3 ? 2 : 1);
      group->setObjectName(name);
      grid->addWidget(group, row++, 0, 1, 4);
      return;
    }
    case SettingKind::Slider: {
      auto* slow = new ClickableLabel(parent);
      slow->setObjectName("lRuchNaLukachPowolny");
      auto* slider = new QSlider(Qt::Horizontal, parent);
      slider->setObjectName(name);
      auto* fast = new ClickableLabel(parent);
      fast->setObjectName("lRuchNaLukachPrzyspieszony");
      grid->addWidget(slow, row, 0, Qt::AlignRight);
      grid->addWidget(slider, row, 1);
      grid->addWidget(fast, row++, 2);
      return;
    }
  }
}

// Controls that are not saved settings: the machine type text, the
// calibration factors and the fixed offsets of head 1.
void SettingsDialog::addExtras() {
  auto* service = tabs_->findChild<QWidget*>("tsSerwis");
  auto* serviceGrid = qobject_cast<QGridLayout*>(service->layout());
  const int serviceRow = serviceGrid->rowCount();
  auto* typeCaption =
      new QLabel(QString::fromStdString(texts_.dajTxt("Configuration", "eTypMaszyny.Caption")), service);
  machineTypeText_ = new QLineEdit(service);
  machineTypeText_->setObjectName("eTypMaszyny");
  machineTypeText_->setReadOnly(true);
  serviceGrid->addWidget(typeCaption, serviceRow, 0);
  serviceGrid->addWidget(machineTypeText_, serviceRow, 1);

  auto* calibration =
      new QGroupBox(QString::fromStdString(texts_.dajTxt("Configuration", "gbCalibration.Caption")), service);
  calibration->setObjectName("gbCalibration");
  groups_.insert("gbCalibration", calibration);
  auto* calibrationGrid = new QGridLayout(calibration);
  groupGrids_.insert("gbCalibration", calibrationGrid);
  const char* names[3] = {"txtCalibX", "txtCalibY", "txtCalibZ"};
  for (int axis = 0; axis < 3; ++axis) {
    calibrationGrid->addWidget(new QLabel(QString("XYZ"[axis]), calibration), axis, 0);
    calibrationTexts_[axis] = new QLineEdit(QStringLiteral("1.0000000"), calibration);
    calibrationTexts_[axis]->setObjectName(names[axis]);
    calibrationTexts_[axis]->setReadOnly(true);
    calibrationGrid->addWidget(calibrationTexts_[axis], axis, 1);
  }
  serviceGrid->addWidget(calibration, serviceRow + 1, 0, 1, 4);

  // Head 1 is the reference of the offsets: fixed zeros.
  auto* heads = tabs_->findChild<QWidget*>("tsYJB");
  auto* headsGrid = qobject_cast<QGridLayout*>(heads->layout());
  const QString head = QString::fromStdString(texts_.dajTxt("Configuration", "lGlowica.caption"));
  auto* head1 = new QLabel(head + " 1", heads);
  head1->setObjectName("lGlowica1");
  auto* zeros = new QLabel(QStringLiteral("X: 0    Y: 0"), heads);
  zeros->setObjectName("lGlowica1Offsets");
  const int headsRow = headsGrid->rowCount();
  headsGrid->addWidget(head1, headsRow, 0);
  headsGrid->addWidget(zeros, headsRow, 1);
}

// The action buttons of the tabs, each beside the settings it concerns.
void SettingsDialog::addActions() {
  for (const config::ActionDef& action : config::settingActions()) {
    QString caption =
        QString::fromStdString(texts_.dajTxt(std::string(action.captionSection), std::string(action.captionKey)));
    QWidget* host = nullptr;
    if (action.name == "ButtonProgramujIPplotera") host = groups_.value("GroupBoxIP");
    if (action.name == "btnPrzywrocDomyslnyWspVNaLukach") host = groups_.value("gbRuchNaLukach");
    if (action.name == "btnAktPoz_pobierz") host = groups_.value("gbPoZakonczeniu");
    if (action.name == "btnCalibrate") host = groups_.value("gbCalibration");
    if (host == nullptr) host = tabs_->findChild<QWidget*>(qs(action.tab));
    auto* grid = qobject_cast<QGridLayout*>(host->layout());
    auto* button = new QPushButton(caption, host);
    button->setObjectName(qs(action.name));
    button->setAutoDefault(false);
    grid->addWidget(button, grid->rowCount(), 0, 1, 2, Qt::AlignLeft);
    actions_.insert(qs(action.name), button);
  }
  // Declared hidden: the acceleration of the machine type is sent from code.
  actions_.value("bUstawPrzyspieszenieZgodneZtypem")->hide();
}

}  // namespace trazvik::ui
