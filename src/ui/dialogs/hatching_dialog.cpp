#include "dialogs/hatching_dialog.h"

#include "project/tmdichild.h"
#include "texts/interfejs.h"

#include "dialogs/flt_edit_widget.h"
#include "dialogs/radio_group_box.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace trazvik::ui {
namespace {

constexpr const char* kSection = "Lining";

}  // namespace

HatchingDialog::HatchingDialog(const texts::tInterfejs& texts, QWidget* parent) : QDialog(parent), texts_(texts) {
  auto text = [&](const char* key) { return QString::fromStdString(texts_.dajTxt(kSection, key)); };
  setObjectName("TFormKreski");
  setModal(true);
  setWindowTitle(text("form.caption"));
  spacing_ = new TFltEdit(this, 0, 100, 2);
  spacing_->setObjectName("Odstep");
  angle_ = new TFltEdit(this, -360, 360, 1);
  angle_->setObjectName("Kat");
  contours_ = new QCheckBox(text("WytnijObrys.Caption"), this);
  contours_->setObjectName("WytnijObrys");
  bothWays_ = new QCheckBox(text("kreskiDwukierunkowo.Caption"), this);
  bothWays_->setObjectName("kreskiDwukierunkowo");
  colour_ = new RadioGroupBox(
      this, text("rgKolorDodawanychKresek.Caption"),
      {text("rgKolorDodawanychKresek.Items.Strings_0"), text("rgKolorDodawanychKresek.Items.Strings_1")});
  colour_->setObjectName("rgKolorDodawanychKresek");
  setFields(tUstawieniaKreskowania{});

  auto* form = new QFormLayout;
  form->addRow(text("Odstep.Caption"), spacing_);
  form->addRow(text("Kat.Caption"), angle_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(text("OK.Caption"), QDialogButtonBox::AcceptRole);
  ok->setObjectName("OK");
  ok->setDefault(true);
  buttons->addButton(text("Anuluj.Caption"), QDialogButtonBox::RejectRole)->setObjectName("Anuluj");
  connect(buttons, &QDialogButtonBox::accepted, this, &HatchingDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &HatchingDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(contours_);
  layout->addWidget(bothWays_);
  layout->addWidget(colour_);
  layout->addWidget(buttons);
}

tUstawieniaKreskowania HatchingDialog::fields() const {
  tUstawieniaKreskowania f;
  spacing_->commit();
  angle_->commit();
  f.Odstep = spacing_->value();
  f.Kat = angle_->value();
  f.WytnijObrys = contours_->isChecked();
  f.kreskiDwukierunkowo = bothWays_->isChecked();
  f.rgKolorDodawanychKresek = colour_->index() == 1 ? 1 : 0;
  return f;
}

void HatchingDialog::setFields(const tUstawieniaKreskowania& f) {
  spacing_->setValue(f.Odstep);
  angle_->setValue(f.Kat);
  contours_->setChecked(f.WytnijObrys);
  bothWays_->setChecked(f.kreskiDwukierunkowo);
  colour_->setIndex(f.rgKolorDodawanychKresek == 1 ? 1 : 0);
}

bool HatchingDialog::hatch(TMDIChild& project, bool laser) {
  project_ = &project;
  laser_ = laser;
  const bool done = exec() == QDialog::Accepted;
  project_ = nullptr;
  return done;
}

void HatchingDialog::accept() {
  if (project_ == nullptr) return QDialog::reject();
  std::string error;
  if (!zakreskujProjekt(*project_, fields(), laser_, error)) {
    texts_.messageBox(error, true);
    return;  // the dialog stays open
  }
  QDialog::accept();
}

}  // namespace trazvik::ui
