#include "control/tster.h"
#include "texts/interfejs.h"

#include "panel/control_panel.h"
#include "panel/panel_icons.h"

#include "dialogs/flt_edit_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace trazvik::ui {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

struct MotionButton {
  PanelButton button;
  const char* name;
  const char* glyph;
  int row, column;
  PanelIcon icon;
};

constexpr MotionButton kMotion[] = {
    {PanelButton::kul, "kul", "\u2196", 0, 0, PanelIcon::upLeft},
    {PanelButton::ku, "ku", "\u2191", 0, 1, PanelIcon::up},
    {PanelButton::kur, "kur", "\u2197", 0, 2, PanelIcon::upRight},
    {PanelButton::kl, "kl", "\u2190", 1, 0, PanelIcon::left},
    {PanelButton::kr, "kr", "\u2192", 1, 2, PanelIcon::right},
    {PanelButton::kdl, "kdl", "\u2199", 2, 0, PanelIcon::downLeft},
    {PanelButton::kd, "kd", "\u2193", 2, 1, PanelIcon::down},
    {PanelButton::kdr, "kdr", "\u2198", 2, 2, PanelIcon::downRight},
    {PanelButton::kzu, "kzu", "Z \u2191", 0, 4, PanelIcon::zUp},
    {PanelButton::kzd, "kzd", "Z \u2193", 2, 4, PanelIcon::zDown},
};

// Button sides in pixels: the mouse layout and the touch layout.
constexpr int kButtonSide = 56;
constexpr int kTouchButtonSide = 88;
const char* const kStopStyle = "QToolButton { background: #c62828; color: white; font-weight: bold; font-size: 16pt; }";
const char* const kTouchStopStyle = "QToolButton { background: #f4f4f4; border: 1px solid #9e9e9e; }";

struct TestBit {
  const char* name;
  bool tPanelTestBits::*bit;
};

constexpr TestBit kTestBits[] = {
    {"cbSbRun", &tPanelTestBits::run},
    {"cbSbWork", &tPanelTestBits::work},
    {"cbSbPower", &tPanelTestBits::power},
    {"cbsb_bazowanie", &tPanelTestBits::homing},
    {"cbsb_wstrzymany", &tPanelTestBits::paused},
    {"cbSbZadanieStartu", &tPanelTestBits::startRequest},
    {"cbSbZadanieStopu", &tPanelTestBits::stopRequest},
    {"cbSbZadanieKontynuacji", &tPanelTestBits::continueRequest},
    {"cbsb_BMPAktywny", &tPanelTestBits::rasterActive},
    {"cbsb_ZadanieProgramowalne1", &tPanelTestBits::programmable1},
    {"cbsb_ZadanieProgramowalne2", &tPanelTestBits::programmable2},
    {"cbsb_DriverError", &tPanelTestBits::driverError},
};

}  // namespace

ControlPanel::ControlPanel(Tster& tster, const texts::tInterfejs& texts, QWidget* parent)
    // A tool window stays above the main window that owns it, but not above
    // the dialogs and message boxes, which must never be hidden behind it.
    : QWidget(parent, Qt::Tool), tster_(tster), texts_(texts) {
  setObjectName("ster");
  build();
  connect(&timer_, &QTimer::timeout, this, &ControlPanel::timerEvent);
  applyCaptions();
  refresh();
}

ControlPanel::~ControlPanel() { timer_.stop(); }

std::string ControlPanel::caption(const std::string& key) const {
  const auto& captions = tster_.display().captions;
  const auto found = captions.find(key);
  return found == captions.end() ? std::string() : found->second;
}

QLabel* ControlPanel::value(const char* name) {
  auto* label = new QLabel(this);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setFrameShape(QFrame::StyledPanel);
  label->setMinimumWidth(96);
  QFont font = label->font();
  font.setPointSize(font.pointSize() + 3);
  font.setBold(true);
  label->setFont(font);
  values_[name] = label;
  return label;
}

