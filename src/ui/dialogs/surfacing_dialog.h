// The table surfacing generator "Planowanie stołu" (service mode): the file
// to write, the area, depth and spacing in the operator's length unit, the
// feed and spindle speed. "Generuj" checks the fields and writes the
// program; the dialog stays open on a wrong field or a file that cannot be
// written.
#pragma once

#include "prepare/table_surfacing.h"

#include <QDialog>

class QLineEdit;

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik::ui {

class TFltEdit;
class TFltEditU;

class SurfacingDialog : public QDialog {
  Q_OBJECT
 public:
  // unitIndex: the settings' length unit (0 mm, 1 inch, 2 foot).
  SurfacingDialog(const texts::tInterfejs& texts, int unitIndex, QWidget* parent = nullptr);

  // The fields as they stand (lengths in millimetres).
  tDanePlanowaniaStolu fields() const;
  // Whether a file was written (zapisano) and its path.
  bool written() const { return zapisano_; }
  std::string path() const { return fields().sSciezkaPlikuNC; }

  void accept() override;

 private:
  const texts::tInterfejs& texts_;
  QLineEdit* path_;
  TFltEditU* maxX_;
  TFltEditU* maxY_;
  TFltEditU* depth_;
  TFltEditU* spacing_;
  TFltEdit* feed_;
  TFltEdit* spindle_;
  bool zapisano_ = false;
};

}  // namespace trazvik::ui
