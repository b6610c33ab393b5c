#include "dialogs/surfacing_dialog.h"

#include "texts/interfejs.h"

#include "dialogs/flt_edit_widget.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>

namespace trazvik::ui {
namespace {

// The fields have no limits: equal limits leave a field unlimited.
TFltEditU* lengthField(QWidget* parent, const char* name, int unitIndex) {
  auto* field = new TFltEditU(parent, 0, 0, 2);
  field->setObjectName(name);
  field->changeunit(unitIndex);
  field->setValue(0);
  return field;
}

TFltEdit* numberField(QWidget* parent, const char* name, double value) {
  auto* field = new TFltEdit(parent, 0, 0, 0);
  field->setObjectName(name);
  field->setValue(value);
  return field;
}

std::string defaultPath() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  return ((ec ? std::filesystem::path(".") : folder) / kPlikPlanowania).string();
}

}  // namespace

SurfacingDialog::SurfacingDialog(const texts::tInterfejs& texts, int unitIndex, QWidget* parent)
    : QDialog(parent), texts_(texts) {
  setObjectName("PlanowanieStolu");
  setModal(true);
  // The generator's window is not translated.
  setWindowTitle(QString::fromUtf8("Planowanie stołu"));
  path_ = new QLineEdit(QString::fromStdString(defaultPath()), this);
  path_->setObjectName("eSciezkaPlikuNC");
  path_->setMinimumWidth(360);
  auto* browse = new QToolButton(this);
  browse->setText("...");
  connect(browse, &QToolButton::clicked, this, [this] {
    const QString chosen = QFileDialog::getSaveFileName(this, windowTitle(), path_->text(), "G-code (*.nc)");
    if (!chosen.isEmpty()) path_->setText(chosen);
  });
  maxX_ = lengthField(this, "feuMaxX", unitIndex);
  maxY_ = lengthField(this, "feuMaxY", unitIndex);
  depth_ = lengthField(this, "feuGlebokosc", unitIndex);
  spacing_ = lengthField(this, "feuOdstepKresek", unitIndex);
  feed_ = numberField(this, "feSzybkoscF", 2000);
  spindle_ = numberField(this, "feObrotyS", 18000);

  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(path_);
  pathRow->addWidget(browse);
  auto* form = new QFormLayout;
  form->addRow(QString::fromUtf8("Pełna nazwa pliku gcod (*.nc) ze ścieżką do zapisu"), pathRow);
  form->addRow("Max X", maxX_);
  form->addRow("Max Y", maxY_);
  form->addRow(QString::fromUtf8("Głębokość"), depth_);
  form->addRow(QString::fromUtf8("Odstęp między kreskami"), spacing_);
  form->addRow(QString::fromUtf8("Szybkość (F)"), feed_);
  form->addRow(QString::fromUtf8("Obroty (S)"), spindle_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* generate = buttons->addButton("Generuj", QDialogButtonBox::AcceptRole);
  generate->setObjectName("Generuj");
  generate->setDefault(true);
  buttons->addButton("Anuluj", QDialogButtonBox::RejectRole)->setObjectName("Anuluj");
  connect(buttons, &QDialogButtonBox::accepted, this, &SurfacingDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &SurfacingDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

tDanePlanowaniaStolu SurfacingDialog::fields() const {
  for (TFltEdit* f : {static_cast<TFltEdit*>(maxX_), static_cast<TFltEdit*>(maxY_), static_cast<TFltEdit*>(depth_),
                      static_cast<TFltEdit*>(spacing_), feed_, spindle_})
    f->commit();
  tDanePlanowaniaStolu d;
  d.sSciezkaPlikuNC = path_->text().trimmed().toStdString();
  d.Max_X = maxX_->valueMm();
  d.Max_Y = maxY_->valueMm();
  d.glebokosc_Z = depth_->valueMm();
  d.odstep_kresek = spacing_->valueMm();
  d.szybkosc_F = feed_->value();
  d.obroty_S = spindle_->value();
  return d;
}

void SurfacingDialog::accept() {
  const tDanePlanowaniaStolu d = fields();
  if (!danePlanowaniaPoprawne(d)) {
    texts_.messageBox(kBledneDanePlanowania, true, std::string(kGeneratorPlanowania));
    return;
  }
  std::string error;
  if (!zapiszPlanowanieStolu(d, error)) {
    texts_.messageBox(error, true);
    return;
  }
  zapisano_ = true;
  QDialog::accept();
}

}  // namespace trazvik::ui
