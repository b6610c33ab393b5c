// The control panel's outputs window (TWyjsciaForm): the machine's switched
// outputs the operator may set by hand. Today that is the lubrication, usable
// on machines whose controller drives it ("YRF", "YFF"); elsewhere its box
// is shown greyed. The caller reads the state before the window opens and
// sends each change.
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik::ui {

struct OutputsSetup {
  bool lubricationEnabled = false;
  bool lubricationOn = false;
  // Sends the lubrication on or off; unset: the box stays greyed.
  std::function<void(bool on)> lubrication;
};

class TWyjsciaForm : public QDialog {
  Q_OBJECT
 public:
  TWyjsciaForm(const texts::tInterfejs& texts, OutputsSetup setup, QWidget* parent = nullptr);

 private:
  OutputsSetup setup_;
  QCheckBox* CheckBoxSmarowanie = nullptr;
};

}  // namespace trazvik::ui