void ControlPanel::build() {
  auto* top = new QHBoxLayout;
  top->addWidget(buildCoordinates());
  top->addWidget(buildJogPad());
  top->addWidget(buildSliders(), 1);
  auto* layout = new QVBoxLayout(this);
  jobState_ = new QLabel(this);
  jobState_->setObjectName("lStanZadania");
  jobState_->setWordWrap(true);
  jobState_->setStyleSheet("QLabel { background: #ffd54f; color: black; font-weight: bold; padding: 4px; }");
  jobState_->hide();
  layout->addWidget(jobState_);
  jogInfo_ = new QLabel(this);
  jogInfo_->setObjectName("lJogInfo");
  jogInfo_->setWordWrap(true);
  jogInfo_->setStyleSheet("QLabel { background: #e3f2fd; color: black; padding: 4px; }");
  jogInfo_->hide();
  layout->addWidget(jogInfo_);
  layout->addLayout(top);
  layout->addWidget(buildButtons());
  // What the job waits for when the controller stalls; hidden otherwise.
  controllerWait_ = new QLabel(this);
  controllerWait_->setObjectName("lControllerWait");
  controllerWait_->setStyleSheet(QStringLiteral("color: #c62828; font-weight: bold;"));
  controllerWait_->hide();
  layout->addWidget(controllerWait_);
  lowerPart_ = buildLowerPart();
  layout->addWidget(lowerPart_);
  testPanel_ = qobject_cast<QGroupBox*>(buildTestPanel());
  layout->addWidget(testPanel_);
  testPanel_->hide();
  installEventFilter(this);
}

QWidget* ControlPanel::buildCoordinates() {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  machineGroup_ = new QGroupBox(column);
  machineGroup_->setObjectName("gbWspMaszyny");
  auto* machine = new QGridLayout(machineGroup_);
  projectGroup_ = new QGroupBox(column);
  projectGroup_->setObjectName("gbWspProjektu");
  auto* project = new QGridLayout(projectGroup_);
  const char* axes[] = {"X", "Y", "Z"};
  const char* machineNames[] = {"wmx", "wmy", "wmz"};
  const char* projectNames[] = {"wpx", "wpy", "wpz"};
  for (int i = 0; i < 3; ++i) {
    machine->addWidget(new QLabel(axes[i], machineGroup_), i, 0);
    machine->addWidget(value(machineNames[i]), i, 1);
    project->addWidget(new QLabel(axes[i], projectGroup_), i, 0);
    project->addWidget(value(projectNames[i]), i, 1);
  }
  project->addWidget(new QLabel("V", projectGroup_), 3, 0);
  project->addWidget(value("wpV"), 3, 1);
  layout->addWidget(machineGroup_);
  layout->addWidget(projectGroup_);
  layout->addStretch(1);
  return column;
}

QWidget* ControlPanel::buildJogPad() {
  auto* pad = new QWidget(this);
  auto* grid = new QGridLayout(pad);
  grid->setSpacing(4);
  for (const MotionButton& m : kMotion) {
    auto* button = new QToolButton(pad);
    button->setObjectName(m.name);
    button->setText(QString::fromUtf8(m.glyph));
    button->setFixedSize(kButtonSide, kButtonSide);
    button->setFocusPolicy(Qt::NoFocus);
    QFont font = button->font();
    font.setPointSize(font.pointSize() + 6);
    button->setFont(font);
    grid->addWidget(button, m.row, m.column);
    motion_[m.button] = button;
    const PanelButton which = m.button;
    connect(button, &QToolButton::pressed, this, [this, which] {
      if (actions_.buttonDown) actions_.buttonDown(which);
    });
    connect(button, &QToolButton::released, this, [this, which] {
      if (actions_.buttonUp) actions_.buttonUp(which);
    });
  }
  motion_[PanelButton::kzu]->setToolTip(q(caption("kzu.Hint")));
  motion_[PanelButton::kzd]->setToolTip(q(caption("kzd.Hint")));
  tool_ = new QToolButton(pad);
  tool_->setObjectName("k_zalwyl");
  tool_->setCheckable(true);
  tool_->setText(QStringLiteral("0 / I"));
  tool_->setFixedSize(kButtonSide, kButtonSide);
  tool_->setFocusPolicy(Qt::NoFocus);
  grid->addWidget(tool_, 1, 1);
  connect(tool_, &QToolButton::clicked, this, [this] {
    if (actions_.toolButton) actions_.toolButton();
    tool_->setChecked(tster_.display().toolPressed);  // the machine's state decides
  });
  stop_ = new QToolButton(pad);
  stop_->setObjectName("kstop");
  stop_->setText(QStringLiteral("STOP"));
  stop_->setMinimumSize(kButtonSide * 3 + 8, 48);
  stop_->setFocusPolicy(Qt::NoFocus);
  stop_->setStyleSheet(QString::fromLatin1(kStopStyle));
  grid->addWidget(stop_, 3, 0, 1, 3);
  connect(stop_, &QToolButton::pressed, this, [this] {
    if (actions_.stopPressed) actions_.stopPressed();
  });
  connect(stop_, &QToolButton::clicked, this, [this] { tster_.kstopClick(); });
  grid->setColumnMinimumWidth(3, 12);
  return pad;
}

