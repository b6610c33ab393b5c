#include "frame/main_window.h"

#include "frame/menu_table.h"
#include "frame/qt_texts.h"
#include "frame/tool_icons.h"
#include "project/project_window.h"

#include <QActionGroup>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace trazvik::ui {
namespace {

constexpr const char* kMenuSection = "Main_window_menu";
constexpr const char* kMainSection = "Main_window";

// The language file's key of a menu caption.
std::string captionKey(const std::string& name) {
  if (name == "miPodgladDziennikow" || name == "miOtworzFolderPlikowZadan") return name + ".Caption";
  return name + ".caption";
}

QString withoutAccelerator(QString caption) { return caption.remove('&'); }

// Double-clicks on the status bar open the multi-project tests.
class DoubleClickFilter : public QObject {
 public:
  DoubleClickFilter(QObject* parent, std::function<void()> onDoubleClick)
      : QObject(parent), onDoubleClick_(std::move(onDoubleClick)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonDblClick) onDoubleClick_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> onDoubleClick_;
};

}  // namespace

MainWindow::MainWindow(ProgramContext& context, QWidget* parent) : QMainWindow(parent), context_(context) {
  setObjectName("TMainForm");
  mdi_ = new QMdiArea(this);
  mdi_->setObjectName("ClientArea");
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);

  buildMenus();
  buildToolBar();
  buildStatusBar();
  connectCommands();
  applyTexts();
  connect(mdi_, &QMdiArea::subWindowActivated, this, &MainWindow::activeWindowChanged);
  resize(1100, 750);
  UpdateMenuItems();
}

MainWindow::~MainWindow() {
  // The project windows go while the frame they report to is whole.
  destroying_ = true;
  const auto windows = mdi_->subWindowList();
  for (QMdiSubWindow* sub : windows) delete sub;
}

void MainWindow::buildMenus() {
  for (const MenuDef& m : kMenus) {
    if (std::string(m.name) == "sterowanie") {
      // A menu bar entry with its own command.
      QAction* a = menuBar()->addAction(QString::fromUtf8(m.caption));
      a->setObjectName(m.name);
      a->setShortcut(QKeySequence("F5"));
      actions_[m.name] = a;
      continue;
    }
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(m.caption));
    menu->setObjectName(m.name);
    menus_[m.name] = menu;
  }
  for (const MenuItemDef& item : kMenuItems) {
    QMenu* parentMenu = menus_.at(item.menu);
    if (std::string(item.name) == "-") {
      parentMenu->addSeparator();
      continue;
    }
    if (std::string(item.name) == "mInstrukcjaObsugi") {
      QMenu* sub = parentMenu->addMenu(QString::fromUtf8(item.caption));
      sub->setObjectName(item.name);
      menus_[item.name] = sub;
      actions_[item.name] = sub->menuAction();
      continue;
    }
    QAction* a = parentMenu->addAction(QString::fromUtf8(item.caption));
    a->setObjectName(item.name);
    if (*item.shortcut) a->setShortcut(QKeySequence(QString::fromUtf8(item.shortcut)));
    actions_[item.name] = a;
  }
  // The settings menu opens with F6 (the menu itself has no command).
  auto* f6 = new QShortcut(QKeySequence("F6"), this);
  connect(f6, &QShortcut::activated, this, [this] {
    QMenu* m = menus_.at("Konfiguracja");
    m->popup(mapToGlobal(menuBar()->actionGeometry(m->menuAction()).bottomLeft()));
  });

  auto* views = new QActionGroup(this);
  views->setExclusive(true);
  for (const char* name : {"Kierunek", "Kolejnosc", "Warstwy"}) {
    actions_.at(name)->setCheckable(true);
    views->addAction(actions_.at(name));
  }
  actions_.at("Punktywej")->setCheckable(true);
  applyGlobalConfiguration();
}

void MainWindow::applyGlobalConfiguration() {
  const config::GlobalCfg& g = context_.configuration.globalCfg();
  viewOptions_.mode = g.viewDirection ? ViewOptions::Mode::Direction
                      : g.viewOrder   ? ViewOptions::Mode::Order
                                      : ViewOptions::Mode::Layers;
  viewOptions_.entryPoints = g.viewEntryPoints;
  actions_.at("Kierunek")->setChecked(viewOptions_.mode == ViewOptions::Mode::Direction);
  actions_.at("Kolejnosc")->setChecked(viewOptions_.mode == ViewOptions::Mode::Order);
  actions_.at("Warstwy")->setChecked(viewOptions_.mode == ViewOptions::Mode::Layers);
  actions_.at("Punktywej")->setChecked(viewOptions_.entryPoints);
}

QAction* MainWindow::addToolAction(const char* name, const QString& text) {
  QToolBar* bar = findChild<QToolBar*>("ToolBar1");
  QAction* a = bar->addAction(text);
  a->setObjectName(name);
  actions_[name] = a;
  if (QWidget* w = bar->widgetForAction(a)) {
    w->setObjectName(name);
    controls_[name] = w;
  }
  return a;
}

