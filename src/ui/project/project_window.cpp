#include "project/project_window.h"

#include "frame/qt_texts.h"
#include "geometry/units.h"
#include "project/project_loader.h"
#include "texts/interfejs.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QStatusBar>
#include <QVBoxLayout>

namespace trazvik::ui {
namespace {
constexpr const char* kSection = "Project_window";
}

ProjectWindow::ProjectWindow(std::unique_ptr<TMDIChild> project, Commands commands, QWidget* parent)
    : QWidget(parent), project_(std::move(project)), commands_(std::move(commands)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromStdString(project_->sciezka));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  view_ = new ProjectView(*project_, this);
  layout->addWidget(view_, 1);
  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  optionPanel_ = new QLabel(status);
  countPanel_ = new QLabel(status);
  selectionPanel_ = new QLabel(status);
  optionPanel_->setMinimumWidth(120);
  countPanel_->setMinimumWidth(120);
  status->addWidget(optionPanel_);
  status->addWidget(countPanel_);
  status->addWidget(selectionPanel_, 1);
  layout->addWidget(status);

  // From now on the document speaks to this window directly.
  tWidokProjektu widok;
  widok.paskStatusu = [this](const std::string& t) { countPanel_->setText(QString::fromStdString(t)); };
  widok.tytul = [this](const std::string& t) { setWindowTitle(QString::fromStdString(t)); };
  widok.odswiez = [this] { refresh(); };
  widok.zajety = [this](bool busy) {
    if (busy)
      setCursor(Qt::BusyCursor);
    else
      unsetCursor();
  };
  project_->ustawWidok(std::move(widok));

  connect(view_, &ProjectView::zoomChanged, this, &ProjectWindow::zoomChanged);
  connect(view_, &ProjectView::contextMenuWanted, this, &ProjectWindow::showContextMenu);
  connect(view_, &ProjectView::selectionChanged, this, [this](int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= project_->fig.size()) {
      selectionPanel_->clear();
      return;
    }
    const tfigura& f = *project_->fig[static_cast<std::size_t>(index)];
    selectionPanel_->setText(QStringLiteral("#%1  %2 × %3 mm")
                                 .arg(index + 1)
                                 .arg(toMm(project_->ImportFileType, f.fig_x_size), 0, 'f', 2)
                                 .arg(toMm(project_->ImportFileType, f.fig_y_size), 0, 'f', 2));
  });
  showFigureCount();
}

void ProjectWindow::closeEvent(QCloseEvent* event) {
  if (commands_.mayClose && !commands_.mayClose(*this)) {
    event->ignore();
    return;
  }
  event->accept();
}

ProjectWindow::~ProjectWindow() {
  // The document outlives the widgets for a moment; it must not call them.
  project_->ustawWidok({});
}

void ProjectWindow::showFigureCount() {
  countPanel_->setText(qs(project_->interfejs().dajTxt(kSection, "msgIloscFigur")) +
                       QString::number(project_->fig.size()));
}

void ProjectWindow::setViewOptions(const ViewOptions& options, const QString& optionCaption) {
  view_->setViewOptions(options);
  optionPanel_->setText(QString(optionCaption).remove('&'));
}

void ProjectWindow::refresh() {
  view_->projectChanged();
  showFigureCount();
}

std::unique_ptr<QMenu> ProjectWindow::buildContextMenu() {
  const texts::tInterfejs& t = project_->interfejs();
  auto menu = std::make_unique<QMenu>();
  if (commands_.info) {
    QAction* info = menu->addAction(qs(t.dajTxt(kSection, "pmInfo.caption")));
    info->setObjectName("pmInfo");
    connect(info, &QAction::triggered, this, [this] { commands_.info(*this); });
  }
  QAction* cut = menu->addAction(qs(t.dajTxt(kSection, "pmFiguraDoCiecia.caption")));
  cut->setObjectName("pmFiguraDoCiecia");
  const bool haveSelection =
      project_->selected >= 0 && static_cast<std::size_t>(project_->selected) < project_->fig.size();
  cut->setCheckable(true);
  cut->setEnabled(haveSelection);
  cut->setChecked(haveSelection && project_->fig[static_cast<std::size_t>(project_->selected)]->tocut);
  connect(cut, &QAction::triggered, this, [this] { project_->ZmienDoCiecia(); });
  if (commands_.layers) {
    QAction* layers = menu->addAction(qs(t.dajTxt(kSection, "pmWarstwy.caption")));
    layers->setObjectName("pmWarstwy");
    layers->setEnabled(project_->wielowarstwowy());
    connect(layers, &QAction::triggered, this, [this] { commands_.layers(*this); });
  }
  if (commands_.serviceMode) {
    menu->addSeparator();
    QAction* dxf = menu->addAction(qs(t.dajTxt(kSection, "pmZapiszDXF.caption")));
    dxf->setObjectName("pmZapiszDXF");
    connect(dxf, &QAction::triggered, this, &ProjectWindow::chooseAndSaveDxf);
  }
  return menu;
}

void ProjectWindow::showContextMenu(QPoint globalPosition) {
  auto menu = buildContextMenu();
  menu->exec(globalPosition);
}

void ProjectWindow::chooseAndSaveDxf() {
  project_->pmZapiszJakoDXFClick([this](const tDialogZapisuDXF& d) {
    QString path = QFileDialog::getSaveFileName(this, QString::fromStdString(d.tytul), QString::fromStdString(d.nazwa),
                                                qtFileFilter(d.filtr));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += "." + QString::fromStdString(d.rozszerzenie);
    return path.toStdString();
  });
}

bool ProjectWindow::saveAsDxf(const QString& path) {
  return project_->pmZapiszJakoDXFClick([&](const tDialogZapisuDXF&) { return path.toStdString(); }) == 0;
}

}  // namespace trazvik::ui