QWidget* ControlPanel::buildSliders() {
  auto* column = new QWidget(this);
  auto* layout = new QHBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  speedGroup_ = new QGroupBox(column);
  speedGroup_->setObjectName("Szybkosc");
  auto* speed = new QVBoxLayout(speedGroup_);
  vScroll_ = new QSlider(Qt::Vertical, speedGroup_);
  vScroll_->setObjectName("VScroll");
  vScroll_->setFocusPolicy(Qt::NoFocus);
  speedLabel_ = new QLabel(speedGroup_);
  speedLabel_->setObjectName("speedlabel");
  speedLabel_->setAlignment(Qt::AlignCenter);
  speed->addWidget(vScroll_, 1, Qt::AlignHCenter);
  speed->addWidget(speedLabel_);
  powerGroup_ = new QGroupBox(column);
  powerGroup_->setObjectName("moc");
  auto* power = new QVBoxLayout(powerGroup_);
  pScroll_ = new QSlider(Qt::Vertical, powerGroup_);
  pScroll_->setObjectName("PScroll");
  pScroll_->setFocusPolicy(Qt::NoFocus);
  powerLabel_ = new QLabel(powerGroup_);
  powerLabel_->setObjectName("PowerLabel");
  powerLabel_->setAlignment(Qt::AlignCenter);
  power->addWidget(pScroll_, 1, Qt::AlignHCenter);
  power->addWidget(powerLabel_);
  // The labels keep the width of their longest text, so that the panel
  // does not grow with the feed it shows.
  speedLabel_->setFixedWidth(speedLabel_->fontMetrics().horizontalAdvance(QStringLiteral("000000 mm/min")) + 8);
  powerLabel_->setFixedWidth(powerLabel_->fontMetrics().horizontalAdvance(QStringLiteral("000000.00")) + 8);
  layout->addWidget(speedGroup_);
  layout->addWidget(powerGroup_);
  connect(vScroll_, &QSlider::valueChanged, this, &ControlPanel::speedSliderMoved);
  connect(pScroll_, &QSlider::valueChanged, this, &ControlPanel::powerSliderMoved);
  return column;
}

QWidget* ControlPanel::buildButtons() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  const auto add = [&](const char* name, std::function<void()> ControlPanelActions::*action) {
    auto* button = new QPushButton(row);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(button);
    buttons_[name] = button;
    if (action != nullptr) {
      connect(button, &QPushButton::clicked, this, [this, action] {
        if (actions_.*action) (actions_.*action)();
      });
    }
    return button;
  };
  add("bazuj", &ControlPanelActions::home);
  add("setbaza", &ControlPanelActions::setZero);
  add("btnSprawdzBaze", &ControlPanelActions::checkBase);
  add("btnPrzesun", &ControlPanelActions::moveByDelta);
  add("pomiar", &ControlPanelActions::toolLength);
  add("ButtonWyjscia", &ControlPanelActions::outputs);
  add("btnParametryFalownika", &ControlPanelActions::inverterUpload);
  layout->addStretch(1);
  pulseCaption_ = new QLabel(row);
  pulseTime_ = new TFltEditU(row, 0, 65000, 0);
  pulseTime_->setObjectName("CzasImpulsu");
  pulseTime_->setValue(3);
  pulseUnit_ = new QLabel(QStringLiteral("miliSek"), row);
  layout->addWidget(pulseCaption_);
  layout->addWidget(pulseTime_);
  layout->addWidget(pulseUnit_);
  connect(pulseTime_, &TFltEdit::edited, this, [this] {
    if (actions_.setPulseTime) actions_.setPulseTime(static_cast<int>(std::nearbyint(pulseTime_->value())));
  });
  QPushButton* close = add("zamknij", nullptr);
  connect(close, &QPushButton::clicked, this, [this] {
    tster_.zamknijClick();
    hide();
  });
  return row;
}

