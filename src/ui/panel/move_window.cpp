#include "panel/move_window.h"

#include "config/flt_edit.h"
#include "dialogs/flt_edit_widget.h"
#include "dialogs/radio_group_box.h"
#include "frame/qt_texts.h"
#include "texts/interfejs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace trazvik::ui {

Tprzesun::Tprzesun(const texts::tInterfejs& texts, QWidget* parent) : QDialog(parent) {
  setObjectName("Tprzesun");
  setWindowTitle(qs(texts.dajTxt("Tool_moving", "Przesun.Caption")));
  auto* layout = new QVBoxLayout(this);

  Przesun = new RadioGroupBox(this, qs(texts.dajTxt("Tool_moving", "Przesun.Caption")),
                              {qs(texts.dajTxt("Tool_moving", "Przesun.Items.Strings_0")),
                               qs(texts.dajTxt("Tool_moving", "Przesun.Items.Strings_1")),
                               qs(texts.dajTxt("Tool_moving", "Przesun.Items.Strings_2"))});
  Przesun->setObjectName("Przesun");
  Przesun->setIndex(static_cast<int>(tMoveMode::byDistance));
  layout->addWidget(Przesun);

  auto* grid = new QGridLayout;
  const char* axes[] = {"X", "Y", "Z"};
  TFltEditU** fields[] = {&delta_x, &delta_y, &delta_z};
  QLabel** units[] = {&lXjm, &lYjm, &lZjm};
  const char* fieldNames[] = {"delta_x", "delta_y", "delta_z"};
  const char* unitNames[] = {"lXjm", "lYjm", "lZjm"};
  for (int i = 0; i < 3; ++i) {
    grid->addWidget(new QLabel(QString::fromLatin1(axes[i]), this), i, 0);
    *fields[i] = field(this, fieldNames[i]);
    grid->addWidget(*fields[i], i, 1);
    *units[i] = new QLabel(this);
    (*units[i])->setObjectName(unitNames[i]);
    grid->addWidget(*units[i], i, 2);
  }
  layout->addLayout(grid);

  bezosiZ = new QCheckBox(qs(texts.dajTxt("Tool_moving", "bezosiZ.Caption")), this);
  bezosiZ->setObjectName("bezosiZ");
  bezosiZ->setChecked(true);
  layout->addWidget(bezosiZ);

  // The service tests run until a key or a left click.
  auto* service = new QHBoxLayout;
  const auto serviceButton = [&](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setEnabled(false);
    service->addWidget(b);
    return b;
  };
  test = serviceButton("test", QStringLiteral("&Test"));
  scan = serviceButton("scan", QStringLiteral("&scan"));
  TestGrzalki = serviceButton("TestGrzalki", qs(texts.dajTxt("Tool_moving", "TestGrzalki.Caption")));
  ButtonTestLasera = serviceButton("ButtonTestLasera", qs(texts.dajTxt("Tool_moving", "ButtonTestLasera.Caption")));
  layout->addLayout(service);
  connect(test, &QPushButton::clicked, this, [this] {
    if (tests_.backAndForth) tests_.backAndForth(request());
  });
  connect(scan, &QPushButton::clicked, this, [this] {
    if (!tests_.scan) return;
    tests_.scan(request());
    reject();  // the scan ends with the machine at its zero and the window closed
  });
  connect(TestGrzalki, &QPushButton::clicked, this, [this] {
    if (tests_.heater) tests_.heater();
  });
  connect(ButtonTestLasera, &QPushButton::clicked, this, [this] {
    if (tests_.laser) tests_.laser();
  });

  auto* buttons = new QHBoxLayout;
  Wykonaj = new QPushButton(qs(texts.dajTxt("Tool_moving", "Wykonaj.Caption")), this);
  Wykonaj->setObjectName("Wykonaj");
  Wykonaj->setDefault(true);
  cancel = new QPushButton(qs(texts.dajTxt("Tool_moving", "cancel.Caption")), this);
  cancel->setObjectName("cancel");
  buttons->addStretch();
  buttons->addWidget(Wykonaj);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(Wykonaj, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  setUnit(config::kUnitMm);
}

void Tprzesun::setTests(MoveWindowTests tests) {
  tests_ = std::move(tests);
  test->setEnabled(static_cast<bool>(tests_.backAndForth));
  scan->setEnabled(static_cast<bool>(tests_.scan));
  TestGrzalki->setEnabled(static_cast<bool>(tests_.heater));
  ButtonTestLasera->setEnabled(static_cast<bool>(tests_.laser));
}

TFltEditU* Tprzesun::field(QWidget* parent, const char* name) {
  // Not limited (equal limits), 2 decimals; the value is kept in millimetres.
  auto* f = new TFltEditU(parent, 0, 0, 2);
  f->setObjectName(name);
  f->setValue(0);
  return f;
}

void Tprzesun::setUnit(int unit) {
  const QString label = "[" + qs(std::string(config::unitName(unit))) + "]";
  for (TFltEditU* f : {delta_x, delta_y, delta_z}) f->changeunit(unit);
  for (QLabel* l : {lXjm, lYjm, lZjm}) l->setText(label);
}

tMoveRequest Tprzesun::request() const {
  for (TFltEditU* f : {delta_x, delta_y, delta_z}) f->commit();
  tMoveRequest r;
  const int index = Przesun->index();
  r.mode = index >= 0 && index <= 2 ? static_cast<tMoveMode>(index) : tMoveMode::byDistance;
  r.x = delta_x->valueMm();
  r.y = delta_y->valueMm();
  r.z = delta_z->valueMm();
  r.withoutZ = bezosiZ->isChecked();
  return r;
}

}  // namespace trazvik::ui