void MainWindow::buildToolBar() {
  auto* bar = addToolBar(QString());
  bar->setObjectName("ToolBar1");
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  QAction* open = addToolAction("OpenBtn", QString());
  open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  if (auto* b = qobject_cast<QToolButton*>(controls_.at("OpenBtn"))) b->setToolButtonStyle(Qt::ToolButtonIconOnly);
  addToolAction("SpeedSymulacja", "Symulacja");
  addToolAction("SpeedStart", "START");
  addToolAction("SpeedStop", "S T O P");
  addToolAction("Skont", "Kontynuacja");
  addToolAction("sWylaczPowiadomienia", QString())->setIcon(style()->standardIcon(QStyle::SP_MediaVolumeMuted));
  addToolAction("sbPomiarNarzedzia", QString())->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
  for (const char* name : {"sWylaczPowiadomienia", "sbPomiarNarzedzia"})
    if (auto* b = qobject_cast<QToolButton*>(controls_.at(name))) b->setToolButtonStyle(Qt::ToolButtonIconOnly);
  bar->addSeparator();
  const std::pair<const char*, ZoomIcon> zoomButtons[] = {
      {"sbZoomOut", ZoomIcon::Out}, {"sbZoomIn", ZoomIcon::In}, {"sbZoomToFit", ZoomIcon::Fit}};
  for (const auto& [name, icon] : zoomButtons) {
    addToolAction(name, QString())->setIcon(zoomIcon(icon));
    if (auto* b = qobject_cast<QToolButton*>(controls_.at(name))) b->setToolButtonStyle(Qt::ToolButtonIconOnly);
  }
  zoom_ = new QSlider(Qt::Horizontal, bar);
  zoom_->setObjectName("tbZoom");
  zoom_->setRange(app::kZoomMin, app::kZoomMax);
  zoom_->setPageStep(1);
  zoom_->setTickPosition(QSlider::TicksBelow);
  zoom_->setFixedWidth(150);
  actions_["tbZoom"] = bar->addWidget(zoom_);
  controls_["tbZoom"] = zoom_;

  auto* headBox = new QGroupBox(bar);
  headBox->setObjectName("rgGlowica");
  auto* headLayout = new QHBoxLayout(headBox);
  headLayout->setContentsMargins(6, 0, 6, 0);
  heads_ = new QButtonGroup(headBox);
  for (int head = 1; head <= 3; ++head) {
    auto* b = new QRadioButton(QString::number(head), headBox);
    b->setChecked(head == 1);
    heads_->addButton(b, head);
    headLayout->addWidget(b);
  }
  bar->addSeparator();
  actions_["rgGlowica"] = bar->addWidget(headBox);
  controls_["rgGlowica"] = headBox;
}

void MainWindow::buildStatusBar() {
  for (int i = 0; i < 2; ++i) {
    status_[i] = new QLabel(this);
    status_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    status_[i]->setFixedWidth(i == 0 ? 400 : 300);
    statusBar()->addWidget(status_[i]);
  }
  progress_ = new QProgressBar(this);
  progress_->setObjectName("JobProgress");
  progress_->setRange(0, 1000);
  progress_->setMinimumWidth(340);
  progress_->setTextVisible(true);
  progress_->hide();
  statusBar()->addPermanentWidget(progress_);
  statusBar()->installEventFilter(new DoubleClickFilter(this, [this] {
    if (context_.switches().serviceMode && hasCommand("miMultiTesty")) commands_.at("miMultiTesty")();
  }));
}

void MainWindow::applyTexts() {
  setWindowTitle(QString::fromStdString(context_.frame.caption()));
  applyMenuTexts();
  applyToolBarTexts();
  UpdateMenuItems();
}

void MainWindow::applyMenuTexts() {
  const texts::tInterfejs& t = context_.texts();
  for (auto& [name, menu] : menus_) menu->setTitle(qs(t.dajTxt(kMenuSection, captionKey(name))));
  for (auto& [name, a] : actions_) {
    if (menus_.count(name) || controls_.count(name) || name == "tbZoom" || name == "rgGlowica") continue;
    a->setText(qs(t.dajTxt(kMenuSection, captionKey(name))));
  }
  actions_.at("mKonfigGlowna")->setText(qs(t.dajTxt(kMenuSection, "mKonfigGlowna.caption")) + "...");
  actions_.at("mWarstwy")->setText(qs(t.dajTxt("Multilayer_project", "Form.caption")) + "...");
}

