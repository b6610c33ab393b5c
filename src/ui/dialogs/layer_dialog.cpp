#include "dialogs/layer_dialog.h"
#include "texts/interfejs.h"

#include "dialogs/flt_edit_widget.h"

#include <QCheckBox>
#include <QColor>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace trazvik::ui {

namespace {

enum Column { kColour, kDepth, kSpeed, kRotations, kHead, kDiameter, kActive, kOrder };

QColor colourOf(tKolor value) { return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF)); }

int rounded(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

LayerDialog::LayerDialog(tWarstwy& layers, const texts::tInterfejs& texts, LayerDialogOptions options, QWidget* parent)
    : QDialog(parent), layers_(layers), texts_(texts), options_(options), grid_(new QTableWidget(this)) {
  setObjectName("LayerDialog");
  setModal(true);
  setWindowTitle(QString::fromStdString(texts_.dajTxt("Multilayer_project", "Form.caption")));
  const bool milling = !options_.laser;
  columns_ = {kColour, kDepth, kSpeed};
  if (milling) columns_ << kRotations << kHead;
  if (milling && options_.headCount >= 2) columns_ << kDiameter;
  columns_ << kActive << kOrder;

  QStringList headers;
  for (int column : columns_) {
    switch (column) {
      case kColour: headers << QString::fromStdString(texts_.dajTxt("Multilayer_project", "colKolor.Caption")); break;
      case kDepth:
        headers << QString::fromStdString(options_.laser ? texts_.dajTxt("Multilayer_project", "colMoc.Caption")
                                                         : texts_.dajTxt("Multilayer_project", "colGlebokosc.Caption"));
        break;
      case kSpeed: headers << QString::fromStdString(texts_.dajTxt("Multilayer_project", "colSzybkosc.Caption")); break;
      case kRotations:
        headers << QString::fromStdString(texts_.dajTxt("Multilayer_project", "colObroty.Caption"));
        break;
      case kHead: headers << QString::fromStdString(texts_.dajTxt("Multilayer_project", "colGlowica.Caption")); break;
      case kDiameter:
        headers << QString::fromStdString(texts_.dajTxt("Multilayer_project", "colSrednica.Caption"));
        break;
      case kActive: headers << QString::fromStdString(texts_.dajTxt("Multilayer_project", "colAktywna.Caption")); break;
      case kOrder:
        headers << QString::fromStdString(texts_.dajTxt("Multilayer_project", "colKolejnosc.Caption"));
        break;
    }
  }
  grid_->setObjectName("gridWarstwy");
  grid_->setColumnCount(int(columns_.size()));
  grid_->setHorizontalHeaderLabels(headers);
  grid_->verticalHeader()->setVisible(false);
  grid_->setSelectionMode(QAbstractItemView::NoSelection);
  for (const tWarstwa& layer : layers_.getLayersList()) addRow(layer);
  grid_->resizeColumnsToContents();
  grid_->horizontalHeader()->setStretchLastSection(true);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &LayerDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &LayerDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_);
  layout->addWidget(buttons);
  resize(760, 360);
}

TFltEdit* LayerDialog::makeField(int row, int column, const char* name, bool length, double min, double max, int digits,
                                 double value) {
  TFltEdit* field = length ? new TFltEditU(grid_, min, max, digits) : new TFltEdit(grid_, min, max, digits);
  field->setObjectName(QString("%1_%2").arg(name).arg(row));
  auto* lengthField = qobject_cast<TFltEditU*>(field);
  if (lengthField && options_.unitIndex != config::kUnitMm) lengthField->changeunit(options_.unitIndex);
  field->setValue(value);
  field->setKeypad(options_.touchPanel, options_.touchPanel);
  field->setFrame(false);
  grid_->setCellWidget(row, int(columns_.indexOf(column)), field);
  return field;
}

void LayerDialog::addRow(const tWarstwa& layer) {
  const int row = grid_->rowCount();
  grid_->insertRow(row);
  Row r;
  r.layer = layer;
  auto* colour = new QTableWidgetItem(QString::number(layer.org_color));
  colour->setFlags(Qt::ItemIsEnabled);
  colour->setBackground(colourOf(layer.kolor));
  colour->setForeground(qGray(colourOf(layer.kolor).rgb()) < 128 ? Qt::white : Qt::black);
  grid_->setItem(row, 0, colour);
  // Depth may be negative only in the sense of "above the table"; the
  // job writer checks the values against the machine (DaneFrezarkaOK).
  if (options_.laser)
    r.depth = makeField(row, kDepth, "depth", false, 0, 100000, 0, layer.glebokosc);
  else
    r.depth = makeField(row, kDepth, "depth", true, -1000, 1000, 2, layer.glebokosc);
  r.speed = makeField(row, kSpeed, "speed", true, 0, 100000, 0, layer.szybkosc);
  if (columns_.contains(kRotations))
    r.rotations = makeField(row, kRotations, "rotations", false, 0, 100000, 0, layer.obroty);
  if (columns_.contains(kHead))
    r.head = makeField(row, kHead, "head", false, 1, std::max(1, options_.headCount), 0, layer.glowica);
  if (columns_.contains(kDiameter))
    r.diameter = makeField(row, kDiameter, "diameter", true, 0, 100, 2, layer.srednicaFrezu);
  r.order = makeField(row, kOrder, "order", false, 0, tWarstwy::kIloscKluczy, 0, layer.kolejnosc);
  r.active = new QCheckBox(grid_);
  r.active->setObjectName(QString("active_%1").arg(row));
  r.active->setChecked(layer.aktywna);
  auto* holder = new QWidget(grid_);
  auto* centre = new QHBoxLayout(holder);
  centre->setContentsMargins(0, 0, 0, 0);
  centre->addWidget(r.active, 0, Qt::AlignCenter);
  grid_->setCellWidget(row, int(columns_.indexOf(kActive)), holder);
  rows_.push_back(r);
}

TFltEdit* LayerDialog::field(int row, const QString& column) const {
  return grid_->findChild<TFltEdit*>(QString("%1_%2").arg(column).arg(row));
}

QCheckBox* LayerDialog::activeBox(int row) const { return rows_.value(row).active; }

std::vector<tWarstwa> LayerDialog::editedLayers() const {
  std::vector<tWarstwa> layers;
  for (const Row& r : rows_) {
    for (TFltEdit* edit : {r.depth, r.speed, r.rotations, r.head, r.diameter, r.order}) {
      if (edit != nullptr) edit->commit();
    }
    tWarstwa w = r.layer;
    w.wystepuje = true;
    w.glebokosc = r.depth->value();
    w.szybkosc = rounded(r.speed->value());
    if (r.rotations) w.obroty = rounded(r.rotations->value());
    if (r.head) w.glowica = static_cast<std::uint8_t>(rounded(r.head->value()));
    if (r.diameter) w.srednicaFrezu = r.diameter->value();
    w.aktywna = r.active->isChecked();
    w.kolejnosc = rounded(r.order->value());
    layers.push_back(w);
  }
  return layers;
}

void LayerDialog::accept() {
  for (const tWarstwa& w : editedLayers()) layers_.setLayer(w, options_.pominRamke);
  layers_.EnableSorting(true);
  layers_.ustawInterfejs(&texts_);
  // A failed save has told the operator; the edits stay in the project.
  layers_.SaveToFile(layers_.DajSciezkeDomyslnaDoZapisuWarstw());
  QDialog::accept();
}

}  // namespace trazvik::ui
