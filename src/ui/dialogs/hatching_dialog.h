// The hatching dialog (TFormKreski): spacing, angle, whether the contours
// are cut too, both directions, and the colour the lines take. OK hatches
// the project it was given and does what the main window does afterwards;
// the fields keep their values from one use to the next.
#pragma once

#include "project/hatching_form.h"

#include <QDialog>

class QCheckBox;

namespace trazvik {
class TMDIChild;
namespace texts {
class tInterfejs;
}
}  // namespace trazvik

namespace trazvik::ui {

class TFltEdit;
class RadioGroupBox;

class HatchingDialog : public QDialog {
  Q_OBJECT
 public:
  HatchingDialog(const texts::tInterfejs& texts, QWidget* parent = nullptr);

  // Shows the dialog for `project` (the machine is a laser or not); true
  // when the project was hatched.
  bool hatch(TMDIChild& project, bool laser);

  // The fields as they stand.
  tUstawieniaKreskowania fields() const;
  void setFields(const tUstawieniaKreskowania& fields);

  void accept() override;

 private:
  const texts::tInterfejs& texts_;
  TFltEdit* spacing_;
  TFltEdit* angle_;
  QCheckBox* contours_;
  QCheckBox* bothWays_;
  RadioGroupBox* colour_;
  TMDIChild* project_ = nullptr;
  bool laser_ = false;
};

}  // namespace trazvik::ui
