// The layer dialog: a grid editor of a multi-layer project's layer table.
// One row per layer that occurs (in the table's order), with its colour,
// depth (laser: power), speed, spindle rotations and head (milling
// machines), tool diameter (two or more heads), active flag and position
// in the cutting order. OK writes every row back with setLayer, turns the
// sorting on and saves the layer file beside the design file.
#pragma once

#include "layers/warstwy.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QTableWidget;

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik::ui {

class TFltEdit;

struct LayerDialogOptions {
  bool laser = false;
  int headCount = 1;
  int unitIndex = 0;        // display unit of lengths and speeds
  bool pominRamke = false;  // the frame is not cut (it does not count as an active figure)
  bool touchPanel = false;  // fields open the large keypad on one click
};

class LayerDialog : public QDialog {
  Q_OBJECT
 public:
  LayerDialog(tWarstwy& layers, const texts::tInterfejs& texts, LayerDialogOptions options, QWidget* parent = nullptr);

  QTableWidget* grid() const { return grid_; }
  // The editor of a cell (row of the grid, column by its object name
  // prefix: "depth", "speed", "rotations", "head", "diameter", "order").
  TFltEdit* field(int row, const QString& column) const;
  QCheckBox* activeBox(int row) const;
  // The rows as they would be written: copies of the layers with the edits.
  std::vector<tWarstwa> editedLayers() const;

  void accept() override;

 private:
  struct Row {
    tWarstwa layer;
    TFltEdit* depth = nullptr;
    TFltEdit* speed = nullptr;
    TFltEdit* rotations = nullptr;
    TFltEdit* head = nullptr;
    TFltEdit* diameter = nullptr;
    TFltEdit* order = nullptr;
    QCheckBox* active = nullptr;
  };
  void addRow(const tWarstwa& layer);
  TFltEdit* makeField(int row, int column, const char* name, bool length, double min, double max, int digits,
                      double value);

  tWarstwy& layers_;
  const texts::tInterfejs& texts_;
  LayerDialogOptions options_;
  QTableWidget* grid_;
  QList<Row> rows_;
  QList<int> columns_;  // which of the possible columns are shown
};

}  // namespace trazvik::ui
