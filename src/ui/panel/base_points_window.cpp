#include "panel/base_points_window.h"

#include "config/flt_edit.h"
#include "dialogs/flt_edit_widget.h"
#include "texts/interfejs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace trazvik::ui {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }
constexpr int kRemarkLength = 28;

}  // namespace

BasePointsWindow::BasePointsWindow(tBasePointList& list, const texts::tInterfejs& texts, BasePointsSetup setup,
                                   QWidget* parent)
    : QDialog(parent), list_(list), texts_(texts), setup_(std::move(setup)) {
  setObjectName("Punkty_bazowe");
  build();
  pbx_->setValue(setup_.zeroX);
  pby_->setValue(setup_.zeroY);
  pbx_->changeunit(setup_.unit);
  pby_->changeunit(setup_.unit);
  showList();
}

void BasePointsWindow::build() {
  const auto t = [&](const char* key) { return q(texts_.dajTxt("Base_Selection", key)); };
  setWindowTitle(t("Punkty_bazowe.Caption"));
  auto* fields = new QGridLayout;
  const QString unit = "[" + q(std::string(config::unitName(setup_.unit))) + "]";
  const auto field = [&](const char* name, const char* unitLabel, double maxMm, int row) {
    auto* f = new TFltEditU(this, 0, maxMm, 3, setup_.separator);
    f->setObjectName(name);
    auto* label = new QLabel(unit, this);
    label->setObjectName(unitLabel);
    fields->addWidget(new QLabel(row == 0 ? "X" : "Y", this), row, 0);
    fields->addWidget(f, row, 1);
    fields->addWidget(label, row, 2);
    return f;
  };
  pbx_ = field("pbx", "lPbXjm", setup_.workArea[0], 0);
  pby_ = field("pby", "lPbYjm", setup_.workArea[1], 1);
  const auto button = [&](const char* name, const QString& text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  QPushButton* wpa = button("wpa", t("wpa.Caption"));
  connect(wpa, &QPushButton::clicked, this, [this] { takeCurrentPosition(); });

  lista_ = new QListWidget(this);
  lista_->setObjectName("lista");
  lista_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  connect(lista_, &QListWidget::itemClicked, this, [this] { entryClicked(); });
  connect(lista_, &QListWidget::itemDoubleClicked, this, [this] {
    entryClicked();
    if (copyEntry()) accept();
  });
  komentarz_ = new QLineEdit(this);
  komentarz_->setPlaceholderText("remark");
  komentarz_->setObjectName("komentarz");
  komentarz_->setMaxLength(kRemarkLength);
  QPushButton* dodaj = button("Dodaj", t("Dodaj.Caption"));
  usun_ = button("usun", t("usun.Caption"));
  przepisz_ = button("Przepisz", t("Przepisz.Caption"));
  usun_->setEnabled(false);
  przepisz_->setEnabled(false);
  connect(dodaj, &QPushButton::clicked, this, [this] { addEntry(); });
  connect(usun_, &QPushButton::clicked, this, [this] { deleteEntry(); });
  connect(przepisz_, &QPushButton::clicked, this, [this] { copyEntry(); });
  QPushButton* ustaw = button("ustaw", t("ustaw.Caption"));
  QPushButton* anuluj = button("anuluj", t("anuluj.Caption"));
  ustaw->setDefault(true);
  connect(ustaw, &QPushButton::clicked, this, [this] {
    pbx_->commit();
    pby_->commit();
    accept();
  });
  connect(anuluj, &QPushButton::clicked, this, &QDialog::reject);

  auto* entryButtons = new QHBoxLayout;
  entryButtons->addWidget(komentarz_, 1);
  entryButtons->addWidget(dodaj);
  entryButtons->addWidget(usun_);
  entryButtons->addWidget(przepisz_);
  auto* closeButtons = new QHBoxLayout;
  closeButtons->addStretch(1);
  closeButtons->addWidget(ustaw);
  closeButtons->addWidget(anuluj);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(wpa);
  layout->addWidget(lista_, 1);
  layout->addLayout(entryButtons);
  layout->addLayout(closeButtons);
}

double BasePointsWindow::zeroX() const { return pbx_->valueMm(); }
double BasePointsWindow::zeroY() const { return pby_->valueMm(); }

void BasePointsWindow::showList() {
  lista_->clear();
  for (const std::string& e : list_.entries()) lista_->addItem(q(e));
  lista_->clearSelection();
  if (list_.current() >= 0) {
    lista_->setCurrentRow(list_.current());
  } else {
    lista_->setCurrentRow(-1);
  }
  const bool selected = list_.current() >= 0;
  usun_->setEnabled(usun_->isEnabled() && selected);
  przepisz_->setEnabled(przepisz_->isEnabled() && selected);
}

void BasePointsWindow::entryClicked() {
  list_.select(lista_->currentRow());
  const bool selected = list_.current() >= 0;
  usun_->setEnabled(selected);
  przepisz_->setEnabled(selected);
}

void BasePointsWindow::takeCurrentPosition() {
  if (!setup_.currentPosition) return;
  const std::optional<std::array<double, 2>> at = setup_.currentPosition();
  if (!at) return;  // no answer: the fields stay as they are
  pbx_->setValue((*at)[0]);
  pby_->setValue((*at)[1]);
  const tPositionAsZero zero = positionAsZero((*at)[0], (*at)[1], setup_.headCount, setup_.selectedHead,
                                              setup_.headOffsets, setup_.workArea, texts_, setup_.separator);
  if (!zero.accepted) {
    error(zero.error);
    return;
  }
  pbx_->setValue(zero.xMm);
  pby_->setValue(zero.yMm);
  accept();
}

void BasePointsWindow::addEntry() {
  pbx_->commit();
  pby_->commit();
  const int decimals = pbx_->model().digits();
  list_.add(
      basePointEntry(zeroX(), zeroY(), komentarz_->text().toStdString(), pbx_->unit(), decimals, setup_.separator));
  showList();
}

void BasePointsWindow::deleteEntry() {
  list_.removeCurrent();
  showList();
}

bool BasePointsWindow::copyEntry() {
  const int row = list_.current();
  if (row < 0) return false;
  const std::string& line = list_.entries()[static_cast<std::size_t>(row)];
  const std::optional<tBasePoint> p = readBasePointEntry(line, pbx_->unit(), setup_.separator);
  if (!p) {
    error("'" + line + "' is not a valid floating point value");
    return false;
  }
  pbx_->setValue(p->xMm);
  pby_->setValue(p->yMm);
  komentarz_->setText(q(p->remark));
  return true;
}

void BasePointsWindow::error(const std::string& text) { QMessageBox::critical(this, "Error", q(text)); }

}  // namespace trazvik::ui
