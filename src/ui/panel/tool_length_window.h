// The tool length window: the distance between the tool tip and the table
// typed in and confirmed with OK, or taken from the tool touching the
// material or the table; on a multi-head machine the heads' tools measured
// on the fixed sensor or their zeros typed in. A view over the core's tool length commands; the
// caller's hooks send the Z zero and say whether the window may close.
#pragma once

#include "control/tool_length.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QLineEdit;
class QListWidget;
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
  // Multi-head machines (two or more heads): the head panel.
  int headCount = 1;
  // The Z zeros of heads 1 to 3 (hundredths of a mm) as they stand now.
  std::function<std::array<double, 3>()> headZeros;
  // The automatic measurement of the checked heads; true when it ran.
  std::function<bool(const std::array<bool, 3>& checked)> measureHeads;
  // The typed zeros (mm) of the manual panel; true when they were sent.
  std::function<bool(const std::array<double, 3>& mm)> setHeadZeros;
  // The indicators that the remote button can start the measurement.
  bool remoteSingleHead = false;
  bool remoteMultiHead = false;
  // The watch of the machine's remote button, every 100 ms while the
  // window is open; unset: no watch.
  std::function<tRemoteRequest()> remoteRequest;
};

class ToolLengthWindow : public QDialog {
  Q_OBJECT
 public:
  ToolLengthWindow(const texts::tInterfejs& texts, ToolLengthSetup setup, QWidget* parent = nullptr);

  double distanceMm() const;
  void okClicked();            // OKClick
  void remoteTick();           // TimerAutomatPomiarNarzTimer
  void measureCheckedHeads();  // btnPomiarNarzedziaWybranychGlowicClick
  void setTypedHeadZeros();    // btnUstawDlugosc3NarzedziClick
  void done(int result) override;

 private:
  void build();
  void closeWhen(bool sent);
  QWidget* buildHeadPanel();
  QWidget* buildManualPanel(QWidget* parent);
  QWidget* remoteIndicator(QWidget* parent, const char* name, bool shown);
  void refreshHeadZeros();

  const texts::tInterfejs& texts_;
  ToolLengthSetup setup_;
  TFltEditU* tool_ = nullptr;
  TFltEdit* knife_ = nullptr;
  QTimer* remoteTimer_ = nullptr;
  QListWidget* headChecks_ = nullptr;
  QListWidget* headZeros_ = nullptr;
  QWidget* manualPanel_ = nullptr;
  std::array<QLineEdit*, 3> typedZeros_{};
};

}  // namespace trazvik::ui
