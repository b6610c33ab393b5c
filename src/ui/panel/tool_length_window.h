// The tool length window: the distance between the tool tip and the table
// typed in and confirmed with OK, or taken from the tool touching the
// material or the table. A view over the core's tool length commands; the
// caller's hooks send the Z zero and say whether the window may close.
#pragma once

#include "control/tool_length.h"

#include <QDialog>

#include <functional>
#include <string>

class QPushButton;
class QTimer;
class QWidget;

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik::ui {

class TFltEdit;
class TFltEditU;

struct ToolLengthSetup {
  int unit = 0;  // display unit: 0 mm, 1 inch, 2 foot
  char separator = '.';
  double distanceMm = 0;  // the current distance tool tip to table, mm
  double maxDistanceMm = 10000;
  bool singleHeadButtons = true;  // single-head machine that is no laser
  // Each returns true when the Z zero was sent (the window then closes).
  std::function<bool(double mm)> ok;
  std::function<bool()> materialSurface;
  std::function<bool()> tableSurface;
  // The automatic measurement; unset: its button stays disabled.
  std::function<bool()> measure;
  // The oscillating knife's blade offset (degrees), shown with a knife only.
  bool hasKnife = false;
  bool knifeOffsetRead = false;  // read from the controller (else shown as 0)
  double knifeDegrees = 0;
  std::string knifeHint;  // the offset in knife steps
  // Sent after OK when it was read or the operator changed it.
  std::function<void(double degrees)> knifeOffset;
  // The watch of the machine's remote button, every 100 ms while the
  // window is open; unset: no watch.
  std::function<tRemoteRequest()> remoteRequest;
};

class ToolLengthWindow : public QDialog {
  Q_OBJECT
 public:
  ToolLengthWindow(const texts::tInterfejs& texts, ToolLengthSetup setup, QWidget* parent = nullptr);

  double distanceMm() const;
  void okClicked();   // OKClick
  void remoteTick();  // TimerAutomatPomiarNarzTimer
  void done(int result) override;

 private:
  void build();
  void closeWhen(bool sent);

  const texts::tInterfejs& texts_;
  ToolLengthSetup setup_;
  TFltEditU* tool_ = nullptr;
  TFltEdit* knife_ = nullptr;
  QTimer* remoteTimer_ = nullptr;
};

}  // namespace trazvik::ui
