// The base points window: the project's work zero in X and Y typed in,
// taken from the machine's current position, or copied from the list of
// remembered points. A view over the core's base point list; the caller
// sends the zero when the window closes with OK.
#pragma once

#include "control/base_points.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik::ui {

class TFltEditU;

struct BasePointsSetup {
  int unit = 0;  // display unit: 0 mm, 1 inch, 2 foot
  char separator = '.';
  std::array<double, 3> workArea{};  // mm: the zero must lie in it
  double zeroX = 0, zeroY = 0;       // the current work zero, mm
  int headCount = 1;
  int selectedHead = 0;
  std::array<std::array<double, 2>, 3> headOffsets{};  // mm
  // The machine's position in mm; nullopt when the controller did not answer.
  std::function<std::optional<std::array<double, 2>>()> currentPosition;
};

class BasePointsWindow : public QDialog {
  Q_OBJECT
 public:
  BasePointsWindow(tBasePointList& list, const texts::tInterfejs& texts, BasePointsSetup setup,
                   QWidget* parent = nullptr);

  // The chosen zero, mm.
  double zeroX() const;
  double zeroY() const;

  // The buttons' commands (tests call them as well).
  void takeCurrentPosition();  // wpaClick
  void addEntry();             // DodajClick
  void deleteEntry();          // usunClick
  bool copyEntry();            // PrzepiszClick; false for a line that is no entry

 private:
  void build();
  void showList();
  void entryClicked();
  void error(const std::string& text);

  tBasePointList& list_;
  const texts::tInterfejs& texts_;
  BasePointsSetup setup_;
  TFltEditU* pbx_ = nullptr;
  TFltEditU* pby_ = nullptr;
  QListWidget* lista_ = nullptr;
  QLineEdit* komentarz_ = nullptr;
  QPushButton* usun_ = nullptr;
  QPushButton* przepisz_ = nullptr;
};

}  // namespace trazvik::ui
