#include "panel/outputs_window.h"

#include "frame/qt_texts.h"
#include "texts/interfejs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace trazvik::ui {

TWyjsciaForm::TWyjsciaForm(const texts::tInterfejs& texts, OutputsSetup setup, QWidget* parent)
    : QDialog(parent), setup_(std::move(setup)) {
  setObjectName("TWyjsciaForm");
  setWindowTitle(qs(texts.dajTxt("Control_Panel", "ButtonWyjscia.Caption")));
  auto* layout = new QVBoxLayout(this);
  CheckBoxSmarowanie = new QCheckBox(qs(texts.dajTxt("Control_Panel", "CheckBoxSmarowanie.Caption")), this);
  CheckBoxSmarowanie->setObjectName("CheckBoxSmarowanie");
  {
    // Showing the state read from the machine sends nothing.
    const QSignalBlocker quiet(CheckBoxSmarowanie);
    CheckBoxSmarowanie->setChecked(setup_.lubricationEnabled && setup_.lubricationOn);
  }
  CheckBoxSmarowanie->setEnabled(setup_.lubricationEnabled && static_cast<bool>(setup_.lubrication));
  layout->addWidget(CheckBoxSmarowanie);
  connect(CheckBoxSmarowanie, &QCheckBox::toggled, this, [this](bool on) {
    if (setup_.lubrication) setup_.lubrication(on);
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setObjectName("zamknij");
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  setMinimumWidth(260);
}

}  // namespace trazvik::ui
