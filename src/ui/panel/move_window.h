// The control panel's "Move" window (Tprzesun): the mode, the three
// distances in the operator's unit and "Bez osi Z". It only collects what
// the operator typed; Wykonaj closes it with OK and the caller moves the
// machine (so the panel's STOP is usable while the machine moves). The
// window keeps its values between openings.
#pragma once

#include "control/move_by_delta.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik::ui {

class RadioGroupBox;
class TFltEditU;

// The service tests the window's buttons run, each with what the fields
// hold; unset, a test's button stays greyed. The window stays open while a
// test runs.
struct MoveWindowTests {
  std::function<void(const tMoveRequest&)> backAndForth;  // test
  std::function<void(const tMoveRequest&)> scan;          // scan
  std::function<void()> heater;                           // TestGrzalki
  std::function<void()> laser;                            // ButtonTestLasera
};

class Tprzesun : public QDialog {
  Q_OBJECT
 public:
  Tprzesun(const texts::tInterfejs& texts, QWidget* parent = nullptr);

  // The tests' hooks; the buttons follow which are set.
  void setTests(MoveWindowTests tests);

  // The fields and their unit labels in the display unit (0 mm, 1 inch, 2 foot).
  void setUnit(int unit);
  // What the fields hold, in millimetres (typed text not yet left counts).
  tMoveRequest request() const;

 private:
  TFltEditU* field(QWidget* parent, const char* name);

  RadioGroupBox* Przesun = nullptr;
  TFltEditU* delta_x = nullptr;
  TFltEditU* delta_y = nullptr;
  TFltEditU* delta_z = nullptr;
  QLabel* lXjm = nullptr;
  QLabel* lYjm = nullptr;
  QLabel* lZjm = nullptr;
  QCheckBox* bezosiZ = nullptr;
  QPushButton* Wykonaj = nullptr;
  QPushButton* cancel = nullptr;
  QPushButton* test = nullptr;
  QPushButton* scan = nullptr;
  QPushButton* TestGrzalki = nullptr;
  QPushButton* ButtonTestLasera = nullptr;
  MoveWindowTests tests_;
};

}  // namespace trazvik::ui