QWidget* ControlPanel::buildLowerPart() {
  auto* part = new QWidget(this);
  auto* layout = new QHBoxLayout(part);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* spindle = new QGroupBox(part);
  auto* spindleLayout = new QGridLayout(spindle);
  spindleSpeed_ = new QLineEdit(QStringLiteral("10000"), spindle);
  spindleSpeed_->setObjectName("eObrotyWartosc");
  const auto button = [&](QWidget* parentBox, const char* name) {
    auto* b = new QPushButton(parentBox);
    b->setObjectName(name);
    b->setFocusPolicy(Qt::NoFocus);
    buttons_[name] = b;
    return b;
  };
  spindleLayout->addWidget(spindleSpeed_, 0, 0);
  spindleLayout->addWidget(button(spindle, "btnUstawObroty"), 0, 1);
  spindleLayout->addWidget(button(spindle, "btnWlaczObroty"), 1, 0);
  spindleLayout->addWidget(button(spindle, "btnWylaczObroty"), 1, 1);
  connect(buttons_["btnUstawObroty"], &QPushButton::clicked, this, [this] {
    if (!actions_.setSpindleSpeed) return;
    if (const auto error = actions_.setSpindleSpeed(spindleSpeed_->text().toStdString()))
      texts_.messageBox(*error, true);
  });
  connect(buttons_["btnWlaczObroty"], &QPushButton::clicked, this, [this] {
    if (actions_.spindleOn) actions_.spindleOn();
  });
  connect(buttons_["btnWylaczObroty"], &QPushButton::clicked, this, [this] {
    if (actions_.spindleOff) actions_.spindleOff();
  });

  auto* heads = new QGroupBox(part);
  auto* headsLayout = new QGridLayout(heads);
  heads_ = new QComboBox(heads);
  heads_->setObjectName("cbListaGlowic");
  chosenHead_ = new QLabel(heads);
  chosenHead_->setObjectName("lWybranaGlowica");
  headsLayout->addWidget(heads_, 0, 0);
  headsLayout->addWidget(chosenHead_, 0, 1);
  headsLayout->addWidget(button(heads, "btnAktywujGlowice"), 1, 0);
  headsLayout->addWidget(button(heads, "btnDeaktywujGlowice"), 1, 1);
  connect(buttons_["btnAktywujGlowice"], &QPushButton::clicked, this, [this] {
    const int entry = heads_->currentIndex();
    if (entry < 0) return;
    if (actions_.activateHead) actions_.activateHead(entry);
    chosenHead_->setText(heads_->currentText());
  });
  connect(buttons_["btnDeaktywujGlowice"], &QPushButton::clicked, this, [this] {
    if (actions_.releaseHead) actions_.releaseHead();
  });

  const auto onOff = [&](const char* groupName, const char* onName, const char* offName,
                         std::function<void(bool)> ControlPanelActions::*action) {
    auto* group = new QGroupBox(part);
    group->setObjectName(groupName);
    auto* l = new QHBoxLayout(group);
    QPushButton* on = button(group, onName);
    QPushButton* off = button(group, offName);
    l->addWidget(on);
    l->addWidget(off);
    connect(on, &QPushButton::clicked, this, [this, action] {
      if (actions_.*action) (actions_.*action)(true);
    });
    connect(off, &QPushButton::clicked, this, [this, action] {
      if (actions_.*action) (actions_.*action)(false);
    });
    return group;
  };
  QGroupBox* vacuum = onOff("gbPodsys", "btnPodsysOn", "btnPodsysOff", &ControlPanelActions::vacuum);
  QGroupBox* dust = onOff("gbOdkurzacz", "btnOdkurzaczOn", "btnOdkurzaczOff", &ControlPanelActions::dustExtraction);

  auto* inverter = new QGroupBox(QStringLiteral("YJB"), part);
  auto* inverterLayout = new QVBoxLayout(inverter);
  inverterLayout->addWidget(value("eInverterStatus"));
  inverterLayout->addWidget(value("eInverterFreq"));
  inverterLayout->addWidget(value("eInverterAmper"));
  inverterError_ = new QLabel(inverter);
  inverterError_->setObjectName("lInverterError");
  inverterError_->setStyleSheet(QStringLiteral("color: #c62828; font-weight: bold;"));
  inverterLayout->addWidget(inverterError_);

  spindle->setObjectName("gbObroty");
  heads->setObjectName("gbGlowice");
  for (QWidget* w : {static_cast<QWidget*>(spindle), static_cast<QWidget*>(heads), static_cast<QWidget*>(vacuum),
                     static_cast<QWidget*>(dust), static_cast<QWidget*>(inverter)}) {
    layout->addWidget(w);
  }
  return part;
}