void MainWindow::applyToolBarTexts() {
  const texts::tInterfejs& t = context_.texts();
  auto setHint = [&](const char* name, const std::string& hint) {
    QAction* a = actions_.at(name);
    a->setToolTip(QString::fromStdString(app::shortHint(hint)));
    a->setStatusTip(QString::fromStdString(app::longHint(hint)));
  };
  for (const char* name : {"SpeedSymulacja", "SpeedStart", "SpeedStop", "Skont"})
    actions_.at(name)->setText(qs(t.dajTxt(kMainSection, std::string(name) + ".Caption")));
  // Each button's hint names the shortcut of its menu item.
  const std::pair<const char*, const char*> withShortcut[] = {{"OpenBtn", "FileOpenItem"},
                                                              {"SpeedSymulacja", "Symulacja"},
                                                              {"SpeedStart", "Start1"},
                                                              {"SpeedStop", "Wstrzymaj1"},
                                                              {"Skont", "Kontynuacja1"}};
  for (const auto& [button, item] : withShortcut) {
    const QString caption =
        std::string(button) == "OpenBtn" ? withoutAccelerator(actions_.at(item)->text()) : actions_.at(button)->text();
    const std::string shortcut = actions_.at(item)->shortcut().toString(QKeySequence::NativeText).toStdString();
    setHint(button, app::hintWithShortcut(caption.toStdString(), shortcut,
                                          t.dajTxt(kMainSection, std::string(button) + ".Hint")));
  }
  for (const char* name : {"sbZoomToFit", "sbZoomOut", "sbZoomIn"})
    setHint(name, t.dajTxt(kMainSection, std::string(name) + ".Hint"));
  zoom_->setToolTip(qs(t.dajTxt(kMainSection, "tbZoom.Hint")));
  auto* headBox = static_cast<QGroupBox*>(controls_.at("rgGlowica"));
  headBox->setTitle(qs(t.dajTxt(kMainSection, "rgGlowica.caption")));
}

void MainWindow::setCommand(const std::string& componentName, std::function<void()> command) {
  commands_[componentName] = std::move(command);
  UpdateMenuItems();
}

bool MainWindow::hasCommand(const std::string& componentName) const {
  const auto it = commands_.find(componentName);
  return it != commands_.end() && it->second;
}

void MainWindow::setSettingsDialog(std::function<void()> showModal) {
  settingsDialog_ = std::move(showModal);
  UpdateMenuItems();
}

void MainWindow::setLayerDialog(std::function<void(ProjectWindow&)> show) {
  layerDialog_ = std::move(show);
  UpdateMenuItems();
}

void MainWindow::setMachineFacts(std::function<MachineFacts()> facts) {
  machineFacts_ = std::move(facts);
  UpdateMenuItems();
}

void MainWindow::setCloseQuery(std::function<bool()> mayClose) { mayClose_ = std::move(mayClose); }

void MainWindow::setProjectCloseQuery(std::function<bool(ProjectWindow*)> mayClose) {
  projectCloseQuery_ = std::move(mayClose);
}

QAction* MainWindow::action(const std::string& componentName) const {
  const auto it = actions_.find(componentName);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* MainWindow::menu(const std::string& componentName) const {
  const auto it = menus_.find(componentName);
  return it == menus_.end() ? nullptr : it->second;
}

QWidget* MainWindow::control(const std::string& componentName) const {
  const auto it = controls_.find(componentName);
  return it == controls_.end() ? nullptr : it->second;
}

int MainWindow::selectedHead() const { return heads_->checkedId(); }
int MainWindow::zoomLevel() const { return zoom_->value(); }

void MainWindow::setStatusPanel(int panel, const QString& text) {
  if (panel >= 0 && panel < 2) status_[panel]->setText(text);
}

QString MainWindow::statusPanel(int panel) const {
  return panel >= 0 && panel < 2 ? status_[panel]->text() : QString();
}

void MainWindow::showJobProgress(const tJobDisplay& p, const QString& pausedText, const QString& pausedTip) {
  progress_->setVisible(p.active);
  if (p.active) {
    progress_->setValue(static_cast<int>(shownPercent(p) * 10));
    progress_->setFormat(QString::fromStdString(progressText(p)));
  }
  // The paused state stays in the first panel until the job goes on.
  if (!pausedText.isEmpty()) {
    if (statusPanel(0) != pausedText) setStatusPanel(0, pausedText);
    status_[0]->setToolTip(pausedTip);
  } else if (showedPaused_) {
    setStatusPanel(0, QString());
    status_[0]->setToolTip(QString());
  }
  if (showedPaused_ != !pausedText.isEmpty()) {
    showedPaused_ = !pausedText.isEmpty();
    if (QWidget* lit = control("Skont"))
      lit->setStyleSheet(showedPaused_ ? "QToolButton { background: #ffd54f; font-weight: bold; }" : QString());
    UpdateMenuItems();
  }
}

void MainWindow::changeEvent(QEvent* event) {
  // A click into the main window or a change of the active window.
  if (event->type() == QEvent::ActivationChange) UpdateMenuItems();
  QMainWindow::changeEvent(event);
}

}  // namespace trazvik::ui
