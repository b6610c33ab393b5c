#include "panel/calibration_window.h"

#include "config/flt_edit.h"
#include "config/number_text.h"
#include "dialogs/flt_edit_widget.h"
#include "frame/qt_texts.h"
#include "texts/interfejs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace trazvik::ui {

namespace {
constexpr const char* kSection = "Form_Calibration";
}

TCalibration::TCalibration(const texts::tInterfejs& texts, Store store, QWidget* parent)
    : QDialog(parent), texts_(texts), store_(std::move(store)), model_(config::decimalSeparatorOfUser()) {
  setObjectName("TCalibration");
  setWindowTitle(qs(texts.dajTxt(kSection, "form.caption")));
  strIncorrectValMessage = texts.dajTxt(kSection, "msgInvalidValue");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto caption = [&](const char* key) { return new QLabel(qs(texts.dajTxt(kSection, key)), this); };
  grid->addWidget(caption("labGivenDistance.Caption"), 0, 1);
  grid->addWidget(caption("labRealizedDistance.Caption"), 0, 2);
  grid->addWidget(caption("labCalibration.Caption"), 0, 3);
  const char* axisKeys[] = {"labAxisX.Caption", "labAxisY.Caption", "labAxisZ.Caption"};
  const char* given[] = {"feGivenDisatansX", "feGivenDisatansY", "feGivenDisatansZ"};
  const char* realized[] = {"feRealizedDistanceX", "feRealizedDistanceY", "feRealizedDistanceZ"};
  const char* factors[] = {"txtCalibrationX", "txtCalibrationY", "txtCalibrationZ"};
  for (std::size_t i = 0; i < 3; ++i) {
    const int row = static_cast<int>(i) + 1;
    grid->addWidget(caption(axisKeys[i]), row, 0);
    feGivenDisatans[i] = field(given[i]);
    grid->addWidget(feGivenDisatans[i], row, 1);
    feRealizedDistance[i] = field(realized[i]);
    grid->addWidget(feRealizedDistance[i], row, 2);
    txtCalibration[i] = new QLineEdit(this);
    txtCalibration[i]->setObjectName(factors[i]);
    txtCalibration[i]->setReadOnly(true);
    grid->addWidget(txtCalibration[i], row, 3);
  }
  for (std::size_t i = 0; i < 2; ++i) {
    unitLabels[i] = new QLabel(this);
    grid->addWidget(unitLabels[i], 4, static_cast<int>(i) + 1);
  }
  layout->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  cmdRemoveCalib = new QPushButton(qs(texts.dajTxt(kSection, "cmdRemoveCalib.Caption")), this);
  cmdRemoveCalib->setObjectName("cmdRemoveCalib");
  btnSet = new QPushButton(qs(texts.dajTxt(kSection, "btnSet.Caption")), this);
  btnSet->setObjectName("btnSet");
  btnSet->setDefault(true);
  btnCancel = new QPushButton(qs(texts.dajTxt(kSection, "btnCancel.Caption")), this);
  btnCancel->setObjectName("btnCancel");
  buttons->addWidget(cmdRemoveCalib);
  buttons->addStretch();
  buttons->addWidget(btnSet);
  buttons->addWidget(btnCancel);
  layout->addLayout(buttons);
  connect(btnSet, &QPushButton::clicked, this, [this] { btnSetClick(); });
  connect(cmdRemoveCalib, &QPushButton::clicked, this, [this] { cmdRemoveCalibClick(); });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TFltEditU* TCalibration::field(const char* name) {
  // Not limited (equal limits), 2 decimals; shown in the operator's unit.
  auto* f = new TFltEditU(this, 0, 0, 2, model_.separator());
  f->setObjectName(name);
  connect(f->editor(), &QLineEdit::textChanged, this, [this] { fieldEdited(); });
  return f;
}

void TCalibration::activate(const std::array<float, 3>& factors, const std::array<double, 3>& workAreaMm, int unit) {
  unit_ = unit;
  const QString label = "[" + qs(std::string(config::unitName(unit))) + "]";
  for (QLabel* l : unitLabels) l->setText(label);
  for (std::size_t i = 0; i < 3; ++i) {
    feGivenDisatans[i]->changeunit(unit);
    feRealizedDistance[i]->changeunit(unit);
  }
  model_.activate(factors, workAreaMm, unit);
  fillFields();
}

void TCalibration::fillFields() {
  // The fields show the model's distances; their own texts are then read
  // back so the model holds exactly what the operator sees.
  filling_ = true;
  const double mmPerUnit = config::unitFactor(unit_);
  for (std::size_t i = 0; i < 3; ++i) {
    const char sep = model_.separator();
    feGivenDisatans[i]->setValue(calibrationNumber(model_.commanded()[i], sep).value_or(0) * mmPerUnit);
    feRealizedDistance[i]->setValue(calibrationNumber(model_.measured()[i], sep).value_or(0) * mmPerUnit);
  }
  filling_ = false;
  fieldEdited();
}

void TCalibration::fieldEdited() {
  if (filling_) return;
  for (std::size_t i = 0; i < 3; ++i) {
    const int axis = static_cast<int>(i);
    model_.setCommanded(axis, feGivenDisatans[i]->editor()->text().toStdString());
    model_.setMeasured(axis, feRealizedDistance[i]->editor()->text().toStdString());
  }
  showFactors();
}

void TCalibration::showFactors() {
  for (std::size_t i = 0; i < 3; ++i)
    txtCalibration[i]->setText(qs(calibrationFactorText(model_.exactFactors()[i], model_.separator())));
}

void TCalibration::noController() {
  texts_.messageBox(texts_.dajTxt("Control_Panel", "msgBrakLacznosci"), true, windowTitle().toStdString());
}

void TCalibration::btnSetClick() {
  fieldEdited();
  if (const std::optional<tCalibrationField> empty = model_.firstEmptyField()) {
    texts_.messageBox(strIncorrectValMessage, true, std::string());
    const auto index = static_cast<std::size_t>(*empty);
    (index < 3 ? feRealizedDistance[index] : feGivenDisatans[index - 3])->setFocus();
    return;
  }
  if (!model_.recompute()) {
    texts_.messageBox(strIncorrectValMessage, true, std::string());
    return;
  }
  showFactors();
  if (!store_ || !store_(model_.factors())) {
    noController();
    return;
  }
  accept();
}

void TCalibration::cmdRemoveCalibClick() {
  model_.restoreDefaults();
  fillFields();
  if (!store_ || !store_({1.0f, 1.0f, 1.0f})) noController();
}

}  // namespace trazvik::ui