QWidget* ControlPanel::buildTestPanel() {
  auto* panel = new QGroupBox(QStringLiteral("Test"), this);
  panel->setObjectName("pTestowy");
  auto* grid = new QGridLayout(panel);
  int i = 0;
  for (const TestBit& b : kTestBits) {
    auto* box = new QCheckBox(QString::fromUtf8(b.name), panel);
    box->setObjectName(b.name);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    testBits_[b.name] = box;
    grid->addWidget(box, i / 4, i % 4);
    ++i;
  }
  const char* labels[] = {"lbSelPwr", "lSelectedZ", "lSel_speed", "lSelectedV", "UsbError"};
  int column = 0;
  for (const char* name : labels) {
    grid->addWidget(new QLabel(QString::fromUtf8(name) + ":", panel), 3, column);
    auto* shown = new QLabel(panel);
    shown->setObjectName(name);
    values_[name] = shown;
    grid->addWidget(shown, 4, column++);
  }
  return panel;
}

QWidget* ControlPanel::testPanel() const { return testPanel_; }

void ControlPanel::showJobState(const QString& text) {
  if (jobState_->text() == text && jobState_->isHidden() == text.isEmpty()) return;
  jobState_->setText(text);
  jobState_->setVisible(!text.isEmpty());
}

void ControlPanel::showJogBlock(tJogBlock block) {
  const QString text = QString::fromStdString(jogBlockText(block, texts_));
  jogInfo_->setText(text);
  jogInfo_->setVisible(!text.isEmpty());
}

QString ControlPanel::jogInfo() const { return jogInfo_->isHidden() ? QString() : jogInfo_->text(); }

QString ControlPanel::jobState() const { return jobState_->isHidden() ? QString() : jobState_->text(); }

void ControlPanel::setIconFolder(const QString& folder) {
  iconFolder_ = folder;
  if (touchLayout_) applyTouchLayout(true);
}

void ControlPanel::applyTouchLayout(bool on) {
  touchLayout_ = on;
  const int side = on ? kTouchButtonSide : kButtonSide;
  const QSize iconSize(side - 12, side - 12);
  PanelIcons icons;
  if (on) {
    std::optional<PanelIcons> own = iconFolder_.isEmpty() ? std::nullopt : panelIconsFromFolder(iconFolder_);
    icons = own ? std::move(*own) : drawnPanelIcons(iconSize.width());
  }
  const auto picture = [&](QToolButton* button, PanelIcon icon, const QString& text) {
    button->setIcon(on ? icons[icon] : QIcon());
    button->setIconSize(iconSize);
    button->setText(on ? QString() : text);
    button->setFixedSize(side, side);
  };
  for (const MotionButton& m : kMotion) picture(motion_[m.button], m.icon, QString::fromUtf8(m.glyph));
  picture(tool_, PanelIcon::tool, QStringLiteral("0 / I"));
  stop_->setIcon(on ? icons[PanelIcon::stop] : QIcon());
  stop_->setIconSize(iconSize);
  stop_->setText(on ? QString() : QStringLiteral("STOP"));
  stop_->setStyleSheet(QString::fromLatin1(on ? kTouchStopStyle : kStopStyle));
  stop_->setMinimumSize(side * 3 + 8, on ? side : 48);
  // The set-up buttons large enough for a finger.
  for (auto& entry : buttons_) {
    QPushButton* button = entry.second;
    QFont font = button->font();
    font.setPointSize(on ? QFont().pointSize() + 4 : QFont().pointSize());
    button->setFont(font);
    button->setMinimumHeight(on ? 48 : 0);
  }
  adjustSize();
}

}  // namespace trazvik::ui
