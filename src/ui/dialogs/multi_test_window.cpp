#include "dialogs/multi_test_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace trazvik::ui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string nameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

MultiTestWindow::MultiTestWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("dlgMultiTestList");
  setWindowTitle("MultiTest Lista");
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  folder_ = new QLabel("Folder: ", this);
  folder_->setObjectName("lFolder");
  auto* choose = new QPushButton("...", this);
  choose->setObjectName("btnWybierzFolder");
  top->addWidget(folder_, 1);
  top->addWidget(choose);
  layout->addLayout(top);
  grid_ = new QTableWidget(0, 2, this);
  grid_->setObjectName("sgLista");
  grid_->setHorizontalHeaderLabels({"Projekt", "Konfig"});
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  layout->addWidget(grid_, 1);
  auto* buttons = new QHBoxLayout;
  auto* start = new QPushButton("MultiTest Start", this);
  start->setObjectName("btnMultiTestStart");
  auto* stop = new QPushButton("Zatrzymaj kolejkowanie", this);
  stop->setObjectName("btnZatrzymajKolejkowanie");
  buttons->addWidget(start);
  buttons->addWidget(stop);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  resize(520, 360);

  chooseFolder = [this](const std::string& startFolder) {
    return QFileDialog::getExistingDirectory(this, q(folderTitle),
                                             q(startFolder.empty() ? std::string("/") : startFolder))
        .toStdString();
  };
  connect(choose, &QPushButton::clicked, this, [this] { pickFolder(); });
  connect(start, &QPushButton::clicked, this, [this] {
    if (startClicked) startClicked();
  });
  connect(stop, &QPushButton::clicked, this, [this] {
    if (stopClicked) stopClicked();
  });
}

void MultiTestWindow::pickFolder() {
  const std::string folder = chooseFolder ? chooseFolder(current_) : std::string();
  if (!folder.empty() && folderChosen) folderChosen(folder);
}

void MultiTestWindow::refresh(const app::TMultiTest& list) {
  current_ = list.AktualnyFolder();
  folder_->setText("Folder: " + q(current_));
  const auto& items = list.Lista();
  grid_->setRowCount(static_cast<int>(items.size()));
  for (int row = 0; row < static_cast<int>(items.size()); ++row) {
    const app::TMultiTestDane& item = items[static_cast<std::size_t>(row)];
    const bool tested = list.JestWtoku() && row == list.AktualnieTestowany();
    int column = 0;
    for (const std::string& path : {item.plikPrj, item.plikKonf}) {
      auto* cell = new QTableWidgetItem("  " + q(nameOf(path)) + "  ");
      if (tested) cell->setForeground(Qt::red);
      grid_->setItem(row, column++, cell);
    }
  }
  grid_->resizeColumnsToContents();
}

}  // namespace trazvik::ui
